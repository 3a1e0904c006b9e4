// Page parser throughput: a 100-row result page (from the saved file, and already converted in
// memory) and a typical detail page with the shipped field definitions. Bytes are page HTML.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "service/detail_page_parser.h"
#include "service/result_page_parser.h"
#include "store/program_state.h"

namespace kestrova {
namespace {

// One row group in the service's markup: five table rows of cells, 30 record fields.
std::string BenchRow(int n) {
  const std::string number = std::to_string(100000000000LL + n);
  std::string row =
      "<tr>\n<td class=\"rlTeB\" rowspan=\"2\" nowrap>" + std::to_string(n + 1) + " 件目</td>\n";
  auto cell = [&](const std::string& cls, const std::string& text) {
    row += "<td class=\"" + cls + "\">" + text + "</td>\n";
  };
  cell("rbTeT", n % 7 == 0 ? "売り・マンション" : "");
  cell("rbTeT", "<a href=\"#\" onclick=\"detail('" + number + "')\">" + number + "</a>");
  cell("rbTeT", std::to_string(1000 + n * 37) + " 万円");
  cell("rbTeT", "一般媒介");
  cell("rbTeT", "大阪市　北区　梅田１丁目" + std::to_string(n) + "番　梅田タワー１２階");
  cell("rbTeT", "梅田");
  cell("rbTeT", "徒歩5分");
  row += "</tr>\n<tr>\n";
  for (const char* t : {"65.50㎡", "3LDK", "12階", "2005年 3月", "梅田タワー"}) cell("rbTeB", t);
  row += "</tr>\n<tr>\n";
  for (const char* t : {"&nbsp;", "8.20㎡", "12,000円", "9,800円", "120戸", "RC"}) cell("rbTeB", t);
  row += "</tr>\n<tr>\n";
  for (const char* t : {"2011/05/06", "2011/05/01", "2011/05/06", "公開中", "可"}) cell("rbTeB", t);
  row += "</tr>\n<tr>\n";
  for (const char* t : {"北浜不動産", "06-1234-5678", "山田", "南向き", "&nbsp;", ""})
    cell("rbTeB", t);
  cell("rbTeB", n % 2 ? "K-001<img src=\"/reinsip/img/zumen.gif\" alt=\"図面\">" : "K-001");
  return row + "</tr>\n";
}

std::string BenchResultPage() {
  std::string page =
      "<html><head><meta charset=\"UTF-8\"><title>物件検索結果</title></head><body>\n"
      "<table class=\"rlTable\">\n";
  for (int n = 0; n < 100; ++n) page += BenchRow(n);
  return page + "</table>\n</body></html>\n";
}

struct TempFile {
  TempFile(const std::string& name, const std::string& bytes)
      : native((std::filesystem::temp_directory_path() / name).string()),
        path(platform::ProgramPath(native)) {
    WriteFileAtomic(path, bytes);
  }
  ~TempFile() { std::remove(native.c_str()); }
  std::string native;
  std::string path;
};

void BM_ParseResultPageFile(benchmark::State& st) {
  const std::string utf8 = BenchResultPage();
  TempFile file("kestrova-parser-bench.html", utf8);
  ProgramState state;
  TextList rows;
  for (auto _ : st) {
    ParseResultPage(state, file.path, rows, SearchKind::kListings);
    state.newRows.Clear();
  }
  if (rows.Count() != 101) st.SkipWithError("wrong row count");
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(utf8.size()));
}
BENCHMARK(BM_ParseResultPageFile);

void BM_ParseResultText(benchmark::State& st) {
  const std::string page = Utf8ToAnsi(BenchResultPage());
  ProgramState state;
  TextList rows;
  for (auto _ : st) {
    ParseResultText(state, page, rows, SearchKind::kListings);
    state.newRows.Clear();
  }
  if (rows.Count() != 101) st.SkipWithError("wrong row count");
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ParseResultText);

void BM_ParseDetailPage(benchmark::State& st) {
  ProgramState state;
  state.detailHeader.lines.LoadLines(
      platform::ProgramPath(std::string(KESTROVA_SOURCE_DIR) + "/Setting/Syousai_Header.dat"));
  const std::string path = platform::ProgramPath(std::string(KESTROVA_SOURCE_DIR) +
                                                 "/tests/data/pages/detail_mansion.html");
  std::string bytes;
  ReadWholeFile(path, bytes);
  for (auto _ : st) ParseDetailPage(state, path);
  if (state.detailStore.Count() != 1) st.SkipWithError("page not stored");
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseDetailPage);

}  // namespace
}  // namespace kestrova

BENCHMARK_MAIN();
