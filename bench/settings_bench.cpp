// SettingsStore::LoadPairs of 50,000 keys, in key order and in random order.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "foundation/platform/platform.h"
#include "foundation/settings_store.h"

namespace {

std::string PairsFile(bool shuffled) {
  std::vector<std::string> lines;
  char buf[128];
  for (int i = 0; i < 50000; ++i) {
    std::snprintf(buf, sizeof buf, "%012d<===>detail value %d\t%d\t%d\r\n", 100000000 + i * 3, i,
                  i * 7, i * 13);
    lines.push_back(buf);
  }
  if (shuffled) std::shuffle(lines.begin(), lines.end(), std::mt19937(9));
  std::string path =
      (std::filesystem::temp_directory_path() /
       (shuffled ? "kestrova-bench-pairs-random.dat" : "kestrova-bench-pairs-sorted.dat"))
          .string();
  std::ofstream out(path, std::ios::binary);
  for (const auto& l : lines) out << l;
  return kestrova::platform::ProgramPath(path);
}

void BM_LoadPairs(benchmark::State& state) {
  static const std::string sorted = PairsFile(false);
  static const std::string shuffled = PairsFile(true);
  const std::string& path = state.range(0) ? shuffled : sorted;
  for (auto _ : state) {
    kestrova::SettingsStore store;
    store.LoadPairs(path, "<===>");
    benchmark::DoNotOptimize(store.Count());
  }
  state.SetLabel(state.range(0) ? "random order" : "key order");
}
BENCHMARK(BM_LoadPairs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SetOneByOne(benchmark::State& state) {
  std::vector<std::string> keys;
  for (int i = 0; i < 50000; ++i) keys.push_back(std::to_string((i * 7919) % 50000 + 100000000));
  for (auto _ : state) {
    kestrova::SettingsStore store;
    for (const auto& k : keys) store.Set(k, "value");
    benchmark::DoNotOptimize(store.Count());
  }
}
BENCHMARK(BM_SetOneByOne)->Unit(benchmark::kMillisecond);

// Look-ups and short in-place updates of a loaded store: what the online commands do per row.
void BM_GetAndUpdate(benchmark::State& state) {
  kestrova::SettingsStore store;
  std::vector<std::string> keys;
  for (int i = 0; i < 50000; ++i) keys.push_back(std::to_string(100000000 + i * 3));
  std::string text;
  for (const auto& k : keys) text += k + "<===>value\r\n";
  store.LoadPairsFromText(text, "<===>");
  std::shuffle(keys.begin(), keys.end(), std::mt19937(4));
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& key = keys[i++ % keys.size()];
    benchmark::DoNotOptimize(store.GetText(key));
    store.Set(key, "12345");
  }
}
BENCHMARK(BM_GetAndUpdate);

}  // namespace

BENCHMARK_MAIN();
