// Replays every hand-written page, its prefixes and seeded mutations through both parsers and
// checks what must hold whatever the input: records of exactly 30 TAB-terminated fields without
// line ends or NUL bytes, detail values with one TAB per header line. Built with
// KESTROVA_SANITIZE=ON this is the out-of-bounds check. More pages can be replayed by naming a
// folder in KESTROVA_PAGE_CORPUS, more mutations by KESTROVA_PAGE_FUZZ_ROUNDS.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "foundation/system_utils.h"
#include "service/detail_page_parser.h"
#include "service/result_page_parser.h"
#include "store/property_record.h"
#include "tests/service/page_fixture.h"
#include "tests/support/source_paths.h"

namespace kestrova::test {
namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  auto add = [&](const std::filesystem::path& folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
      if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
  };
  add(std::filesystem::path(KESTROVA_TEST_DATA) / "pages");
  if (const char* extra = std::getenv("KESTROVA_PAGE_CORPUS")) add(extra);
  std::sort(files.begin(), files.end());
  return files;
}

// Texts the parsers look for, spliced into pages to reach their rarer paths.
const std::vector<std::string>& Markers() {
  static const std::vector<std::string> markers = {"<td class=\"rlTeB\" rowspan=\"2\" nowrap>",
                                                   "td class=\"rbTeT\"",
                                                   "</tr>",
                                                   "</td>",
                                                   "<td",
                                                   "<***>",
                                                   "<*>",
                                                   "<",
                                                   ">",
                                                   "&nbsp;",
                                                   "/zumen.gif",
                                                   Sjis("100 件目"),
                                                   Sjis("売り・土地</"),
                                                   Sjis("物件番号</td"),
                                                   Sjis("交通１"),
                                                   Sjis("市　"),
                                                   std::string(1, '\0'),
                                                   "\x81",
                                                   "\xfc",
                                                   "\r"};
  return markers;
}

std::string Mutate(const std::string& page, std::mt19937& random) {
  std::string m = page;
  int edits = 1 + static_cast<int>(random() % 8);
  for (int e = 0; e < edits && !m.empty(); ++e) {
    std::size_t at = random() % (m.size() + 1);
    switch (random() % 4) {
      case 0:
        m.insert(at, Markers()[random() % Markers().size()]);
        break;
      case 1:
        m.erase(at, random() % 64);
        break;
      case 2:
        if (at < m.size()) m[at] = static_cast<char>(random() % 256);
        break;
      default:
        m.resize(at);
        break;
    }
  }
  return m;
}

class PageCorpusTest : public PageParserTest {
 protected:
  PageCorpusTest() {
    for (const char* line : {"物件番号", "所在地１", "交通１<>駅より徒歩", "価格", "備考", ""}) {
      state.detailHeader.lines.Add(Sjis(line));
    }
  }

  // One page, taken both as the cp932 text of a converted page and as raw bytes.
  void Replay(const std::string& bytes) {
    for (const std::string& page : {Utf8ToAnsi(bytes), bytes}) {
      TextList rows;
      ParseResultText(state, page, rows, SearchKind::kListings);
      for (int i = 0; i < rows.Count(); ++i) CheckRecord(rows.View(i), i == rows.Count() - 1);
      ParseResultText(state, page, rows, SearchKind::kClosedDeals);
      EXPECT_EQ(rows.Count(), 0);
      DetailValue detail = ExtractDetailValue(state.detailHeader, page);
      EXPECT_EQ(CountTabs(detail.value), state.detailHeader.lines.Count());
      CheckClean(detail.value);
      CheckClean(detail.key);
      ParseDetailText(state, page);
    }
    state.newRows.Clear();
  }

  void CheckRecord(std::string_view line, bool last) {
    ++records;
    if (last) {
      EXPECT_EQ(line, "");
      return;
    }
    ASSERT_EQ(CountTabs(line), kRecordFields) << Utf8(line);
    EXPECT_EQ(line.back(), '\t');
    CheckClean(line);
    std::string_view mark = RecordField(line, kFieldFloorPlan);
    EXPECT_TRUE(mark == SJIS("有") || mark == SJIS("無"));
  }

  static void CheckClean(std::string_view text) {
    EXPECT_EQ(text.find_first_of(std::string_view("\r\n\0", 3)), std::string_view::npos)
        << testing::PrintToString(std::string(text));
  }

  int records = 0;
};

TEST_F(PageCorpusTest, EveryPageAndEveryPrefixKeepsTheRecordShape) {
  std::vector<std::string> files = CorpusFiles();
  ASSERT_GE(files.size(), 7u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    std::string bytes = ReadNative(file);
    ASSERT_FALSE(bytes.empty());
    for (std::size_t n = 0; n <= bytes.size(); n += 13) Replay(bytes.substr(0, n));
    Replay(bytes);
  }
  EXPECT_GT(records, 0);  // the replay reached the record builder
}

TEST_F(PageCorpusTest, SeededMutationsKeepTheRecordShape) {
  std::mt19937 random(1000);
  const char* extraRounds = std::getenv("KESTROVA_PAGE_FUZZ_ROUNDS");  // for longer local runs
  const int rounds = extraRounds ? std::max(1, std::atoi(extraRounds)) : 150;
  for (const std::string& file : CorpusFiles()) {
    SCOPED_TRACE(file);
    std::string bytes = ReadNative(file);
    for (int round = 0; round < rounds; ++round) Replay(Mutate(bytes, random));
  }
  // Deal and detail entries come only from well-formed keys.
  for (int i = 0; i < state.dealStore.Count(); ++i) {
    EXPECT_EQ(CountTabs(state.dealStore.store().ValueAt(i)), 1);
    EXPECT_LE(std::string_view(state.dealStore.store().KeyTextAt(i)).size(), 100u);
  }
  for (int i = 0; i < state.detailStore.Count(); ++i) {
    EXPECT_LE(std::string_view(state.detailStore.store().KeyTextAt(i)).size(), 99u);
  }
}

TEST_F(PageCorpusTest, LongRunOfUnclosedSignsStaysInItsCell) {
  std::string run(50000, '<');
  std::string page =
      "<td class=\"rlTeB\" rowspan=\"2\" nowrap>1</td><td class=\"rbTeT\"></td><td>" + run;
  TextList rows;
  ParseResultText(state, page, rows, SearchKind::kListings);
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(RecordField(rows.View(0), kFieldNumber), run);
}

}  // namespace
}  // namespace kestrova::test
