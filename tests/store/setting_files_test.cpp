// The data files that ship with the program, read as the program reads them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/program_state.h"
#include "store/property_record.h"
#include "tests/support/source_paths.h"

namespace kestrova {
namespace {

const char* const kTypes[10] = {
    "11売り・土地", "12売り・戸建て", "13売り・マンション", "14売り・建物全部", "15売り・建物一部",
    "21賃貸・土地", "22賃貸・戸建て", "23賃貸・マンション", "24賃貸・建物全部", "25賃貸・建物一部"};

std::string Shipped(const std::string& name) {
  std::string bytes;
  ReadWholeFile(platform::ProgramPath(std::string(KESTROVA_SOURCE_DIR) + "/" + name), bytes);
  return bytes;
}

// The program state of a start over the shipped files (filled in place: a state is never copied).
void LoadShipped(ProgramState& state) {
  BuildEnvironment(state.environment, {platform::ProgramPath(KESTROVA_SOURCE_DIR) + "\\kestrova"});
  LoadLayouts(state);
  LoadDetailFiles(state);
}

// A record of the given type whose fields are found by the shipped names of that type.
std::string Record(const ProgramState& state, int type, const std::string& number) {
  const TextList& names = state.headerLists.lists[type];
  std::vector<std::string> f(kRecordFields);
  auto put = [&](const char* name, const std::string& value) {
    int i = names.Find(0, Sjis(name));
    if (i >= 0) f[static_cast<std::size_t>(i)] = value;
  };
  f[kFieldFloorPlan] = SJIS("有");
  f[kFieldType] = Sjis(kTypes[type]);
  put("物件番号", number);
  put("価格", Sjis("1,980万円"));
  put("賃料", Sjis("12.5万円"));
  put("所在地", Sjis("大阪市中央区本町１丁目　本町タワー12階"));
  put("最寄駅", Sjis("御堂筋線本町"));
  put("徒歩", "5/");
  put("更新年月日", "2026/11/30");
  put("会員名", Sjis("本町不動産"));
  put("間取", "3LDK");
  put("取引態様/報酬形態", Sjis("専任/分かれ"));
  return JoinRecord(f);
}

// The column of a written CSV line whose source spec is spec, quotes removed, as the local
// search window reads it; empty when the layout lacks that source.
std::string Column(const CsvLayout& layout, std::string_view line, const std::string& spec) {
  int index = layout.sources.Find(0, spec);
  if (index < 0) return {};
  TextList fields(line, layout.separator);
  std::string value(fields.View(index));
  std::erase(value, '"');
  return value;
}

TEST(SettingFilesTest, EveryFileIsCp932WithCrLf) {
  for (const char* name :
       {"Setting/HeaderInfo.dat", "Setting/Syousai_Header.dat", "Setting/Output_CSV.txt",
        "Setting/Output_Kanri.txt", "Setting/UserFindKeyList1.txt", "Setting/UserFindKeyList2.txt",
        "Setting/UserFindKeyList3.txt", "Setting/zip_code.txt", "利用規約.txt"}) {
    std::string bytes = Shipped(name);
    ASSERT_GE(bytes.size(), 2u) << name;
    EXPECT_EQ(Utf8(bytes).find("\xEF\xBF\xBD"), std::string::npos) << name << " is not cp932";
    EXPECT_EQ(Sjis(Utf8(bytes)), bytes) << name << " does not survive a round trip through cp932";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " bare LF at " << i;
      } else if (bytes[i] == '\r') {
        ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << name << " bare CR at " << i;
      }
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
  }
}

TEST(SettingFilesTest, HeaderInfoNamesThirtyDistinctFieldsPerType) {
  ProgramState state;
  LoadShipped(state);
  TextList lines;
  lines.LoadLinesFromText(Shipped("Setting/HeaderInfo.dat"));
  EXPECT_EQ(lines.Count(), 10);
  for (int t = 0; t < 10; ++t) {
    const TextList& names = state.headerLists.lists[t];
    ASSERT_EQ(names.Count(), kRecordFields + 1) << "type list " << t;
    EXPECT_TRUE(names.View(kRecordFields).empty()) << "every name is followed by a TAB";
    std::set<std::string> seen;
    for (int j = 0; j < kRecordFields; ++j) {
      EXPECT_FALSE(names.View(j).empty()) << "type " << t << " field " << j;
      EXPECT_TRUE(seen.insert(std::string(names.View(j))).second)
          << Utf8(names.View(j)) << " twice in type list " << t
          << "; a lookup by name finds only the first";
    }
  }
}

TEST(SettingFilesTest, NamesTheProgramLooksUpStandAtOneIndexOnEveryLine) {
  ProgramState state;
  LoadShipped(state);
  const std::pair<int, const char*> fixed[] = {{kFieldFloorPlan, "図面"},
                                               {kFieldType, "物件種別"},
                                               {kFieldNumber, "物件番号"},
                                               {4, "取引態様/報酬形態"},
                                               {kFieldLocation, "所在地"},
                                               {6, "最寄駅"},
                                               {7, "徒歩"},
                                               {kFieldUpdated, "更新年月日"},
                                               {23, "会員名"}};
  for (int t = 0; t < 10; ++t) {
    const TextList& names = state.headerLists.lists[t];
    for (const auto& [index, name] : fixed) {
      EXPECT_EQ(names.Find(0, Sjis(name)), index) << name << " in type list " << t;
    }
    EXPECT_EQ(names.View(kFieldPrice), t < 5 ? SJIS("価格") : SJIS("賃料")) << "type list " << t;
  }
  // Land, houses and whole buildings carry the road access the derived road columns read.
  for (int t : {0, 1, 3, 5, 6, 8}) {
    EXPECT_GE(state.headerLists.lists[t].Find(0, SJIS("接道状況/方向")), 0) << t;
    EXPECT_GE(state.headerLists.lists[t].Find(0, SJIS("幅員/接面")), 0) << t;
  }
}

TEST(SettingFilesTest, DetailHeaderHasTheNamesTheProgramUses) {
  ProgramState state;
  LoadShipped(state);
  for (const char* n : {"物件番号", "所在地１", "所在地２", "所在地３", "その他所在地表示",
                        "交通１<>駅より徒歩", "交通１<>バス停より徒歩", "交通２<>駅より徒歩",
                        "交通２<>バス停より徒歩", "所在階", "土地面積", "建物面積１", "築年月"}) {
    EXPECT_GE(state.detailHeader.IndexOf(Sjis(n)), 0) << n;
  }
}

TEST(SettingFilesTest, DetailLabelsCannotBeFoundInsideEachOther) {
  // A label is looked for as label + "</td"; a label that ends another label would be found in
  // that other field's cell and take its value.
  ProgramState state;
  LoadShipped(state);
  const TextList& lines = state.detailHeader.lines;
  ASSERT_GT(lines.Count(), 10);
  std::set<std::string> labels;
  std::set<std::string> whole;
  for (int i = 0; i < lines.Count(); ++i) {
    ASSERT_FALSE(lines.View(i).empty()) << "line " << i;
    EXPECT_EQ(lines.View(i).find('\t'), std::string::npos) << "line " << i;
    EXPECT_TRUE(whole.insert(std::string(lines.View(i))).second) << Utf8(lines.View(i)) << " twice";
    TextList parts(lines.View(i), "<>");
    labels.insert(std::string(parts.View(parts.Count() - 1)));
  }
  for (const std::string& a : labels) {
    for (const std::string& b : labels) {
      if (a != b && b.size() > a.size()) {
        EXPECT_NE(b.compare(b.size() - a.size(), a.size(), a), 0) << Utf8(a) << " ends " << Utf8(b);
      }
    }
  }
}

// Every alternative of every column must name something the program can resolve; a typo
// (建物面積 for 建物面積１) silently gives an empty column in every row.
void ExpectEverySourceResolvable(const ProgramState& state, const CsvLayout& layout,
                                 const char* file) {
  const std::set<std::string> derived = [] {
    std::set<std::string> s;
    for (const char* d : {"$沿線$", "$駅$", "$徒歩分$", "$バス$", "$取引態様$", "$報酬形態$",
                          "$接道状況$", "$接道方向$", "$接道接面$", "$データ種類$", "$物件種別$",
                          "$所在地$", "$マンション名$", "$階数$"})
      s.insert(Sjis(d));
    return s;
  }();
  const std::set<std::string> combined = [] {
    std::set<std::string> s;
    for (const char* d :
         {"&所在地&", "&交通１<>駅より徒歩&", "&交通１<>駅より徒歩ｍ&", "&交通１<>バス停より徒歩&",
          "&交通２<>駅より徒歩&", "&交通２<>駅より徒歩ｍ&", "&交通２<>バス停より徒歩&"})
      s.insert(Sjis(d));
    return s;
  }();
  ASSERT_GT(layout.Columns(), 10) << file;
  for (int c = 0; c < layout.Columns(); ++c) {
    std::string_view spec = layout.sources.View(c);
    EXPECT_FALSE(layout.headings.View(c).empty()) << file << " column " << c;
    std::string_view type = layout.types.View(c);
    EXPECT_TRUE(!type.empty() && (type[0] == 'S' || type[0] == 'N' || type[0] == 'D'))
        << file << " column " << c;
    TextList alternatives(spec, "|");
    for (int a = 0; a < alternatives.Count(); ++a) {
      std::string alt(alternatives.View(a));
      ASSERT_FALSE(alt.empty()) << file << " column " << c << " has an empty alternative";
      if (alt[0] == '#') continue;
      if (alt[0] == '$') {
        EXPECT_TRUE(derived.count(alt)) << file << ": " << Utf8(alt);
      } else if (alt[0] == '&') {
        EXPECT_TRUE(combined.count(alt)) << file << ": " << Utf8(alt);
      } else if (alt[0] == '@') {
        EXPECT_TRUE(alt == SJIS("@成約日付@") || alt == SJIS("@成約価格@"))
            << file << ": " << Utf8(alt);
      } else if (alt[0] == '%') {
        std::erase(alt, '%');
        EXPECT_GE(state.detailHeader.IndexOf(alt), 0) << file << ": detail field " << Utf8(alt);
      } else {
        bool named = false;
        for (const TextList& names : state.headerLists.lists) named |= names.Find(0, alt) >= 0;
        EXPECT_TRUE(named) << file << ": record column " << Utf8(alt);
      }
    }
  }
}

TEST(SettingFilesTest, EveryLayoutSourceNamesAKnownField) {
  ProgramState state;
  LoadShipped(state);
  ExpectEverySourceResolvable(state, state.csvLayout, "Output_CSV.txt");
  ExpectEverySourceResolvable(state, state.kanriLayout, "Output_Kanri.txt");
}

TEST(SettingFilesTest, KanriLayoutHoldsEverySourceTheLocalSearchUses) {
  ProgramState state;
  LoadShipped(state);
  for (const char* s :
       {"更新年月日", "図面", "$駅$", "会員名", "%所在階%", "%土地面積%", "%建物面積１%",
        "%築年月%", "$徒歩分$", "$所在地$", "物件番号", "物件種別"}) {
    EXPECT_GE(state.kanriLayout.sources.Find(0, Sjis(s)), 0) << s;
  }
}

TEST(SettingFilesTest, KanriRowsCarryWhatTheLocalSearchFiltersOn) {
  ProgramState state;
  LoadShipped(state);
  TextList records;
  for (int t = 0; t < 10; ++t) records.Add(Record(state, t, "1000000000" + std::to_string(10 + t)));
  std::string csv = BuildCsv(state, records, state.kanriLayout);
  TextList lines;
  lines.LoadLinesFromText(csv);
  const int skip = 1 + state.kanriLayout.blankLines;
  ASSERT_EQ(lines.Count(), skip + 10);
  for (int t = 0; t < 10; ++t) {
    std::string_view line = lines.View(skip + t);
    // The sale/rent choice looks for these texts anywhere in the raw line.
    EXPECT_NE(line.find(t < 5 ? SJIS("売り・") : SJIS("賃貸・")), std::string::npos) << kTypes[t];
    EXPECT_EQ(Column(state.kanriLayout, line, SJIS("物件種別")), Sjis(kTypes[t]));
    EXPECT_EQ(Column(state.kanriLayout, line, SJIS("物件番号")),
              "1000000000" + std::to_string(10 + t));
    EXPECT_EQ(Column(state.kanriLayout, line, SJIS("更新年月日")), "2026/11/30");
    EXPECT_EQ(Column(state.kanriLayout, line, SJIS("図面")), SJIS("有"));
    EXPECT_EQ(Column(state.kanriLayout, line, SJIS("$駅$")), SJIS("本町"));
    EXPECT_EQ(Column(state.kanriLayout, line, SJIS("$所在地$")), SJIS("大阪市中央区本町１丁目"));
    EXPECT_EQ(Column(state.kanriLayout, line, SJIS("会員名")), SJIS("本町不動産"));
    // Key-list entries name floor plans and dealing types; they must be in the line to match.
    if (state.headerLists.lists[t].Find(0, SJIS("間取")) >= 0) {
      EXPECT_NE(line.find("3LDK"), std::string::npos) << kTypes[t];
    }
    EXPECT_NE(line.find(SJIS("専任")), std::string::npos) << kTypes[t];
  }
}

TEST(SettingFilesTest, UpdateDateColumnIsNormalisedForTheDateRange) {
  // The date range compares texts; a stored 2026/1/5 must come out as 2026/01/05.
  ProgramState state;
  LoadShipped(state);
  TextList fields;
  SplitRecord(Record(state, 0, "100000000001"), fields);
  std::vector<std::string> f = fields.ToVector();
  f.resize(kRecordFields);
  f[kFieldUpdated] = "2026/1/5";
  TextList records;
  records.Add(JoinRecord(f));
  TextList lines;
  lines.LoadLinesFromText(BuildCsv(state, records, state.kanriLayout));
  EXPECT_EQ(Column(state.kanriLayout, lines.View(-1), SJIS("更新年月日")), "2026/01/05");
}

TEST(SettingFilesTest, UserCsvSplitsLocationAndTakesDetailAndDealValues) {
  ProgramState state;
  LoadShipped(state);
  const std::string number = "100000000013";
  std::string detail;
  for (int i = 0; i < state.detailHeader.lines.Count(); ++i) {
    std::string_view name = state.detailHeader.lines.View(i);
    if (name == SJIS("交通１<>駅より徒歩")) detail += Sjis("5分400");
    if (name == SJIS("建物面積１")) detail += "72.5";
    detail += "\t";
  }
  state.detailStore.Set(number, detail);
  state.dealStore.Set(number, "2026/12/01\t1950");
  TextList records;
  records.Add(Record(state, 2, number));
  TextList lines;
  lines.LoadLinesFromText(BuildCsv(state, records, state.csvLayout));
  std::string_view line = lines.View(-1);
  const CsvLayout& layout = state.csvLayout;
  EXPECT_EQ(Column(layout, line, SJIS("$物件種別$")), SJIS("売マン"));
  EXPECT_EQ(Column(layout, line, SJIS("$所在地$")), SJIS("大阪市中央区本町１丁目"));
  EXPECT_EQ(Column(layout, line, SJIS("$マンション名$|%建物名%|建物名")), SJIS("本町タワー"));
  EXPECT_EQ(Column(layout, line, SJIS("$階数$|%所在階%|所在階")), "12");
  EXPECT_EQ(Column(layout, line, SJIS("価格|賃料|%価格%|%賃料%")), "1980");
  EXPECT_EQ(Column(layout, line, SJIS("&交通１<>駅より徒歩ｍ&")), "400");
  EXPECT_EQ(Column(layout, line, SJIS("建物面積|使用部分面積|%建物面積１%")), "72.5");
  EXPECT_EQ(Column(layout, line, SJIS("@成約日付@")), "2026/12/01");
  EXPECT_EQ(Column(layout, line, SJIS("@成約価格@")), "1950");
  // Empty handover date: the column's default text.
  EXPECT_EQ(Column(layout, line, SJIS("%引渡時期%")), SJIS("相談"));
}

TEST(SettingFilesTest, KeyListEntriesNeverMatchEverything) {
  // An empty alternative ("a||b", a trailing "|") occurs in every line and switches the
  // filter off; a full-width "＃" is not a comment and would become an entry.
  for (const char* name : {"Setting/UserFindKeyList1.txt", "Setting/UserFindKeyList2.txt",
                           "Setting/UserFindKeyList3.txt"}) {
    TextList lines;
    lines.LoadLinesFromText(Shipped(name));
    int entries = 0;
    for (int i = 0; i < lines.Count(); ++i) {
      std::string_view line = lines.View(i);
      if (line.empty() || line[0] == '#') continue;
      ++entries;
      EXPECT_NE(line.rfind(SJIS("＃"), 0), 0u) << name << " line " << i;
      EXPECT_NE(line, SJIS("すべて")) << name;
      TextList alternatives(line, "|");
      for (int a = 0; a < alternatives.Count(); ++a) {
        EXPECT_FALSE(alternatives.View(a).empty()) << name << " line " << i;
      }
    }
    EXPECT_GE(entries, 3) << name;
  }
}

TEST(SettingFilesTest, CodeTableListsEveryCodeOnceWithWardsNamedByTheirCity) {
  TextList lines;
  lines.LoadLinesFromText(Shipped("Setting/zip_code.txt"));
  EXPECT_GT(lines.Count(), 1900);
  std::set<std::string> codes;
  std::string previous;
  int osakaWards = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    TextList f(lines.View(i), "\t");
    ASSERT_EQ(f.Count(), 4) << i;
    std::string code(f.View(0));
    ASSERT_EQ(code.size(), 5u) << i;
    EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << i;
    EXPECT_TRUE(codes.insert(code).second) << code << " twice";
    EXPECT_LT(previous, code) << "table order at line " << i;
    previous = code;
    EXPECT_FALSE(f.View(2).empty() || f.View(3).empty()) << code;
    if (code > "27100" && code < "27130") {  // the wards of Osaka city; Sakai's follow at 27140
      ++osakaWards;
      EXPECT_EQ(f.View(2).rfind(SJIS("大阪市"), 0), 0u) << code;
      EXPECT_EQ(f.View(3).rfind(SJIS("おおさかし"), 0), 0u) << code;
    }
    if (code == "27128") {
      EXPECT_EQ(f.View(1), SJIS("大阪府"));
      EXPECT_EQ(f.View(2), SJIS("大阪市中央区"));
      EXPECT_EQ(f.View(3), SJIS("おおさかしちゅうおうく"));
    }
  }
  EXPECT_EQ(osakaWards, 24);
  EXPECT_TRUE(codes.count("13101")) << "the special wards of Tokyo are municipalities";
  // Hamamatsu's seven wards became three in 2024; the old codes are no longer searchable.
  EXPECT_TRUE(codes.count("22138") && codes.count("22139") && codes.count("22137"));
  EXPECT_FALSE(codes.count("22131"));
}

}  // namespace
}  // namespace kestrova
