#include "foundation/files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif  // _WIN32

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "tests/support/failing_writes.h"
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
  test::WriteNative(dir.native() + "/pdf/11/" +
                        "\xE5\xA4\xA7\xE9\x98\xAA\xE5\xB8\x82\xE4\xB8\xAD\xE5\xA4\xAE\xE5\x8C\xBA" +
                        "/b.HTML",
                    "x");
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
#ifndef _WIN32  // Windows files have no permission bits
  struct stat st;
  ASSERT_EQ(stat((dir.native() + "/data.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif  // _WIN32
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

TEST(FileLayerTest, InjectedFullDiskFailsTheWritesOfItsPathsOnly) {
  test::TempFolder dir;
  const std::string kept = dir.Path("kept.txt");
  ASSERT_TRUE(WriteFileAtomic(kept, "old"));
  {
    test::FailingWrites full({"kept", "\\sub"});
    EXPECT_FALSE(WriteFileAtomic(kept, "new") || AppendToFile(kept, "+") ||
                 MakeFolder(dir.Path("sub")) || CopyFileTo(dir.Path("x"), dir.Path("kept2")));
    EXPECT_TRUE(WriteFileAtomic(dir.Path("other.txt"), "x"));
  }
  EXPECT_EQ(test::ReadNative(dir.native() + "/kept.txt"), "old");
  EXPECT_TRUE(MakeFolder(dir.Path("sub")));
}

TEST(FileLayerTest, SafeNamesStayInsideTheirFolder) {
  EXPECT_TRUE(IsSafeFileName("100012345678"));
  EXPECT_TRUE(IsSafeFileName(Sjis("大阪市中央区")));
  EXPECT_TRUE(IsSafeFileName(Sjis("ソ")));  // trail byte 0x5C is not a separator
  for (const char* bad :
       {"", ".", "..", "a/b", "a\\b", "c:", "x*", "?", "\"", "<", ">", "|", "a\tb", "\x7f"}) {
    EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  }
  EXPECT_TRUE(IsSafeFileName("..."));
  // A lead byte does not hide what follows it unless that is a real trail byte.
  EXPECT_FALSE(IsSafeFileName("\x81/.."));
  EXPECT_FALSE(IsSafeFileName(std::string("\x81\0", 2)));
  EXPECT_FALSE(IsSafeFileName("\x81\n"));
  EXPECT_TRUE(IsSafeFileName("\x81\x7C"));  // a double-byte character ending in 0x7C
  EXPECT_TRUE(IsSafeFileName("ab\x81"));    // a cut character is no separator
}

TEST(ListFilesTest, ALinkBackToAnOuterFolderIsNotWalkedAgain) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows; the walk skips reparse points";
#else
  test::TempFolder dir;
  ASSERT_TRUE(MakeFolder(dir.Path("tree\\sub")));
  test::WriteNative(dir.native() + "/tree/sub/a.html", "x");
  ASSERT_EQ(symlink("..", (dir.native() + "/tree/sub/up").c_str()), 0);
  ASSERT_EQ(symlink("sub/a.html", (dir.native() + "/tree/link.html").c_str()), 0);
  TextList list;
  ListFiles(dir.Path("tree"), ".html", list);
  std::vector<std::string> found = list.ToVector();
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found,
            (std::vector<std::string>{dir.Path("tree\\link.html"), dir.Path("tree\\sub\\a.html")}));
#endif  // _WIN32
}

TEST(FileLayerTest, ExistenceTestsMatchWildcardsInTheName) {
  test::TempFolder dir;
  test::WriteNative(dir.native() + "/100012345678.pdf", "x");
  test::WriteNative(dir.native() + "/README", "x");
  EXPECT_EQ(FileExists(dir.Path("*.pdf")), 1);
  EXPECT_EQ(FileExists(dir.Path("1000?2345678.*")), 1);
  EXPECT_EQ(FileExists(dir.Path("*.html")), 0);
  EXPECT_EQ(FileExists(dir.Path("100012345678.pd?x")), 0);
  EXPECT_EQ(FileExists(dir.Path("README*")), 1);
  EXPECT_EQ(FileExists(dir.Path("*E*D*")), 1);
  EXPECT_EQ(FileExists(dir.Path("none\\*")), 0);
  EXPECT_EQ(FileExists(""), 0);
}

TEST(FileLayerTest, NewFilesTakeTheirModeThroughTheUmask) {
#ifdef _WIN32
  GTEST_SKIP() << "no permission bits on Windows";
#else
  test::TempFolder dir;
  mode_t old = umask(027);
  bool written = WriteFileAtomic(dir.Path("n.txt"), "x", 0666);
  umask(old);
  ASSERT_TRUE(written);
  struct stat st;
  ASSERT_EQ(stat((dir.native() + "/n.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif  // _WIN32
}

TEST(FileLayerTest, ReplacingLeavesNoTemporaryFileBehind) {
  test::TempFolder dir;
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(WriteFileAtomic(dir.Path("d.txt"), std::string(i * 1000, 'z')));
  TextList all;
  ListFiles(dir.path(), "", all);
  EXPECT_EQ(all.ToVector(), std::vector<std::string>{dir.Path("d.txt")});
  EXPECT_FALSE(WriteFileAtomic(dir.path(), "a folder is not replaced"));
  EXPECT_TRUE(IsFolder(dir.path()));
}

TEST(FileLayerTest, ReadsWholeFilesOfAnySize) {
  test::TempFolder dir;
  for (std::size_t size : {0u, 1u, 65535u, 65536u, 300001u}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 13);
    test::WriteNative(dir.native() + "/r.bin", bytes);
    std::string read;
    ASSERT_TRUE(ReadWholeFile(dir.Path("r.bin"), read));
    EXPECT_EQ(read, bytes) << size;
  }
  std::string none;
  EXPECT_FALSE(ReadWholeFile(dir.path(), none));  // a folder is not a file
}

TEST(FileLayerTest, TimesAreSetAndReadBack) {
  test::TempFolder dir;
  ASSERT_TRUE(WriteFileAtomic(dir.Path("t.txt"), "x"));
  FileTimes times;
  times.lastWrite = 1300000000LL * 1000000000LL + 5;
  times.lastAccess = 1300000100LL * 1000000000LL;
  ASSERT_TRUE(SetFileTimes(dir.Path("t.txt"), times));
  FileTimes back = GetFileTimes(dir.Path("t.txt"));
#ifdef _WIN32
  times.lastWrite -= 5;  // Windows keeps file times in steps of 100 ns
#endif                   // _WIN32
  EXPECT_EQ(back.lastWrite, times.lastWrite);
  EXPECT_EQ(back.lastAccess, times.lastAccess);
  EXPECT_NE(back.creation, 0);
  FileTimes read;
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(dir.Path("t.txt"), bytes, &read));
  EXPECT_EQ(read.lastWrite, times.lastWrite);
  // An unknown (0) time leaves that time alone rather than moving it to 1970.
  FileTimes onlyAccess;
  onlyAccess.lastAccess = 1300000200LL * 1000000000LL;
  ASSERT_TRUE(SetFileTimes(dir.Path("t.txt"), onlyAccess));
  EXPECT_EQ(GetFileTimes(dir.Path("t.txt")).lastWrite, times.lastWrite);
  EXPECT_EQ(GetFileTimes(dir.Path("none")).lastWrite, 0);
}

TEST(FileLayerTest, CopyKeepsModeAndModificationTime) {
  test::TempFolder dir;
  ASSERT_TRUE(WriteFileAtomic(dir.Path("src.pdf"), "%PDF", 0600));
  FileTimes times;
  times.lastWrite = 1300000000LL * 1000000000LL;
  ASSERT_TRUE(SetFileTimes(dir.Path("src.pdf"), times));
  ASSERT_TRUE(CopyFileTo(dir.Path("src.pdf"), dir.Path(Sjis("写し.pdf"))));
  EXPECT_EQ(test::ReadNative(dir.native() + "/写し.pdf"), "%PDF");
  EXPECT_EQ(GetFileTimes(dir.Path(Sjis("写し.pdf"))).lastWrite, times.lastWrite);
#ifndef _WIN32  // Windows files have no permission bits
  struct stat st;
  ASSERT_EQ(stat((dir.native() + "/写し.pdf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif  // _WIN32
  EXPECT_FALSE(CopyFileTo(dir.Path("none"), dir.Path("x")));
  EXPECT_EQ(FileExists(dir.Path("x")), 0);
}

TEST(FileLayerTest, MakeFolderCreatesParentsAndRefusesAFileInTheWay) {
  test::TempFolder dir;
  EXPECT_TRUE(MakeFolder(dir.Path(Sjis("a\\ソ\\c\\"))));
  EXPECT_TRUE(IsFolder(dir.Path(Sjis("a\\ソ\\c"))));
  EXPECT_TRUE(MakeFolder(dir.Path("a")));  // an existing folder is fine
  test::WriteNative(dir.native() + "/file", "x");
  EXPECT_FALSE(MakeFolder(dir.Path("file\\sub")));
  EXPECT_FALSE(MakeFolder(""));
}

// Folders named with characters whose trail byte is 0x5C, deeper than the old 260-character
// limit of Windows paths: made, written, read, walked and removed by their cp932 names.
TEST(FileLayerTest, DeepPathsOfTrailByte5CNamesWork) {
  test::TempFolder dir;
  std::string folder = dir.path();
  for (int level = 0; level < 30; ++level) folder += Sjis("\\表示ソフト") + std::to_string(level);
  ASSERT_GT(folder.size(), 300u);
  ASSERT_TRUE(MakeFolder(folder));
  const std::string file = folder + Sjis("\\ソ.txt");
  ASSERT_TRUE(WriteFileAtomic(file, "x"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(file, bytes));
  EXPECT_EQ(bytes, "x");
  TextList found;
  ListFiles(dir.path(), ".txt", found);
  EXPECT_EQ(found.ToVector(), std::vector<std::string>{file});
  EXPECT_TRUE(RemoveFile(file));
  EXPECT_EQ(FileExists(file), 0);
}

// The chunked walk reads a file in 256 KB pieces: every line, wherever a piece ends (inside a
// CR LF, right after a CR, inside a line longer than a piece), is the line LoadLines gives.
TEST(ForEachLineOfFileTest, GivesTheLinesOfLoadLinesAcrossPieceBoundaries) {
  constexpr std::size_t kPiece = 256 << 10;
  std::string text;
  std::mt19937 rng(3);
  const char* ends[] = {"\r\n", "\r", "\n", "\r\n\r\n"};
  while (text.size() < kPiece - 1) {
    text += "line " + std::to_string(rng() % 100000) + std::string(rng() % 300, 'x');
    text += ends[rng() % 4];
  }
  text.resize(kPiece - 1);
  text += "\r\n";  // a CR LF across the first boundary
  // A line longer than two pieces ended by a lone CR, then a lone CR as the last byte of a piece.
  text += std::string(4 * kPiece - 3, 'y') + "\r";
  ASSERT_EQ(text.size(), 5 * kPiece - 1);
  text += "\rz";
  text += std::string("a\0b", 3) + "\r\nlast";  // a NUL reads as a space; no final line end
  test::TempFolder dir;
  test::WriteNative(dir.native() + "/lines.txt", text);

  TextList loaded;
  loaded.LoadLines(dir.Path("lines.txt"));
  std::vector<std::string> walked;
  ASSERT_TRUE(ForEachLineOfFile(dir.Path("lines.txt"), [&](std::string_view line) {
    walked.emplace_back(line);
    return true;
  }));
  ASSERT_EQ(walked.size(), static_cast<std::size_t>(loaded.Count()));
  for (int i = 0; i < loaded.Count(); ++i) ASSERT_EQ(walked[i], loaded.View(i)) << "line " << i;
  EXPECT_EQ(walked.back(), "last");
  EXPECT_EQ(walked[walked.size() - 2], "za b");

  // Stopped by its visitor; a missing file has no lines.
  int seen = 0;
  EXPECT_TRUE(
      ForEachLineOfFile(dir.Path("lines.txt"), [&](std::string_view) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3);
  EXPECT_TRUE(ForEachLineOfFile(dir.Path("missing.txt"), [&](std::string_view) { return false; }));
}

// A file written in pieces: small ones gathered, one larger than the buffer written through, a
// whole file copied in; the target keeps its old bytes until the commit, and a writer given up
// (or failed) leaves the old file and no temporary file behind.
TEST(AtomicFileWriterTest, PiecesReplaceTheFileOnlyOnCommit) {
  test::TempFolder dir;
  test::WriteNative(dir.native() + "/out.txt", "old");
  test::WriteNative(dir.native() + "/part.txt", "copied\n");
  const std::string big(3 << 20, 'b');
  {
    AtomicFileWriter writer(dir.Path("out.txt"));
    EXPECT_TRUE(writer.Write("a"));
    EXPECT_TRUE(writer.Write(big));
    EXPECT_TRUE(writer.WriteFileFrom(dir.Path("part.txt")));
    EXPECT_TRUE(writer.Write("z"));
    std::string now;
    ASSERT_TRUE(ReadWholeFile(dir.Path("out.txt"), now));
    EXPECT_EQ(now, "old");
    ASSERT_TRUE(writer.Commit());
  }
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(dir.Path("out.txt"), bytes));
  EXPECT_EQ(bytes, "a" + big + "copied\nz");

  { AtomicFileWriter(dir.Path("out.txt")).Write("given up"); }
  {
    test::FailingWrites failing({"out.txt"});
    AtomicFileWriter writer(dir.Path("out.txt"));
    EXPECT_FALSE(writer.Write("x"));
    EXPECT_FALSE(writer.Commit());
  }
  {
    AtomicFileWriter writer(dir.Path("out.txt"));
    EXPECT_FALSE(writer.WriteFileFrom(dir.Path("missing.txt")));
    EXPECT_FALSE(writer.Commit());
  }
  ASSERT_TRUE(ReadWholeFile(dir.Path("out.txt"), bytes));
  EXPECT_EQ(bytes.size(), 1 + big.size() + 8);
  TextList files;
  ListFiles(dir.Path(""), "", files);
  EXPECT_EQ(files.Count(), 2);  // out.txt and part.txt: no temporary file is left
}

}  // namespace
}  // namespace kestrova
