// Starts the built kestrova-sim as a child process for a test, reads the URL it prints, and
// stops it with SIGTERM. Also a small HTTPS client over cpp-httplib that trusts its CA.
#pragma once

#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace kestrova::test {

inline std::string SimBinary() { return std::string(KESTROVA_BINARY_DIR) + "/bin/kestrova-sim"; }

class SimProcess {
 public:
  SimProcess() = default;
  ~SimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Starts the sim with --port 0 --ca-out <temp folder> and the extra arguments; true when it
  // printed its URL within the time limit.
  bool Start(const std::vector<std::string>& extra = {}, int timeoutMs = 10000) {
    std::vector<std::string> args = {SimBinary(), "--port", "0", "--ca-out", folder_.native()};
    args.insert(args.end(), extra.begin(), extra.end());
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    pid_ = ::fork();
    if (pid_ == 0) {
      // A test that dies (an assertion abort, a sanitizer report) takes its sim with it.
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);
      ::dup2(pipeFds[1], STDOUT_FILENO);
      ::close(pipeFds[0]);
      ::close(pipeFds[1]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
    url_ = ReadLine(timeoutMs);
    if (url_.rfind("https://127.0.0.1:", 0) != 0) return false;
    port_ = std::stoi(url_.substr(url_.rfind(':') + 1));
    return true;
  }

  // The signal, then the exit status (-1 when it did not exit normally within the time limit).
  int Stop(int signal = SIGTERM, int timeoutMs = 5000) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      ::usleep(10000);
    }
    return -1;
  }

  const std::string& url() const { return url_; }
  int port() const { return port_; }
  std::string caFile() const { return folder_.native() + "/ca.pem"; }

  // A client for the sim that verifies its certificate against the sim's CA.
  std::unique_ptr<httplib::SSLClient> Client(const std::string& host = "127.0.0.1") const {
    auto client = std::make_unique<httplib::SSLClient>(host, port_);
    client->set_ca_cert_path(caFile().c_str());
    client->enable_server_certificate_verification(true);
    client->set_connection_timeout(5);
    client->set_read_timeout(10);
    return client;
  }

 private:
  std::string ReadLine(int timeoutMs) {
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char c = 0;
      if (::read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return line;
  }

  TempFolder folder_;
  pid_t pid_ = -1;
  int out_ = -1;
  std::string url_;
  int port_ = 0;
};

// The session cookie of a login answer ("JSESSIONID=..."), for the Cookie header.
inline std::string SessionCookie(const httplib::Result& result) {
  if (!result) return "";
  std::string header = result->get_header_value("Set-Cookie");
  return header.substr(0, header.find(';'));
}

inline constexpr const char* kFormType = "application/x-www-form-urlencoded";

}  // namespace kestrova::test
