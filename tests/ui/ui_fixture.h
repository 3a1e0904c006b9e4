// A program home with the shipped Setting files, a fixed clock, a recording desktop and a
// scripted service, and one program run (state, recording view, main window) over it that a
// test can end and start again, as the user closes and restarts the program.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/dates.h"
#include "foundation/environment.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "service/fake_transport.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/forwarding_transport.h"
#include "tests/support/recording_main_window_view.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"
#include "ui/headless.h"
#include "ui/main_window.h"

namespace kestrova::test {

// One start of the program: its own process-wide objects and its main window.
struct ProgramRun {
  ProgramRun(const Clock& clock, Desktop& desktop, TransportFactory transports)
      : window(state, view, std::move(transports)) {
    state.clock = &clock;
    state.desktop = &desktop;
  }
  ProgramState state;
  RecordingMainWindowView view;
  MainWindow window;
};

class UiTest : public ::testing::Test {
 protected:
  UiTest() : clock("2011/05/08 14:30:00") {
    std::filesystem::copy(std::string(KESTROVA_SOURCE_DIR) + "/Setting", Native("Setting"),
                          std::filesystem::copy_options::recursive);
    run = NewRun();
  }

  TransportFactory Transports() {
    return [this](const SettingsStore&) -> std::unique_ptr<Transport> {
      return std::make_unique<ForwardingTransport>(fake);
    };
  }
  std::unique_ptr<ProgramRun> NewRun() {
    return std::make_unique<ProgramRun>(clock, desktop, Transports());
  }
  std::string ProgramPath() const { return home.path() + "\\kestrova"; }
  bool Start(const LoginIdSources& ids = {}) { return run->window.StartUp({ProgramPath()}, ids); }
  // The program closed and started again over the same home.
  bool Restart(const LoginIdSources& ids = {}) {
    run = NewRun();
    return Start(ids);
  }
  MainFields& Fields() { return run->window.Fields(); }

  // A path under the home, "/"-separated UTF-8.
  std::string Native(const std::string& relative) const { return home.native() + "/" + relative; }
  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(FsPath(Native(relative)));
  }
  // Writes UTF-8 text as the program's cp932 file, LF becoming CR LF.
  void WriteCp932(const std::string& relative, const std::string& utf8) const {
    std::filesystem::create_directories(FsPath(Native(relative)).parent_path());
    WriteNative(Native(relative), Cp932Lines(utf8));
  }
  void WriteIni(const std::string& utf8) const { WriteCp932("kestrova.ini", utf8); }
  std::string IniText() const { return Utf8(ReadNative(Native("kestrova.ini"))); }
  // The value the settings file holds for a "//ini/..." key (UTF-8), read as a new start would.
  std::string IniValue(const std::string& key) const {
    SettingsStore environment;
    BuildEnvironment(environment, {ProgramPath()});
    SettingsStore settings;
    ReadIni(environment.GetId(kEnvIniFile), settings, environment);
    return Utf8(settings.GetView(Sjis(key)));
  }
  std::string Setting(const std::string& key) const {
    return Utf8(run->state.settings.GetView(Sjis(key)));
  }

  // A headless run in a program state of its own; the console output lands in `console`.
  int RunHeadlessCommand(const std::string& command, const LoginIdSources& ids = {"12345678", ""}) {
    std::FILE* out = std::tmpfile();
    if (out == nullptr) {
      ADD_FAILURE() << "no temporary file for the console";
      return -100;
    }
    ProgramState state;
    state.clock = &clock;
    state.desktop = &desktop;
    int status = RunHeadless(state, {command, {ProgramPath()}, ids, {}, out}, Transports(), out);
    std::rewind(out);
    console.clear();
    for (int c; (c = std::fgetc(out)) != EOF;) console += static_cast<char>(c);
    std::fclose(out);
    return status;
  }
  std::vector<std::string> Messages() const { return desktop.Texts(); }

  TempFolder home;
  FixedClock clock;
  ScriptedDesktop desktop;
  FakeTransport fake;
  std::unique_ptr<ProgramRun> run;
  std::string console;
};

}  // namespace kestrova::test
