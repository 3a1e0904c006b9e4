// A program home with the shipped Setting files, a main window on a recording view, a fixed
// clock, a recording desktop and a scripted service, for tests of the online commands.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "service/fake_transport.h"
#include "service/service_requests.h"
#include "store/program_state.h"
#include "tests/service/recording_desktop.h"
#include "tests/support/temp_folder.h"
#include "ui/main_window.h"

namespace kestrova::test {

// Records what the window showed (UTF-8) and its titles; the "controls" are the fields.
class RecordingView final : public MainWindowView {
 public:
  void ReadFields(MainFields&) override {}
  void ShowFields(const MainFields& fields) override {
    if (statuses.empty() || statuses.back() != Utf8(fields.statusLine))
      statuses.push_back(Utf8(fields.statusLine));
    if (logs.empty() || logs.back() != Utf8(fields.logBox)) logs.push_back(Utf8(fields.logBox));
  }
  void SetTitle(std::string_view title) override { titles.push_back(Utf8(title)); }
  void SearchProgress(int done, int total) override { progress.emplace_back(done, total); }
  std::vector<std::string> statuses;
  std::vector<std::string> logs;
  std::vector<std::string> titles;
  std::vector<std::pair<int, int>> progress;
};

// Hands the window a transport that forwards to the test's fake, so its requests stay visible.
class ForwardingTransport final : public Transport {
 public:
  explicit ForwardingTransport(FakeTransport& fake) : fake_(fake) {}
  int Open(std::string_view userAgent) override { return fake_.Open(userAgent); }
  TransportResult Send(const TransportRequest& request) override { return fake_.Send(request); }
  void Close() override { fake_.Close(); }

 private:
  FakeTransport& fake_;
};

inline std::string TestPage(const std::string& name) {
  std::string bytes;
  ReadWholeFile(platform::ProgramPath(std::string(KESTROVA_TEST_DATA) + "/pages/" + name), bytes);
  return bytes;
}

inline TransportResult Answer(int status, std::string body) {
  TransportResult r;
  r.status = status;
  r.body = std::move(body);
  return r;
}

// The page after a good login (UTF-8, as the service sends it).
inline std::string LoginPage(const std::string& fee = "1200") {
  return "<html><body><a href=\"menu\">日報検索</a><table><tr><th>前日までの利用料</th>"
         "<td class=\"fee\">" +
         fee + "円</td></tr></table></body></html>";
}

class OnlineTest : public ::testing::Test {
 protected:
  OnlineTest() : clock("2011/05/08 14:30:00") {
    std::filesystem::copy(std::string(KESTROVA_SOURCE_DIR) + "/Setting", home.native() + "/Setting",
                          std::filesystem::copy_options::recursive);
    state.clock = &clock;
    state.desktop = &desktop;
    window = std::make_unique<MainWindow>(state, view, [this](const SettingsStore&) {
      return std::unique_ptr<Transport>(new ForwardingTransport(fake));
    });
  }

  // Starts the window and fills the fields a search needs.
  void StartReady(const std::string& loginId = "12345678") {
    ASSERT_TRUE(window->StartUp({home.path() + "\\kestrova"}, {loginId, ""}));
    MainFields& f = window->Fields();
    f.agreed = 1;
    f.startDate = "2011/05/01";
    f.endDate = "2011/05/07";
    f.codes = "27128,27111";
    f.password = "secret";
    state.settings.Set(keys::kLoadReductionWait, "0");
  }

  // The service answering everything well: the three-row listing page to every search.
  void ScriptService() {
    fake.SetAnswer(kLoginPath, Answer(200, LoginPage()));
    fake.SetAnswer(kStyleSheetPath, Answer(200, "body{}"));
    fake.SetAnswer(kStyleSheetFipPath, Answer(200, "td{}"));
    fake.SetAnswer(kSearchPath, Answer(200, TestPage("result_listing.html")));
    fake.SetAnswer(kDetailPath, Answer(200, TestPage("detail_mansion.html")));
    fake.SetAnswer(kFloorPlanPath, Answer(200, "%PDF-1.4 plan"));
  }

  int CountPath(const char* path) const {
    int n = 0;
    for (const std::string& p : fake.Paths()) n += p == path;
    return n;
  }
  std::string File(const std::string& relativeUtf8) const {
    return state.PathOf(Sjis(relativeUtf8));
  }
  bool Exists(const std::string& relativeUtf8) const { return FileExists(File(relativeUtf8)) != 0; }

  TempFolder home;
  FixedClock clock;
  RecordingDesktop desktop;
  ProgramState state;
  RecordingView view;
  FakeTransport fake;
  std::unique_ptr<MainWindow> window;
};

}  // namespace kestrova::test
