// The data files that ship with the program, read as the program reads them.
#include <gtest/gtest.h>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/program_state.h"
#include "store/property_record.h"

namespace kestrova {
namespace {

std::string Shipped(const std::string& name) {
  std::string bytes;
  ReadWholeFile(platform::ProgramPath(KESTROVA_SOURCE_DIR "/Setting/" + name), bytes);
  return bytes;
}

ProgramState ShippedState() {
  ProgramState state;
  BuildEnvironment(state.environment, {platform::ProgramPath(KESTROVA_SOURCE_DIR) + "\\kestrova"});
  LoadLayouts(state);
  LoadDetailFiles(state);
  return state;
}

TEST(SettingFilesTest, EveryFileIsCp932WithCrLf) {
  for (const char* name : {"HeaderInfo.dat", "Syousai_Header.dat", "Output_CSV.txt", "Output_Kanri.txt",
                           "UserFindKeyList1.txt", "UserFindKeyList2.txt", "UserFindKeyList3.txt", "zip_code.txt"}) {
    std::string bytes = Shipped(name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(Utf8(bytes).find("\xEF\xBF\xBD"), std::string::npos) << name << " is not cp932";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " bare LF at " << i;
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
  }
}

TEST(SettingFilesTest, HeaderInfoNamesThirtyFieldsPerType) {
  ProgramState state = ShippedState();
  for (int t = 0; t < 10; ++t) {
    const TextList& names = state.headerLists.lists[t];
    ASSERT_EQ(names.Count(), 31) << "type list " << t;
    EXPECT_EQ(names.View(0), SJIS("図面"));
    EXPECT_EQ(names.View(1), SJIS("物件種別"));
    EXPECT_EQ(names.View(2), SJIS("物件番号"));
    EXPECT_EQ(names.View(18), SJIS("更新年月日"));
    for (const char* n : {"所在地", "最寄駅", "徒歩", "取引態様/報酬形態", "会員名"}) {
      EXPECT_GE(names.Find(0, Sjis(n)), 0) << n << " in list " << t;
    }
  }
  EXPECT_EQ(state.headerLists.lists[0].Find(0, SJIS("所在地")), kFieldLocation);
  EXPECT_GE(state.headerLists.lists[0].Find(0, SJIS("接道状況/方向")), 0);
}

TEST(SettingFilesTest, DetailHeaderHasTheNamesTheProgramUses) {
  ProgramState state = ShippedState();
  for (const char* n : {"物件番号", "所在地１", "所在地２", "所在地３", "その他所在地表示", "交通１<>駅より徒歩",
                        "交通１<>バス停より徒歩", "交通２<>駅より徒歩", "交通２<>バス停より徒歩", "所在階",
                        "土地面積", "建物面積１", "築年月"}) {
    EXPECT_GE(state.detailHeader.IndexOf(Sjis(n)), 0) << n;
  }
}

TEST(SettingFilesTest, KanriLayoutHoldsEverySourceTheLocalSearchUses) {
  ProgramState state = ShippedState();
  for (const char* s : {"更新年月日", "図面", "$駅$", "会員名", "%所在階%", "%土地面積%", "%建物面積１%",
                        "%築年月%", "$徒歩分$", "$所在地$", "物件番号", "物件種別"}) {
    EXPECT_GE(state.kanriLayout.sources.Find(0, Sjis(s)), 0) << s;
  }
  EXPECT_GT(state.csvLayout.Columns(), 15);
  bool s = false, n = false, d = false;
  for (int i = 0; i < state.csvLayout.Columns(); ++i) {
    char c = state.csvLayout.types.View(i)[0];
    s |= c == 'S';
    n |= c == 'N';
    d |= c == 'D';
  }
  EXPECT_TRUE(s && n && d);
}

TEST(SettingFilesTest, ShippedLayoutsWriteARecordOfEveryType) {
  ProgramState state = ShippedState();
  TextList records;
  for (const char* type : {"11売り・土地", "13売り・マンション", "25賃貸・建物一部"}) {
    std::vector<std::string> f(30);
    f[0] = SJIS("有");
    f[1] = Sjis(type);
    f[2] = "100012345678";
    f[3] = Sjis("1,980万円");
    f[5] = Sjis("大阪市中央区本町１丁目　本町タワー12階");
    f[6] = Sjis("御堂筋線本町");
    f[7] = "5/";
    f[18] = "2026/11/30";
    records.Add(JoinRecord(f));
  }
  std::string csv = BuildCsv(state, records, state.csvLayout);
  TextList lines;
  lines.LoadLinesFromText(csv);
  ASSERT_EQ(lines.Count(), 6);
  EXPECT_NE(lines.View(4).find(SJIS("\"売マン\"")), std::string::npos);
  EXPECT_NE(lines.View(4).find(SJIS("\"本町タワー\",12,")), std::string::npos);
  EXPECT_NE(lines.View(3).find(",1980,"), std::string::npos);
}

TEST(SettingFilesTest, CodeTableHasEveryWardOfDesignatedCities) {
  TextList lines;
  lines.LoadLinesFromText(Shipped("zip_code.txt"));
  EXPECT_GT(lines.Count(), 1800);
  bool found = false;
  for (int i = 0; i < lines.Count(); ++i) {
    TextList f(lines.View(i), "\t");
    ASSERT_EQ(f.Count(), 4) << i;
    ASSERT_EQ(f.View(0).size(), 5u) << i;
    if (f.View(0) == "27128") {
      found = true;
      EXPECT_EQ(f.View(1), SJIS("大阪府"));
      EXPECT_EQ(f.View(2), SJIS("大阪市中央区"));
      EXPECT_EQ(f.View(3), SJIS("おおさかしちゅうおうく"));
    }
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace kestrova
