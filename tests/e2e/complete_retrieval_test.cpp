// kestrova --headless search against a dense kestrova-sim: every listing of the range is
// fetched once, or the run says what it lost and keeps the last fetched date.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

struct Listing {
  std::string number;
  bool floorPlan = false;
};

// The sim's own listing of a range ("kestrova-sim --list"), with the data options given.
std::vector<Listing> SimTruth(const std::vector<std::string>& simOptions,
                              const std::string& range) {
  std::string command = SimBinary();
  for (const std::string& o : simOptions) command += " " + o;
  command += " --list " + range;
  std::vector<Listing> listings;
  std::FILE* out = ::popen(command.c_str(), "r");
  if (out == nullptr) return listings;
  char line[128];
  while (std::fgets(line, sizeof line, out)) {
    std::string text(line);
    std::size_t tab = text.find('\t');
    listings.push_back({text.substr(0, tab), text.substr(text.rfind('\t') + 1, 1) == "1"});
  }
  ::pclose(out);
  return listings;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class CompleteRetrievalTest : public ::testing::Test {
 protected:
  // Listings of 27128 and 27111 from 2011/05/01 to endDate, sale only unless rent is set;
  // extra lines join [設定2].
  void Start(const std::vector<std::string>& simOptions, const std::string& endDate,
             const std::string& extraSettings = "", bool downloads = true, bool rent = false) {
    ASSERT_TRUE(sim.Start(simOptions));
    std::string ini = SettingsFor(sim);
    auto replace = [&ini](const std::string& from, const std::string& to) {
      ini.replace(ini.find(from), from.size(), to);
    };
    replace("終了日付=2011/05/02", "終了日付=" + endDate);
    if (!rent) replace("賃貸=1", "賃貸=0");
    if (!downloads) {
      replace("PDF取得=1", "PDF取得=0");
      replace("詳細情報取得=1", "詳細情報取得=0");
    }
    WriteSettings(home.native(), ini + extraSettings);
  }
  ProgramRun Search() {
    return RunKestrova({"--home", home.native(), "--login-id", "demo", "--headless", "search"});
  }
  std::string At(const std::string& relative) const { return home.native() + "/" + relative; }
  // The property numbers of the store, one per record.
  std::vector<std::string> StoredNumbers() const {
    std::vector<std::string> numbers;
    std::string text = ReadNative(At("dat/TotalData.txt"));
    for (std::size_t at = 0; at < text.size();) {
      std::size_t end = text.find("\r\n", at);
      std::string line = text.substr(at, end - at);
      std::size_t f1 = line.find('\t'), f2 = line.find('\t', f1 + 1);
      numbers.push_back(line.substr(f2 + 1, line.find('\t', f2 + 1) - f2 - 1));
      at = end == std::string::npos ? text.size() : end + 2;
    }
    return numbers;
  }

  TempFolder home;
  SimProcess sim;
};

TEST_F(CompleteRetrievalTest, DenseFortnightStoresEveryListingOfTheRangeOnce) {
  const std::vector<std::string> dense = {"--hits-per-day", "40"};
  Start(dense, "2011/05/14");
  const std::vector<Listing> truth = SimTruth(dense, "2011/05/01-2011/05/14:27128,27111:sale");
  ASSERT_GT(truth.size(), 300u);  // three sale searches of two weeks: each cut at 100
  ProgramRun run = Search();
  ASSERT_EQ(run.status, 0) << run.console;

  std::vector<std::string> stored = StoredNumbers();
  std::set<std::string> expected;
  std::size_t plans = 0;
  for (const Listing& l : truth) {
    expected.insert(l.number);
    plans += l.floorPlan;
  }
  EXPECT_EQ(stored.size(), truth.size());
  EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()), expected);
  // Each detail page and floor plan was asked for once: no row came twice.
  EXPECT_EQ(Count(run.console, "★HTML取得中★"), truth.size());
  EXPECT_EQ(Count(run.console, "★PDF取得中★"), plans);
  EXPECT_EQ(FilesBelow(At("pdf"), ".pdf").size(), plans);
  EXPECT_FALSE(std::filesystem::exists(At("Err/ErrLog.txt"))) << ReadNative(At("Err/ErrLog.txt"));
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/05/14");
  const std::size_t forms = FilesBelow(At("Log"), ".html").size();
  EXPECT_GT(forms, 3u);
  EXPECT_EQ(SettingOf(home.native(), "検索回数"), std::to_string(forms));
  EXPECT_NE(run.console.find("100件で打ち切られた検索を分割し、検索を " +
                             std::to_string(forms - 3) + " 回追加しました"),
            std::string::npos)
      << run.console;
}

TEST_F(CompleteRetrievalTest, SplittingOffLosesListingsLogsThemAndKeepsTheDate) {
  const std::vector<std::string> dense = {"--hits-per-day", "40"};
  Start(dense, "2011/05/14", "取りこぼし時に分割=0\n", false);
  ProgramRun run = Search();
  // Everything fetched was saved, but listings were lost: a script sees 4, not 0.
  ASSERT_EQ(run.status, 4) << run.console;
  EXPECT_EQ(FilesBelow(At("Log"), ".html").size(), 3u);
  EXPECT_EQ(StoredNumbers().size(), 300u);
  EXPECT_EQ(Count(ReadNative(At("Err/ErrLog.txt")), "20001"), 3u);
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/04/30");
  EXPECT_NE(run.console.find("3 件の検索結果が100件で打ち切られたため"), std::string::npos)
      << run.console;
}

TEST_F(CompleteRetrievalTest, ExpiredSessionStopsTheFormsAndKeepsWhatWasFetched) {
  Start({"--expire-after", "2"}, "2011/05/07", "", false, true);
  ProgramRun run = Search();
  EXPECT_EQ(run.status, 0) << run.console;
  // Two forms answered, the third sent back to the login form, none of the other three.
  EXPECT_EQ(FilesBelow(At("Log"), ".html").size(), 2u);
  EXPECT_NE(run.console.find("検索 3/6 "), std::string::npos) << run.console;
  EXPECT_EQ(run.console.find("検索 4/6 "), std::string::npos) << run.console;
  EXPECT_EQ(SettingOf(home.native(), "検索回数"), "3");
  const std::string errors = ReadNative(At("Err/ErrLog.txt"));
  EXPECT_NE(errors.find("10005"), std::string::npos) << errors;
  EXPECT_NE(platform::Cp932ToUtf8(errors).find(
                "検索がログイン画面に戻されました (27128,27111,)1売  /1売物件/2戸建/"),
            std::string::npos)
      << platform::Cp932ToUtf8(errors);
  EXPECT_GT(StoredNumbers().size(), 0u);
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/04/30");
  EXPECT_NE(run.console.find("検索がログイン画面に戻されたため"), std::string::npos) << run.console;
}

}  // namespace
}  // namespace kestrova::test
