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
#include "tests/support/forwarding_transport.h"
#include "tests/support/recording_main_window_view.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"
#include "ui/main_window.h"

namespace kestrova::test {

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
  ScriptedDesktop desktop;
  ProgramState state;
  RecordingMainWindowView view;
  FakeTransport fake;
  std::unique_ptr<MainWindow> window;
};

}  // namespace kestrova::test
