// The local search window over the management CSV files written from generated records:
// RunSearch on 200,000 lines beside grep -F with the same keys over the same file, opening
// with 100,000 current and 100,000 past lines, sorting 100,000 rows by a numeric column, and
// kestrova --headless find as a whole process.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/property_lines.h"
#include "bench/store_data.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/csv_writer.h"
#include "store/program_state.h"
#include "ui/console_view.h"
#include "ui/default_settings.h"
#include "ui/search_window.h"

namespace {

using namespace kestrova;

// The keys of the measured search (UTF-8): three groups, the second with two alternatives.
constexpr const char* kKeys = "大阪市;;;御堂筋線;北大阪急行;;マンション;;";
constexpr const char* kFrom = "2026/03/01";
constexpr const char* kTo = "2026/08/31";

// A program folder whose management files hold `current` and `past` generated records.
struct SearchHome {
  SearchHome(int current, int past) {
    native = bench::MakeBenchFolder(state, "kestrova-searchbench");
    ApplyDefaultSettings(state.settings, state.environment);
    std::ofstream(native + "/dat/TotalData.txt", std::ios::binary)
        << bench::GeneratePropertyLines(current, 1);
    std::ofstream(native + "/dat/TotalData_Kako.txt", std::ios::binary)
        << bench::GeneratePropertyLines(past, 3, 500000000);
    if (WriteTotalCsv(state) != 0 || WritePastCsv(state) != 0) std::abort();
    // For the program run: terms agreed, nothing old enough for the close's tidy to move.
    std::ofstream(native + "/kestrova.ini", std::ios::binary)
        << Sjis("[設定]\r\n同意=1\r\n[設定2]\r\nデータ保持期間=600\r\n");
  }
  ~SearchHome() { std::filesystem::remove_all(native); }
  std::string Kanri() const { return native + "/csv_total/TotalData_kanri_csvdata.csv"; }

  std::string native;
  ProgramState state;
};

SearchHome& Home200k() {
  static SearchHome home(200000, 0);
  return home;
}
SearchHome& Home100k100k() {
  static SearchHome home(100000, 100000);
  return home;
}

void SetKeysAndDates(SearchFields& fields) {
  fields.state.keys = SplitSearchKeys(Sjis(kKeys));
  fields.state.startDate = kFrom;
  fields.state.endDate = kTo;
  fields.state.type = 2;
  fields.state.plan = 2;
}

void BM_RunSearch_ThreeKeyGroupsAndDates(benchmark::State& s) {
  SearchHome& home = Home200k();
  ConsoleSearchView view;
  SearchWindow window(home.state, view);
  if (!window.Load()) return s.SkipWithError("no management data");
  SetKeysAndDates(window.Fields());
  for (auto _ : s) window.RunSearch();
  s.counters["rows"] = window.Results().RowCount();
}
BENCHMARK(BM_RunSearch_ThreeKeyGroupsAndDates)->Unit(benchmark::kMillisecond);

void BM_RunSearch_EveryRecordShown(benchmark::State& s) {
  SearchHome& home = Home200k();
  ConsoleSearchView view;
  SearchWindow window(home.state, view);
  if (!window.Load()) return s.SkipWithError("no management data");
  window.Fields().state = SearchState{};
  window.Fields().state.type = 2;
  for (auto _ : s) window.RunSearch();
  s.counters["rows"] = window.Results().RowCount();
}
BENCHMARK(BM_RunSearch_EveryRecordShown)->Unit(benchmark::kMillisecond);

// grep's time over the same file, through the shell as a script would run it.
void TimeShell(benchmark::State& s, const std::string& command) {
  for (auto _ : s) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) == -1) return s.SkipWithError("no shell");
    s.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}

// One key file per key group, cp932, for grep -F -f.
std::string KeyFiles(const SearchHome& home) {
  const std::array<std::string, 9> keys = SplitSearchKeys(Sjis(kKeys));
  for (int group = 0; group < 3; ++group) {
    std::ofstream out(home.native + "/keys" + std::to_string(group + 1) + ".txt", std::ios::binary);
    for (int row = 0; row < 3; ++row) {
      const std::string& key = keys[static_cast<std::size_t>(group * 3 + row)];
      if (!key.empty()) out << key << "\n";
    }
  }
  return home.native + "/keys";
}

void BM_Baseline_GrepF_AnyKey(benchmark::State& s) {
  SearchHome& home = Home200k();
  const std::string keys = KeyFiles(home);
  TimeShell(s, "cat " + keys + "1.txt " + keys + "2.txt " + keys + "3.txt > " + keys +
                   "all.txt && LC_ALL=C grep -F -f " + keys + "all.txt " + home.Kanri() +
                   " > /dev/null");
}
BENCHMARK(BM_Baseline_GrepF_AnyKey)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Baseline_GrepF_AllGroups(benchmark::State& s) {
  SearchHome& home = Home200k();
  const std::string keys = KeyFiles(home);
  TimeShell(s, "LC_ALL=C grep -F -f " + keys + "1.txt " + home.Kanri() + " | LC_ALL=C grep -F -f " +
                   keys + "2.txt | LC_ALL=C grep -F -f " + keys + "3.txt > /dev/null");
}
BENCHMARK(BM_Baseline_GrepF_AllGroups)->UseManualTime()->Unit(benchmark::kMillisecond);

// Load, station list, key lists, saved state and the first search with every current and
// past line shown.
void BM_OpenWindow_100kCurrent100kPast(benchmark::State& s) {
  SearchHome& home = Home100k100k();
  home.state.settings.Set(keys::kSearchType, "2");
  home.state.settings.Set(keys::kSearchFloorPlan, "2");
  home.state.settings.Set(keys::kSearchPastData, "1");
  home.state.settings.Set(keys::kSearchKeys, "");
  int rows = 0;
  for (auto _ : s) {
    ConsoleSearchView view;
    auto window = std::make_unique<SearchWindow>(home.state, view);
    if (!window->Open()) return s.SkipWithError("no management data");
    rows = window->Results().RowCount();
  }
  s.counters["rows"] = rows;
}
BENCHMARK(BM_OpenWindow_100kCurrent100kPast)->Unit(benchmark::kMillisecond);

void BM_SortNumericColumn_100kRows(benchmark::State& s) {
  SearchHome& home = Home100k100k();
  ConsoleSearchView view;
  SearchWindow window(home.state, view);
  if (!window.Load()) return s.SkipWithError("no management data");
  window.Fields().state = SearchState{};
  window.Fields().state.type = 2;
  window.RunSearch();
  const int price = 4;  // "価格(万円)", an N column
  // Every click sorts: ascending, then descending, alternately.
  for (auto _ : s) window.SortByColumn(price);
  s.counters["rows"] = window.Results().RowCount();
}
BENCHMARK(BM_SortNumericColumn_100kRows)->Unit(benchmark::kMillisecond);

void BM_HeadlessFindProcess_200k(benchmark::State& s) {
  SearchHome& home = Home200k();
  const std::string command = std::string(KESTROVA_BINARY_DIR) + "/bin/kestrova --home " +
                              home.native + " --headless find --keys '" + kKeys + "' --from " +
                              kFrom + " --to " + kTo + " --type 2 --plan 2 > /dev/null 2>&1";
  // The first run of the month tidies the data at its close: not part of a search.
  if (std::system(command.c_str()) != 0) return s.SkipWithError("kestrova find failed");
  TimeShell(s, command);
}
BENCHMARK(BM_HeadlessFindProcess_200k)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
