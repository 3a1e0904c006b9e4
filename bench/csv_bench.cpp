// The total CSV files of 100,000 stored records with the shipped layouts and 50,000 detail
// entries, and the in-memory build of each layout without the disk.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/property_lines.h"
#include "bench/store_data.h"
#include "foundation/environment.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/program_state.h"
#include "store/property_record.h"

namespace {

using namespace kestrova;

// A program folder with the shipped Setting files, the stored records and the detail store.
struct CsvBenchHome {
  CsvBenchHome() {
    native = bench::MakeBenchFolder(state, "kestrova-csvbench");
    const std::string stored = bench::GeneratePropertyLines(100000, 1);
    std::ofstream(native + "/dat/TotalData.txt", std::ios::binary) << stored;
    records.LoadLinesFromText(stored);
    AddDetails(50000);
  }
  ~CsvBenchHome() { std::filesystem::remove_all(native); }

  // Detail values shaped like the parsed pages: transport pieces "5分400", dates, areas.
  void AddDetails(int n) {
    const int pieces = state.detailHeader.lines.Count();
    const std::string walk = Sjis("7分560");
    const std::string built = Sjis("平成15年3月");
    std::string value;
    for (int i = 0; i < n && i < records.Count(); ++i) {
      std::string_view number = RecordField(records.View(i * 2), kFieldNumber);
      value.assign(number).append("\t");
      for (int k = 1; k < pieces; ++k) {
        std::string_view name = state.detailHeader.lines.View(k);
        if (name.find(Sjis("徒歩")) != std::string_view::npos)
          value += walk;
        else if (name == Sjis("築年月"))
          value += built;
        else
          value += std::to_string(100 + k);
        value += '\t';
      }
      state.detailStore.Set(number, value);
    }
  }

  std::string native;
  TextList records;
  ProgramState state;
};

CsvBenchHome& Home() {
  static CsvBenchHome home;  // built once: generating 100,000 records is not what is measured
  return home;
}

void BM_WriteTotalCsv(benchmark::State& s) {
  CsvBenchHome& home = Home();
  for (auto _ : s) {
    if (WriteTotalCsv(home.state) != 0) s.SkipWithError("the CSV files could not be written");
  }
  s.counters["records"] = home.records.Count();
}
BENCHMARK(BM_WriteTotalCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildCsvUserLayout(benchmark::State& s) {
  CsvBenchHome& home = Home();
  std::size_t bytes = 0;
  for (auto _ : s) bytes = BuildCsv(home.state, home.records, home.state.csvLayout).size();
  s.counters["MB"] = static_cast<double>(bytes) / 1e6;
  s.counters["columns"] = home.state.csvLayout.Columns();
}
BENCHMARK(BM_BuildCsvUserLayout)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildCsvManagementLayout(benchmark::State& s) {
  CsvBenchHome& home = Home();
  std::size_t bytes = 0;
  for (auto _ : s) bytes = BuildCsv(home.state, home.records, home.state.kanriLayout).size();
  s.counters["MB"] = static_cast<double>(bytes) / 1e6;
  s.counters["columns"] = home.state.kanriLayout.Columns();
}
BENCHMARK(BM_BuildCsvManagementLayout)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
