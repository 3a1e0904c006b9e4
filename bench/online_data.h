// What the online benchmarks run on: a kestrova-sim child on loopback, a transport decorator
// that times every exchange, and throw-away program folders.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "foundation/platform/platform.h"
#include "service/transport.h"

namespace kestrova::bench {

// A folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kestrova-online-XXXXXX").string();
    native_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!native_.empty()) std::filesystem::remove_all(native_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& native() const { return native_; }

 private:
  std::string native_;
};

// kestrova-sim started with --port 0 and its CA written to a scratch folder; killed with the
// object. Its first stdout line is the URL.
class SimChild {
 public:
  explicit SimChild(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {KESTROVA_BINARY_DIR "/bin/kestrova-sim", "--port", "0",
                                     "--ca-out", folder_.native()};
    args.insert(args.end(), extra.begin(), extra.end());
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      // A benchmark that dies takes its sim with it.
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);
      ::dup2(fds[1], STDOUT_FILENO);
      ::close(fds[0]);
      ::close(fds[1]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    out_ = fds[0];
    url_ = ReadLine(10000);
  }
  ~SimChild() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  SimChild(const SimChild&) = delete;
  SimChild& operator=(const SimChild&) = delete;

  bool ok() const { return url_.rfind("https://127.0.0.1:", 0) == 0; }
  const std::string& url() const { return url_; }
  std::string caFile() const { return folder_.native() + "/ca.pem"; }

 private:
  std::string ReadLine(int timeoutMs) {
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out_ >= 0 && std::chrono::steady_clock::now() < deadline) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char c = 0;
      if (::read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return line;
  }

  ScratchFolder folder_;
  pid_t pid_ = -1;
  int out_ = -1;
  std::string url_;
};

// Totals of the exchanges one command made.
struct ExchangeStats {
  int requests = 0;
  int failures = 0;  // results other than 0
  std::int64_t bytes = 0;
  double seconds = 0;  // steady-clock time spent inside Send
};

// Forwards to the real transport and adds the time each Send takes to the stats, so the
// program's own work is the wall time less the exchange time.
class TimingTransport final : public Transport {
 public:
  TimingTransport(std::unique_ptr<Transport> inner, ExchangeStats& stats)
      : inner_(std::move(inner)), stats_(stats) {}
  int Open(std::string_view userAgent) override { return inner_->Open(userAgent); }
  TransportResult Send(const TransportRequest& request) override {
    auto start = std::chrono::steady_clock::now();
    TransportResult result = inner_->Send(request);
    stats_.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++stats_.requests;
    stats_.failures += result.code != 0;
    stats_.bytes += static_cast<std::int64_t>(result.body.size());
    return result;
  }
  void Close() override { inner_->Close(); }

 private:
  std::unique_ptr<Transport> inner_;
  ExchangeStats& stats_;
};

// A program folder with the shipped Setting files and a settings file written as the program
// writes it (cp932, CR LF) from UTF-8 text.
inline void MakeProgramHome(const std::string& native, const std::string& utf8Ini) {
  std::filesystem::copy(KESTROVA_SOURCE_DIR "/Setting", native + "/Setting",
                        std::filesystem::copy_options::recursive);
  std::string text;
  for (char c : utf8Ini) {
    if (c == '\n') text += '\r';
    text += c;
  }
  std::ofstream(native + "/kestrova.ini", std::ios::binary) << platform::Utf8ToCp932(text);
}

// Lines of the files directly in a folder whose names end with the suffix.
inline int CountLinesOfFiles(const std::string& folder, const std::string& suffix) {
  int lines = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines += !line.empty() && line != "\r";
  }
  return lines;
}

inline int CountFilesBelow(const std::string& folder, const std::string& suffix) {
  int n = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    n += e.is_regular_file() && name.size() >= suffix.size() &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  }
  return n;
}

}  // namespace kestrova::bench
