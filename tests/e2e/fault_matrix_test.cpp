// Every request kind of a run against every fault the stand-in service can inject: the exit
// status, the error lines and their codes, how far the run goes on, that no partial file
// stands as a download, and whether the last fetched date moves.
#include <gtest/gtest.h>

#include <filesystem>

#include "service/service_requests.h"
#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

enum class Kind { kLogin, kStyleSheet, kSearch, kDetail, kPdf };
enum class Fault { k500, k404, k302, kDrop, kStall };

struct Case {
  Kind kind;
  Fault fault;
};

const char* PathOf(Kind kind) {
  switch (kind) {
    case Kind::kLogin:
      return "/reinsip/an0100/an010002_login.do";
    case Kind::kStyleSheet:
      return "/reinsip/css/style.css";
    case Kind::kSearch:
      return "/reinsip/in0100/in010001_search.do";
    case Kind::kDetail:
      return "/reinsip/in0300/in030001_init.do";
    case Kind::kPdf:
      return "/reinsip/in0200/in020001_zumenDownload.do";
  }
  return "";
}

std::vector<std::string> SimFault(const Case& c) {
  const std::string path = PathOf(c.kind);
  switch (c.fault) {
    case Fault::k500:
      return {"--fail", path + "=500"};
    case Fault::k404:
      return {"--fail", path + "=404"};
    case Fault::k302:
      return {"--fail", path + "=302"};
    case Fault::kDrop:
      return {"--drop", path};
    case Fault::kStall:
      return {"--stall", path};
  }
  return {};
}

// The code of the caller's error line for the fault.
int CodeOf(Fault fault) {
  switch (fault) {
    case Fault::k500:
    case Fault::k404:
      return 10004;
    case Fault::k302:
      return 10005;
    default:
      return 10003;
  }
}

std::string Name(const ::testing::TestParamInfo<Case>& info) {
  static const char* const kKinds[] = {"Login", "StyleSheet", "Search", "Detail", "Pdf"};
  static const char* const kFaults[] = {"500", "404", "302", "Drop", "Stall"};
  return std::string(kKinds[static_cast<int>(info.param.kind)]) + "_" +
         kFaults[static_cast<int>(info.param.fault)];
}

class FaultMatrixTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    // Few listings, sale only (three forms), and a one-second receive time-out for the stalls.
    std::vector<std::string> options = SimFault(GetParam());
    options.insert(options.end(), {"--hits-per-day", "3"});
    ASSERT_TRUE(sim.Start(options));
    std::string ini = SettingsFor(sim);
    ini.replace(ini.find("賃貸=1"), 8, "賃貸=0");
    ini.replace(ini.find("27128,27111"), 11, "27128");
    WriteSettings(home.native(), ini + "受信タイムアウト=1\n");
    run = RunKestrova({"--home", home.native(), "--login-id", "demo", "--headless", "search"});
    errors = platform::Cp932ToUtf8(ReadNative(At("Err/ErrLog.txt")));  // UTF-8 for the checks
  }
  std::string At(const std::string& relative) const { return home.native() + "/" + relative; }
  // Error lines whose code field is code and whose text starts with text.
  int LinesWith(int code, const std::string& text) const {
    char field[16];
    std::snprintf(field, sizeof field, "\t%5d\t", code);
    const std::string mark = field + text;
    int n = 0;
    for (std::size_t at = errors.find(mark); at != std::string::npos;
         at = errors.find(mark, at + 1))
      ++n;
    return n;
  }
  std::size_t Records() const {
    std::string text = ReadNative(At("dat/TotalData.txt"));
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }
  std::string LastDate() const { return SettingOf(home.native(), "最終日付"); }

  TempFolder home;
  SimProcess sim;
  ProgramRun run;
  std::string errors;
};

