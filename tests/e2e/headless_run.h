// Runs the built kestrova in a temporary home against a kestrova-sim child: the home's
// settings file, the program's exit status and console output, and the files it wrote.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/platform/platform.h"
#include "tests/sim/sim_process.h"
#include "tests/support/cp932_text.h"
#include "tests/support/temp_folder.h"

namespace kestrova::test {

inline std::string KestrovaBinary() { return std::string(KESTROVA_BINARY_DIR) + "/bin/kestrova"; }

struct ProgramRun {
  int status = -1;
  std::string console;  // stderr, UTF-8 (and stdout, unless kept apart)
  std::string output;   // stdout, when kept apart
};

// Runs kestrova with args; env entries ("NAME=value") are added, KESTROVA_LOGIN_ID removed
// unless given. stdout goes with stderr into console unless apartStdout.
inline ProgramRun RunKestrova(const std::vector<std::string>& args,
                              const std::vector<std::string>& env = {}, bool apartStdout = false) {
  TempFolder scratch;
  const std::string out = scratch.native() + "/stderr.txt";
  const std::string stdoutFile = scratch.native() + "/stdout.txt";
  std::vector<std::string> argv = {KestrovaBinary()};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = ::fork();
  if (pid == 0) {
    ::unsetenv("KESTROVA_LOGIN_ID");
    for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
    int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDERR_FILENO);
    if (apartStdout) fd = ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    std::vector<char*> list;
    for (auto& a : argv) list.push_back(a.data());
    list.push_back(nullptr);
    ::execv(list[0], list.data());
    ::_exit(127);
  }
  ProgramRun run;
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.console = ReadNative(out);
  if (apartStdout) run.output = ReadNative(stdoutFile);
  return run;
}

// The settings file of a home, written as the program writes it (cp932, CR LF).
inline void WriteSettings(const std::string& home, const std::string& utf8Ini) {
  WriteNative(home + "/kestrova.ini", Cp932Lines(utf8Ini));
}

// A settings file for a run against the sim: dates, codes, both sale and rent, downloads,
// terms agreed, no wait between requests, a retention long enough that the close's tidy
// keeps the fetched records in the store.
inline std::string SettingsFor(const SimProcess& sim, const std::string& password = "demo-pass",
                               const std::string& lastDate = "2011/04/30") {
  return "[設定]\n開始日付=2011/05/01\n終了日付=2011/05/02\n最終日付=" + lastDate +
         "\n成約開始日=2011/05/01\n市町村コード=27128,27111\nログインパス=" + password +
         "\n売買=1\n賃貸=1\nPDFDL=1\nPDF取得=1\n詳細情報取得=1\n同意=1\n"
         "[設定2]\n負荷軽減スリープ=0\nデータ保持期間=240\n接続先URL=" +
         sim.url() + "\nCA証明書=" + sim.caFile() + "\n";
}

// The value of a key in the home's settings file (UTF-8), or empty.
inline std::string SettingOf(const std::string& home, const std::string& key) {
  std::string text = platform::Cp932ToUtf8(ReadNative(home + "/kestrova.ini"));
  std::string mark = "\n" + key + "=";
  std::size_t at = text.find(mark);
  if (at == std::string::npos) return "";
  at += mark.size();
  return text.substr(at, text.find_first_of("\r\n", at) - at);
}

inline std::vector<std::string> FilesBelow(const std::string& folder,
                                           const std::string& suffix = "") {
  std::vector<std::string> files;
  std::error_code ec;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
    if (!e.is_regular_file()) continue;
    std::string name = e.path().string();
    if (suffix.empty() || (name.size() >= suffix.size() &&
                           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)) {
      files.push_back(name);
    }
  }
  return files;
}

}  // namespace kestrova::test
