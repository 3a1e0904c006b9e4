// MergeNewRows of 2,000 new rows (500 of them updates) into 100,000 stored records, and
// WriteTotalCsv of the 100,000 records with the shipped layouts and 50,000 detail entries.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench/store_data.h"
#include "store/csv_writer.h"
#include "store/property_store.h"

namespace {

void BM_MergeNewRows(benchmark::State& state) {
  kestrova::bench::BenchHome home;
  for (auto _ : state) {
    state.PauseTiming();
    home.ResetStore();
    home.AddNewRows();
    state.ResumeTiming();
    if (kestrova::MergeNewRows(home.state) != 0) state.SkipWithError("the merge could not write");
  }
}
BENCHMARK(BM_MergeNewRows)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WriteTotalCsv(benchmark::State& state) {
  kestrova::bench::BenchHome home;
  home.ResetStore();
  home.AddDetails(50000);
  for (auto _ : state) {
    if (kestrova::WriteTotalCsv(home.state) != 0)
      state.SkipWithError("the CSV files could not be written");
  }
}
BENCHMARK(BM_WriteTotalCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