TEST_P(FaultMatrixTest, RunReportsTheFaultAndKeepsOnlyWholeFiles) {
  const Case c = GetParam();
  const int code = CodeOf(c.fault);
  const bool statusError = c.fault == Fault::k500 || c.fault == Fault::k404;
  if (statusError) {
    // The exchange's own line of the status comes first.
    const int status = c.fault == Fault::k500 ? 500 : 404;
    EXPECT_GE(LinesWith(status, "↓ステータスエラー"), 1) << errors;
  }
  // No temporary file of a write survives the run.
  for (const std::string& f : FilesBelow(home.native()))
    EXPECT_EQ(f.find(".tmp"), std::string::npos) << f;

  switch (c.kind) {
    case Kind::kLogin: {
      static const char* const kCauses[] = {"status 500", "status 404", "status 302",
                                            "connection failed", "time-out"};
      EXPECT_EQ(run.status, 1) << run.console;
      EXPECT_EQ(LinesWith(code, std::string("Password Login Error.. ") +
                                    kCauses[static_cast<int>(c.fault)]),
                1)
          << errors;
      EXPECT_NE(run.console.find("ログインエラー："), std::string::npos) << run.console;
      EXPECT_EQ(run.console.find("前日までの利用料"), std::string::npos) << run.console;
      EXPECT_TRUE(FilesBelow(At("Log"), ".html").empty());
      EXPECT_TRUE(FilesBelow(At("pdf")).empty());
      EXPECT_EQ(LastDate(), "2011/04/30");
      break;
    }
    case Kind::kStyleSheet:
      // Nothing of the listings is lost: the searches and downloads go on, the date moves.
      EXPECT_EQ(run.status, 0) << run.console;
      EXPECT_EQ(LinesWith(code, "/reinsip/css/style.css"), 1) << errors;
      EXPECT_FALSE(fs::exists(At("Tmp/style.css")));
      EXPECT_TRUE(fs::exists(At("Tmp/style_fip.css")));
      EXPECT_EQ(FilesBelow(At("Log"), ".html").size(), 3u);
      EXPECT_GT(Records(), 0u);
      EXPECT_EQ(LastDate(), "2011/05/02");
      break;
    case Kind::kSearch:
      EXPECT_EQ(run.status, 0) << run.console;
      if (c.fault == Fault::k302) {
        // The service sent the session back to its login form: one line, no later form, no
        // page kept, and the date stays.
        EXPECT_EQ(LinesWith(code, "検索がログイン画面に戻されました"), 1) << errors;
        EXPECT_TRUE(FilesBelow(At("Log"), ".html").empty());
        EXPECT_EQ(LastDate(), "2011/04/30");
      } else {
        // Each failed form is logged with its body; no page of it is kept; the date stays.
        EXPECT_EQ(LinesWith(code, "sortKey1=6&sortKey2=0&dataSyuruiKubun=1"), 3) << errors;
        EXPECT_TRUE(FilesBelow(At("Log"), ".html").empty());
        EXPECT_EQ(LastDate(), "2011/04/30");
        EXPECT_NE(run.console.find("最終取得日付は更新していません（3/3 件の検索が失敗したため）"),
                  std::string::npos)
            << run.console;
      }
      EXPECT_TRUE(FilesBelow(At("pdf")).empty());
      EXPECT_EQ(Records(), 0u);
      break;
    case Kind::kDetail:
    case Kind::kPdf: {
      // Every property's download of that kind failed and was logged once; none stands as a
      // file; the other kind of download and the records go on.
      const bool detail = c.kind == Kind::kDetail;
      EXPECT_EQ(run.status, 0) << run.console;
      // Each line names the property, the request's path and the cause.
      const int failed = LinesWith(code, "ダウンロードできませんでした: 物件番号 ");
      const std::string path = std::string(" ") + (detail ? kDetailPath : kFloorPlanPath) + " (";
      int named = 0;
      for (std::size_t at = errors.find(path); at != std::string::npos;
           at = errors.find(path, at + 1))
        ++named;
      EXPECT_EQ(named, failed) << errors;
      EXPECT_GT(failed, 0) << errors;
      EXPECT_TRUE(FilesBelow(At("pdf"), detail ? ".html" : ".pdf").empty());
      if (c.fault == Fault::kStall) {
        // A service that holds them all costs two time-outs, then none of that kind is asked.
        EXPECT_EQ(failed, 2) << errors;
        EXPECT_EQ(LinesWith(20004, detail ? "詳細ページの取得が 2 回続けてタイムアウトした"
                                          : "図面PDFの取得が 2 回続けてタイムアウトした"),
                  1)
            << errors;
      } else if (detail) {
        EXPECT_EQ(static_cast<std::size_t>(failed), Records()) << errors;
      }
      if (detail) {
        EXPECT_GT(FilesBelow(At("pdf"), ".pdf").size(), 0u);
      } else {
        EXPECT_EQ(FilesBelow(At("pdf"), ".html").size(), Records());
      }
      EXPECT_GT(Records(), 0u);
      EXPECT_EQ(FilesBelow(At("Log"), ".html").size(), 3u);
      EXPECT_EQ(LastDate(), "2011/05/02");
      break;
    }
  }
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (Kind kind : {Kind::kLogin, Kind::kStyleSheet, Kind::kSearch, Kind::kDetail, Kind::kPdf}) {
    for (Fault fault : {Fault::k500, Fault::k404, Fault::k302, Fault::kDrop, Fault::kStall})
      cases.push_back({kind, fault});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryRequestKind, FaultMatrixTest, ::testing::ValuesIn(AllCases()), Name);

}  // namespace
}  // namespace kestrova::test
