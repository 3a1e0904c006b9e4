#include "foundation/settings_store.h"

#include <gtest/gtest.h>

#include <random>

#include "foundation/environment.h"
#include "foundation/sjis.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

TEST(SettingsStoreTest, KeysIgnoreCaseOfAsciiAndFullWidthLetters) {
  SettingsStore s;
  s.Set("//ini/X/y", "1");
  EXPECT_STREQ(s.GetText("//ini/x/Y"), "1");
  s.Set(Sjis("//ini/設定/Ａ"), "2");
  EXPECT_STREQ(s.GetText(Sjis("//ini/設定/ａ")), "2");
  EXPECT_EQ(s.Count(), 2);
  s.Set("//INI/X/Y", "3");
  EXPECT_EQ(s.Count(), 2);
  // The key keeps the case it was first stored in.
  EXPECT_EQ(s.IndexOf("//ini/x/y"), s.IndexOf("//INI/X/Y"));
  EXPECT_STREQ(s.KeyTextAt(s.IndexOf("//ini/x/y")), "//ini/X/y");
}

TEST(SettingsStoreTest, AbsentAndEmptyKeys) {
  SettingsStore s;
  EXPECT_STREQ(s.GetText("nothing"), "");
  EXPECT_EQ(s.GetInt("nothing"), 0);
  EXPECT_EQ(s.IndexOf(""), -1);
  s.Set("", "x");
  EXPECT_EQ(s.Count(), 0);
}

TEST(SettingsStoreTest, ValuesGrowInPlaceOrAreReplaced) {
  SettingsStore s;
  s.Set("k", "abcd");
  int index = s.IndexOf("k");
  const char* slot = s.GetText("k");
  s.Set("k", "123456789");  // fits the 10-byte reserve
  EXPECT_EQ(s.GetText("k"), slot);
  EXPECT_STREQ(s.GetText("k"), "123456789");
  s.Set("k", "123456789012");
  EXPECT_STREQ(s.GetText("k"), "123456789012");
  EXPECT_EQ(s.IndexOf("k"), index);
  EXPECT_EQ(s.Count(), 1);
  s.Set("k", "short");
  EXPECT_STREQ(s.GetText("k"), "short");
}

TEST(SettingsStoreTest, NumbersAndIds) {
  SettingsStore s;
  s.SetInt("n", -12345);
  EXPECT_EQ(s.GetInt("n"), -12345);
  s.Set("m", "12abc");
  EXPECT_EQ(s.GetInt("m"), 12);
  s.SetId(kEnvProgramFolder, "C:\\prog");
  EXPECT_STREQ(s.GetText("//_enum_/900008"), "C:\\prog");
  EXPECT_STREQ(s.GetId(kEnvProgramFolder), "C:\\prog");
}

TEST(SettingsStoreTest, KeepsKeysSortedWhateverTheOrderOfSetting) {
  SettingsStore s;
  std::mt19937 rng(11);
  for (int i = 0; i < 2000; ++i) s.Set("key" + std::to_string(rng() % 1000), std::to_string(i));
  for (int i = 1; i < s.Count(); ++i)
    EXPECT_LT(std::string(s.FoldedKeyAt(i - 1)), std::string(s.FoldedKeyAt(i)));
}

TEST(SettingsStoreTest, PairFilesRoundTrip) {
  test::TempFolder dir;
  test::WriteNative(dir.native() + "/pairs.dat",
                    "b<===>2\r\nA<===>1\r\nno separator\r\na<===>one<===>more\r\n");
  SettingsStore s;
  s.LoadPairs(dir.Path("pairs.dat"), "<===>");
  EXPECT_EQ(s.Count(), 2);
  EXPECT_STREQ(s.GetText("a"), "one<===>more");  // the later line wins
  ASSERT_TRUE(s.SavePairs(dir.Path("out.dat"), "<===>"));
  EXPECT_EQ(test::ReadNative(dir.native() + "/out.dat"), "A<===>one<===>more\r\nb<===>2\r\n");
  SettingsStore again;
  again.Set("c", "3");
  again.LoadPairs(dir.Path("out.dat"), "<===>");
  EXPECT_EQ(again.Count(), 3);
  EXPECT_STREQ(again.GetText("B"), "2");
  again.LoadPairs(dir.Path("missing.dat"), "<===>");
  EXPECT_EQ(again.Count(), 3);
}

TEST(SettingsStoreTest, PairsAfterANulAreKept) {
  test::TempFolder dir;
  test::WriteNative(dir.native() + "/pairs.dat",
                    std::string("a<===>1\r\nb<===>t\0o\r\n\0\0\0\r\nc<===>3\r\n", 34));
  SettingsStore s;
  s.LoadPairs(dir.Path("pairs.dat"), "<===>");
  EXPECT_EQ(s.Count(), 3);
  EXPECT_STREQ(s.GetText("b"), "t o");
  EXPECT_STREQ(s.GetText("c"), "3");
}

TEST(SettingsStoreTest, BulkLoadEqualsLoadingOneByOne) {
  std::mt19937 rng(5);
  std::string text;
  for (int i = 0; i < 3000; ++i) {
    text += (rng() % 2 ? "Key" : "key") + std::to_string(rng() % 1500) + "<===>v" +
            std::to_string(i) + "\r\n";
  }
  SettingsStore bulk;
  bulk.LoadPairsFromText(text, "<===>");
  SettingsStore single;
  single.Set("zzz", "x");  // a non-empty store takes the one-by-one road
  single.LoadPairsFromText(text, "<===>");
  ASSERT_EQ(bulk.Count() + 1, single.Count());
  for (int i = 0; i < bulk.Count(); ++i) {
    EXPECT_STREQ(bulk.KeyTextAt(i), single.KeyTextAt(i));
    EXPECT_STREQ(bulk.ValueAt(i), single.ValueAt(i));
  }
  // A saved store is in key order: loaded again without sorting, it is the same store.
  SettingsStore again;
  again.LoadPairsFromText(bulk.FormatPairs("<===>"), "<===>");
  EXPECT_EQ(again.FormatPairs("<===>"), bulk.FormatPairs("<===>"));
}

TEST(PlacementTest, SavesAndRestoresWindowRectangles) {
  SettingsStore s;
  SavePlacement({118, 128, 1103, 714}, s, "pos");
  EXPECT_STREQ(s.GetText("pos"), "118,128,1103,714");
  WindowRect r;
  ASSERT_TRUE(RestorePlacement(s, "pos", r));
  EXPECT_EQ(r.width, 1103);
  SavePlacement({-5, 10, 20, 30}, s, "left");
  EXPECT_STREQ(s.GetText("left"), "-5,10,20,30");
  EXPECT_FALSE(RestorePlacement(s, "left", r));
  SavePlacement({-10, 10, 20, 30}, s, "far");
  EXPECT_STREQ(s.GetText("far"), "");
  SaveColumnWidths({80, 72, 60}, s, "cols");
  EXPECT_STREQ(s.GetText("cols"), "80,72,60");
  EXPECT_EQ(RestoreColumnWidths(s, "cols"), (std::vector<int>{80, 72, 60}));
  s.Set("big", "65537");
  EXPECT_EQ(RestoreColumnWidths(s, "big"), std::vector<int>{1});
  EXPECT_TRUE(RestoreColumnWidths(s, "none").empty());
}

}  // namespace
}  // namespace kestrova
