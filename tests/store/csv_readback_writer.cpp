// Writes a CSV file through the program's own writer, with the values a spreadsheet must see
// in each cell, for csv_readback_test.py to read back with an independent CSV reader.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/csv_writer.h"
#include "store/program_state.h"
#include "store/property_record.h"

using namespace kestrova;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string folder = argv[1];
  ProgramState state;
  BuildEnvironment(state.environment, {platform::ProgramPath(folder) + "\\kestrova"});
  std::string names;
  for (int i = 0; i < 30; ++i) names += (i == 2 ? Sjis("物件番号") : i == 3 ? Sjis("価格") : "f" + std::to_string(i)) + "\t";
  std::string all;
  for (int t = 0; t < 10; ++t) all += names + "\r\n";
  state.headerLists.LoadFromText(all);
  state.csvLayout.LoadFromText(Sjis("物件番号\tS\t番号\r\n価格\tN\t価格\r\nf5\tS\t所在地\r\nf6\tS空\t備考\r\nf7\tD\t日付\r\n"));
  struct Row { std::string number, price, place, note, date; std::vector<std::string> cells; };
  std::vector<Row> rows = {
      {"100", "1,980万円", "大阪市北区梅田１丁目　梅田ハイツ", "角部屋, 南向き", "平成23年10月",
       {"100", "1980", "大阪市北区梅田１丁目　梅田ハイツ", "角部屋、 南向き", "2011/10/01"}},
      {"101", "", "ソフト館\"西\"", "", "2012/3/5",
       {"101", "", "ソフト館\"西\"", "空", "2012/03/05"}},
  };
  TextList records;
  std::ofstream expect(folder + "/expected.tsv", std::ios::binary);
  expect << "番号\t価格\t所在地\t備考\t日付\t\n";
  for (const Row& r : rows) {
    std::vector<std::string> f(30);
    f[1] = Sjis("13売り・マンション");
    f[2] = r.number;
    f[3] = Sjis(r.price);
    f[5] = Sjis(r.place);
    f[6] = Sjis(r.note);
    f[7] = Sjis(r.date);
    records.Add(JoinRecord(f));
    for (const auto& c : r.cells) expect << c << "\t";
    expect << "\t\n";  // the trailing separator gives one more, empty cell
  }
  return WriteCsv(state, records, platform::ProgramPath(folder) + "\\out.csv", state.csvLayout) ? 0 : 1;
}
