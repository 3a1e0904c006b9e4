#include "foundation/files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

TEST(SplitPathTest, SplitsDriveFoldersNameAndExtension) {
  PathParts p = SplitPath("C:\\a\\b.txt");
  EXPECT_EQ(p.root, "C:\\");
  EXPECT_EQ(p.folders, "a\\");
  EXPECT_EQ(p.baseName, "b");
  EXPECT_EQ(p.extension, ".txt");
  EXPECT_EQ(p.folderPath, "C:\\a\\");
  EXPECT_EQ(p.pathWithoutExtension, "C:\\a\\b");
  EXPECT_EQ(p.fileName, "b.txt");
}

TEST(SplitPathTest, EdgeShapes) {
  EXPECT_EQ(SplitPath("C:\\data\\pdf\\file.tar.gz").baseName, "file.tar");
  EXPECT_EQ(SplitPath("C:").root, "C:\\");
  EXPECT_EQ(SplitPath("C:").fileName, "");
  EXPECT_EQ(SplitPath("C").root, "C:\\");
  PathParts net = SplitPath("\\\\server\\share\\f.txt");
  EXPECT_EQ(net.root, "\\\\");
  EXPECT_EQ(net.folders, "server\\share\\");
  PathParts folder = SplitPath("C:\\a\\");
  EXPECT_EQ(folder.baseName, "");
  EXPECT_EQ(folder.extension, "");
  PathParts posix = SplitPath("\\home\\agent\\kestrova");
  EXPECT_EQ(posix.root, "\\");
  EXPECT_EQ(posix.folders, "home\\agent\\");
  EXPECT_EQ(posix.fileName, "kestrova");
  // The trail byte of ソ is 0x5C and must not split the name.
  PathParts kana = SplitPath(Sjis("C:\\ソフト\\表.txt"));
  EXPECT_EQ(kana.folders, Sjis("ソフト\\"));
  EXPECT_EQ(kana.fileName, Sjis("表.txt"));
}

TEST(MatchesAnyTest, EmptyPatternsMatchEverything) {
  TextList none;
  EXPECT_EQ(MatchesAny("x", none), 1);
  TextList emptyFirst(";.html", ";");
  EXPECT_EQ(MatchesAny("x.pdf", emptyFirst), 1);
  TextList html(".HTML", ";");
  EXPECT_EQ(MatchesAny("page.html", html), 1);
  EXPECT_EQ(MatchesAny("page.pdf", html), 0);
}

TEST(ListFilesTest, WalksTheTreeAndIgnoresCase) {
  test::TempFolder dir;
  ASSERT_TRUE(MakeFolder(dir.Path(Sjis("pdf\\11\\大阪市中央区"))));
  test::WriteNative(dir.native() + "/pdf/11/a.html", "x");
  test::WriteNative(dir.native() + "/pdf/11/" + "\xE5\xA4\xA7\xE9\x98\xAA\xE5\xB8\x82\xE4\xB8\xAD\xE5\xA4\xAE\xE5\x8C\xBA" + "/b.HTML", "x");
  test::WriteNative(dir.native() + "/pdf/11/c.pdf", "x");
  TextList list;
  ListFiles(dir.Path("pdf"), ".HTML", list);
  std::vector<std::string> found = list.ToVector();
  std::sort(found.begin(), found.end());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], dir.Path("pdf\\11\\a.html"));
  EXPECT_EQ(found[1], dir.Path(Sjis("pdf\\11\\大阪市中央区\\b.HTML")));
  TextList same;
  ListFiles(dir.Path("pdf\\"), "*.html", same);
  std::vector<std::string> again = same.ToVector();
  std::sort(again.begin(), again.end());
  EXPECT_EQ(again, found);
  TextList all;
  ListFiles(dir.Path("pdf"), "*", all);
  EXPECT_EQ(all.Count(), 3);
  TextList one;
  ListFiles(dir.Path("pdf\\11\\c.pdf"), "", one);
  EXPECT_EQ(one.ToVector(), std::vector<std::string>{dir.Path("pdf\\11\\c.pdf")});
  TextList shallow;
  ListFiles(dir.Path("pdf"), "", shallow, kListFilesFiles, 2);
  EXPECT_EQ(shallow.Count(), 2);
  TextList missing;
  ListFiles(dir.Path("nothing"), "", missing);
  EXPECT_EQ(missing.Count(), 0);
}

TEST(FileLayerTest, AtomicWriteReplacesWholeFilesAndKeepsTheirMode) {
  test::TempFolder dir;
  std::string path = dir.Path("data.txt");
  ASSERT_TRUE(WriteFileAtomic(path, "first", 0600));
  ASSERT_TRUE(WriteFileAtomic(path, "second"));
  EXPECT_EQ(test::ReadNative(dir.native() + "/data.txt"), "second");
  EXPECT_EQ(FileSize(path), 6);
  struct stat st;
  ASSERT_EQ(stat((dir.native() + "/data.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // A write that cannot happen leaves the old file as it was.
  EXPECT_FALSE(WriteFileAtomic(dir.Path("no\\folder\\x.txt"), "y"));
  TextList left;
  ListFiles(dir.path(), "", left);
  EXPECT_EQ(left.Count(), 1);
}

TEST(FileLayerTest, AppendCopyRenameRemove) {
  test::TempFolder dir;
  ASSERT_TRUE(AppendToFile(dir.Path("log.txt"), "a\n"));
  ASSERT_TRUE(AppendToFile(dir.Path("log.txt"), "b\n"));
  EXPECT_EQ(test::ReadNative(dir.native() + "/log.txt"), "a\nb\n");
  ASSERT_TRUE(CopyFileTo(dir.Path("log.txt"), dir.Path("copy.txt")));
  ASSERT_TRUE(RenameFile(dir.Path("copy.txt"), dir.Path("moved.txt")));
  EXPECT_EQ(FileExists(dir.Path("copy.txt")), 0);
  EXPECT_EQ(FileExists(dir.Path("moved.txt")), 1);
  EXPECT_TRUE(RemoveFile(dir.Path("moved.txt")));
  EXPECT_FALSE(RemoveFile(dir.Path("moved.txt")));
  EXPECT_EQ(FileExists(dir.path()), 1);
  EXPECT_TRUE(IsFolder(dir.path()));
  EXPECT_TRUE(IsWritableFolder(dir.path()));
  std::string bytes = "stale";
  EXPECT_FALSE(ReadWholeFile(dir.Path("none"), bytes));
  EXPECT_EQ(bytes, "");
}

TEST(FileLayerTest, SafeNamesStayInsideTheirFolder) {
  EXPECT_TRUE(IsSafeFileName("100012345678"));
  EXPECT_TRUE(IsSafeFileName(Sjis("大阪市中央区")));
  EXPECT_TRUE(IsSafeFileName(Sjis("ソ")));  // trail byte 0x5C is not a separator
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "c:", "x*", "?", "\"", "<", ">", "|", "a\tb", "\x7f"}) {
    EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  }
  EXPECT_TRUE(IsSafeFileName("..."));
}

}  // namespace
}  // namespace kestrova
