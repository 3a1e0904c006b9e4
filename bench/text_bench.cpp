// LoadLines, Split and Sort over 100,000 generated property lines (about 30 MB).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench/property_lines.h"
#include "foundation/platform/platform.h"
#include "foundation/text_list.h"

namespace {

const std::string& LinesFile() {
  static const std::string path = [] {
    const char* env = std::getenv("KESTROVA_BENCH_LINES");
    if (env && *env) return std::string(env);
    std::string p = (std::filesystem::temp_directory_path() / "kestrova-bench-lines.txt").string();
    std::ofstream(p, std::ios::binary) << kestrova::bench::GeneratePropertyLines(100000, 1);
    return p;
  }();
  return path;
}

void BM_LoadLines(benchmark::State& state) {
  std::string path = kestrova::platform::ProgramPath(LinesFile());
  for (auto _ : state) {
    kestrova::TextList list;
    list.LoadLines(path);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(LinesFile())));
}
BENCHMARK(BM_LoadLines)->Unit(benchmark::kMillisecond);

void BM_SplitEveryLineAtTab(benchmark::State& state) {
  kestrova::TextList lines;
  lines.LoadLines(kestrova::platform::ProgramPath(LinesFile()));
  kestrova::TextList fields;
  for (auto _ : state) {
    long total = 0;
    for (int i = 0; i < lines.Count(); ++i) total += fields.Split(lines.View(i), "\t");
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_SplitEveryLineAtTab)->Unit(benchmark::kMillisecond);

void SortWith(benchmark::State& state, int flags) {
  kestrova::TextList lines;
  lines.LoadLines(kestrova::platform::ProgramPath(LinesFile()));
  for (auto _ : state) {
    state.PauseTiming();
    kestrova::TextList copy;
    lines.CopyTo(copy);
    state.ResumeTiming();
    copy.Sort(flags);
    benchmark::DoNotOptimize(copy.Get(0));
  }
}
void BM_SortAscending(benchmark::State& s) { SortWith(s, 0); }
void BM_SortDescending(benchmark::State& s) { SortWith(s, kestrova::kSortDescending); }
void BM_SortFolded(benchmark::State& s) { SortWith(s, kestrova::kSortFoldCase); }
BENCHMARK(BM_SortAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortDescending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortFolded)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
