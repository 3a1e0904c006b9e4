// The online property search against kestrova-sim on loopback (12 forms, detail pages and
// PDFs, no load-reduction wait), with the time inside the transport's Send beside the wall
// time; and the start-up sequence on a home of 100,000 records and 50,000 detail entries.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/online_data.h"
#include "bench/store_data.h"
#include "foundation/dates.h"
#include "foundation/platform/platform.h"
#include "store/program_state.h"
#include "ui/main_window.h"

namespace {

using kestrova::bench::ExchangeStats;

// A view without controls: the fields stay as the window set them.
class SilentView final : public kestrova::MainWindowView {
 public:
  void ReadFields(kestrova::MainFields&) override {}
  void ShowFields(const kestrova::MainFields&) override {}
  void SetTitle(std::string_view) override {}
};

// Six codes make two full groups of three; with the sale and rent search orders that is 12
// forms. With 18 listings per municipality and day and four days, the largest form (rent
// condominiums and building parts) stays just under the 100 rows a result page can show.
constexpr const char* kHitsPerDay = "18";
constexpr const char* kSeed = "1";

void BM_OnlinePropertySearch(benchmark::State& state) {
  kestrova::test::SimProcess sim;
  if (!sim.Start({"--hits-per-day", kHitsPerDay, "--seed", kSeed})) {
    state.SkipWithError("kestrova-sim did not start (build the kestrova-sim target)");
    return;
  }
  ExchangeStats total;
  double wallTotal = 0, wallMin = 1e9, wallMax = 0;
  int forms = 0, rows = 0, pdfs = 0, errors = 0;
  // The homes are removed only after the last run: on ext4, inodes freed moments earlier make
  // the allocation of new ones slow, which would charge the deletion of one run to the next.
  std::vector<std::unique_ptr<kestrova::test::TempFolder>> homes;
  for (auto _ : state) {
    // A fresh home and a fresh program run each time, so every page and PDF is downloaded and
    // every folder made again.
    homes.push_back(std::make_unique<kestrova::test::TempFolder>());
    const kestrova::test::TempFolder& home = *homes.back();
    kestrova::bench::MakeProgramHome(home.native(), kestrova::bench::OnlineSettings(sim));
    kestrova::FixedClock clock("2011/05/08 14:30:00");
    auto program = std::make_unique<kestrova::ProgramState>();
    program->clock = &clock;
    ExchangeStats stats;
    SilentView view;
    kestrova::TransportFactory curl = kestrova::SystemTransportFactory();
    kestrova::MainWindow window(*program, view, [&](const kestrova::SettingsStore& settings) {
      return std::unique_ptr<kestrova::Transport>(
          new kestrova::bench::TimingTransport(curl(settings), stats));
    });
    if (!window.StartUp({kestrova::platform::ProgramPath(home.native()) + "\\kestrova"},
                        {"demo", ""})) {
      state.SkipWithError("start-up check failed");
      return;
    }

    auto start = std::chrono::steady_clock::now();
    kestrova::CommandResult result = window.Command(kestrova::MainCommand::kPropertySearch);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(wall);

    if (result != kestrova::CommandResult::kRan) {
      state.SkipWithError("the property search was refused (login?)");
      return;
    }
    forms = std::stoi(window.Fields().searchCount.empty() ? "0" : window.Fields().searchCount);
    rows = kestrova::bench::CountLinesOfFiles(home.native() + "/csv", ".txt");
    pdfs = kestrova::bench::CountFilesBelow(home.native() + "/pdf", ".pdf");
    errors = program->errorList.Count();
    wallTotal += wall;
    wallMin = std::min(wallMin, wall);
    wallMax = std::max(wallMax, wall);
    total.requests += stats.requests;
    total.failures += stats.failures;
    total.bytes += stats.bytes;
    total.seconds += stats.seconds;
    if (errors != 0 || stats.failures != 0) {
      state.SkipWithError("the run logged errors; the figures would not be a whole run");
      return;
    }
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["forms"] = forms;
  state.counters["rows"] = rows;
  state.counters["pdfs"] = pdfs;
  state.counters["errors"] = errors;
  state.counters["requests"] = total.requests / n;
  state.counters["MB"] = static_cast<double>(total.bytes) / n / 1e6;
  state.counters["wall_s"] = wallTotal / n;
  state.counters["wall_min_s"] = wallMin;
  state.counters["wall_max_s"] = wallMax;
  state.counters["exchange_s"] = total.seconds / n;
  state.counters["own_s"] = (wallTotal - total.seconds) / n;
  state.counters["exchange_pct"] = wallTotal > 0 ? 100.0 * total.seconds / wallTotal : 0;
}
BENCHMARK(BM_OnlinePropertySearch)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StartUp(benchmark::State& state) {
  // Generated once: 100,000 records in dat/TotalData.txt, 50,000 entries in dat/SyousaiInfo.dat.
  kestrova::bench::BenchHome data;
  data.ResetStore();
  data.AddDetails(50000);
  if (!kestrova::SaveChangedDetailFiles(data.state)) {
    state.SkipWithError("the detail store could not be written");
    return;
  }
  const kestrova::EnvironmentSource source{kestrova::platform::ProgramPath(data.native) +
                                           "\\kestrova"};
  int details = 0;
  for (auto _ : state) {
    auto program = std::make_unique<kestrova::ProgramState>();
    SilentView view;
    kestrova::MainWindow window(*program, view, kestrova::SystemTransportFactory());
    auto start = std::chrono::steady_clock::now();
    bool started = window.StartUp(source, {"demo", ""});
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!started) {
      state.SkipWithError("start-up check failed");
      return;
    }
    details = program->detailStore.Count();
    if (details != 50000) {
      state.SkipWithError("the detail store did not load whole");
      return;
    }
  }
  state.counters["details"] = details;
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
