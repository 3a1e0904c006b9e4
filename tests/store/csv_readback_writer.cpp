// Writes CSV files through the program's own writer together with expected.json, which names
// for every file the cells a spreadsheet must see; csv_readback_test.py reads both back with
// Python's csv module. The expected cells are written out by hand here, not computed.
#include <fstream>
#include <string>
#include <vector>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/csv_writer.h"
#include "store/program_state.h"
#include "store/property_record.h"
#include "tests/support/cp932_text.h"

using namespace kestrova;

namespace {

using test::Cp932Lines;

// A JSON string literal of UTF-8 text.
std::string Json(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\t') {
      out += "\\t";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + Json(items[i]);
  return out + "]";
}

struct Expected {
  std::string file;
  std::string delimiter;
  int blankLines;
  std::vector<std::string> headings;
  std::vector<std::vector<std::string>> rows;
};

std::string Describe(const Expected& e) {
  std::string out = "{\"file\": " + Json(e.file) + ", \"delimiter\": " + Json(e.delimiter) +
                    ", \"blank_lines\": " + std::to_string(e.blankLines) +
                    ", \"headings\": " + JsonList(e.headings) + ", \"rows\": [";
  for (std::size_t i = 0; i < e.rows.size(); ++i) out += (i ? ", " : "") + JsonList(e.rows[i]);
  return out + "]}";
}

std::string Record(const std::vector<std::pair<int, std::string>>& fields) {
  std::vector<std::string> f(30);
  for (const auto& [i, v] : fields) f[static_cast<std::size_t>(i)] = Sjis(v);
  return JoinRecord(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  ProgramState state;
  BuildEnvironment(state.environment, {platform::ProgramPath(argv[1]) + "\\kestrova"});

  // Field names of every type: 0 図面, 1 物件種別, 2 物件番号, 3 価格, 5 所在地, 6 最寄駅, 7 徒歩,
  // 8 築年月, 18 更新年月日, 19 備考; the rest f<i>.
  std::string names;
  for (int i = 0; i < 30; ++i) {
    const char* named[] = {"図面",   "物件種別", "物件番号", "価格",  nullptr,
                           "所在地", "最寄駅",   "徒歩",     "築年月"};
    names += i < 9 && named[i] ? Sjis(named[i])
             : i == 18         ? Sjis("更新年月日")
             : i == 19         ? Sjis("備考")
                               : "f" + std::to_string(i);
    names += '\t';
  }
  std::string all;
  for (int t = 0; t < 10; ++t) all += names + "\r\n";
  state.headerLists.LoadFromText(all);
  for (const char* d : {"物件番号", "所在地１", "所在地２", "交通１<>駅より徒歩", "構造"})
    state.detailHeader.lines.Add(Sjis(d));
  state.detailStore.Set("100", Sjis("100\t大阪市北区\t梅田１丁目\t7分560\tＲＣ造\t"));
  state.dealStore.Set("101", Sjis("平成24年3月\t2,480"));

  TextList records;
  records.Add(Record({{0, "有"},
                      {1, "13売り・マンション"},
                      {2, "100"},
                      {3, "1,980万円"},
                      {5, "大阪市北区梅田１丁目　梅田ハイツ12階"},
                      {6, "阪急宝塚線梅田"},
                      {7, "5/12"},
                      {8, "平成5年3月"},
                      {18, "2012/3/5"},
                      {19, "角部屋, 南向き \"眺望\" ソ表～①㎡"}}));
  records.Add("");
  records.Add(Record({{0, "無"},
                      {1, "23賃貸・マンション"},
                      {2, "101"},
                      {3, "12.5万円"},
                      {5, "豊中市新千里東町"},
                      {6, "JR(東西線)北新地"},
                      {8, "2001年10月"},
                      {18, "2012/04/01"}}));
  records.Add(Record({{1, ""}, {2, "999"}}));  // no type: no line

  state.csvLayout.LoadFromText(Cp932Lines(
      "物件番号\tS\t番号\n$データ種類$\tS\t売買/賃貸\n$物件種別$\tS\t種別\n価格\tN\t価格\n"
      "$所在地$\tS\t所在地\n$マンション名$\tS未入力\t建物名\n$階数$\tN0\t階\n$沿線$"
      "\tS\t沿線\n$駅$|最寄駅\tS\t駅\n"
      "$徒歩分$\tN\t徒歩\n&所在地&|所在地\tS\t所在地(詳細)\n&交通１<>駅より徒歩ｍ&"
      "\tN\t\"距離\"(m)\n"
      "%構造%\tS\t構造\n築年月\tD\t築年月\n更新年月日\tD\t更新日\n@成約日付@\tD\t成約日\n@"
      "成約価格@\tN\t成約価格\n"
      "備考\tS\t備考\n図面\t\t図面\n"));
  state.kanriLayout.LoadFromText(Cp932Lines(
      "!区切り=\t\n!ヘッダ空行=0\n物件番号\tS\t物件番号\n備考\tS\t備考\n備考\t\t備考(そのまま)\n"
      "価格\tN\t価格\n"));
  const std::string first = "角部屋、 南向き \"眺望\" ソ表～①㎡";
  std::vector<Expected> expected = {
      {"user.csv",
       ",",
       2,
       {"番号", "売買/賃貸", "種別", "価格", "所在地", "建物名", "階", "沿線", "駅", "徒歩",
        "所在地(詳細)", "\"距離\"(m)", "構造", "築年月", "更新日", "成約日", "成約価格", "備考",
        "図面"},
       {{"100", "売物件", "売マン", "1980", "大阪市北区梅田１丁目", "梅田ハイツ", "12",
         "阪急宝塚線", "梅田", "5", "大阪市北区梅田１丁目", "560", "ＲＣ造", "1993/03/01",
         "2012/03/05", "", "", first, "有"},
        {"101", "賃貸物件", "貸マン", "12.5", "豊中市新千里東町", "未入力", "0", "JR(東西線）",
         "北新地", "", "豊中市新千里東町", "", "", "2001/10/01", "2012/04/01", "2012/03/01", "2480",
         "", "無"}}},
      {"management.csv",
       "\t",
       0,
       {"物件番号", "備考", "備考(そのまま)", "価格"},
       {{"100", first, first, "1980"}, {"101", "", "", "12.5"}}},
  };
  const std::string folder = state.ProgramFolder();
  if (WriteCsv(state, records, folder + "\\user.csv", state.csvLayout) != 0) return 1;
  if (WriteCsv(state, records, folder + "\\management.csv", state.kanriLayout) != 0) return 1;

  std::ofstream json(platform::NativePath(folder + "\\expected.json"), std::ios::binary);
  json << "[" << Describe(expected[0]) << ",\n" << Describe(expected[1]) << "]\n";
  return json ? 0 : 1;
}
