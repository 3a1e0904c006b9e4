#include "sim/sim_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "foundation/platform/platform.h"
#include "sim/floor_plan_pdf.h"
#include "sim/listing_pages.h"
#include "sim/search_query.h"
#include "sim/service_pages.h"

namespace kestrova::sim {

namespace {

constexpr const char* kHtml = "text/html; charset=UTF-8";

void RedirectToLogin(httplib::Response& res) {
  res.status = 302;
  res.set_header("Location", kLoginFormPath);
}

void Answer(httplib::Response& res, int status) {
  if (status == 302) {
    RedirectToLogin(res);
    return;
  }
  res.status = status;
  res.set_content(StatusPage(status), kHtml);
}

// The program sends its texts in cp932, the command line gives the accounts in UTF-8: a
// credential matches in either form.
bool SameCredential(const std::string& received, const std::string& configured) {
  return received == configured || platform::Cp932ToUtf8(received) == configured;
}

// A file name for the Content-Disposition header: the number as it stands, only the bytes
// that cannot stand inside the quoted string made harmless.
std::string AttachmentName(const std::string& number) {
  std::string name;
  for (char c : number) {
    auto byte = static_cast<unsigned char>(c);
    name += c == '"' || c == '\\' || byte < 0x20 || byte == 0x7F ? '_' : c;
  }
  return name + ".pdf";
}

std::string FieldOf(const httplib::Request& req, const char* name) {
  auto form = ParseForm(req.body);
  auto it = form.find(name);
  return it == form.end() ? std::string() : it->second;
}

}  // namespace

SimServer::SimServer(const SimOptions& options, const SettingTables& tables,
                     const Certificates& certs)
    : options_(options),
      universe_(tables, options.seed, options.hitsPerDay),
      odd_(options.oddNumber),
      server_(std::make_unique<httplib::SSLServer>(certs.server.get(), certs.serverKey.get())) {
  int threads = options.threads;
  server_->new_task_queue = [threads] {
    return new httplib::ThreadPool(static_cast<std::size_t>(threads));
  };
  // A client keeps one connection for a whole run; let it.
  server_->set_keep_alive_max_count(100000);
  server_->set_keep_alive_timeout(5);
  server_->set_tcp_nodelay(true);
  server_->set_payload_max_length(1 << 20);  // a form body is a few kilobytes
  auto handler = [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); };
  server_->Get(".*", handler);
  server_->Post(".*", handler);
}

SimServer::~SimServer() = default;

int SimServer::Bind() {
  if (!server_->is_valid()) return -1;
  if (options_.port == 0) return server_->bind_to_any_port("127.0.0.1");
  return server_->bind_to_port("127.0.0.1", options_.port) ? options_.port : -1;
}

bool SimServer::Run() { return server_->listen_after_bind(); }

void SimServer::Stop() { server_->stop(); }

bool SimServer::IsRunning() const { return server_->is_running(); }

void SimServer::Log(const httplib::Request& req) {
  std::string line = "[kestrova-sim] " + req.method + " " + req.path;
  if (!req.body.empty()) line += " body=" + req.body;
  std::string cookie = req.get_header_value("Cookie");
  if (!cookie.empty()) line += " cookie=" + cookie;
  std::lock_guard lock(logMutex_);
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

void SimServer::Handle(const httplib::Request& req, httplib::Response& res) {
  long long n = ++requests_;
  if (options_.logRequests) Log(req);
  if (options_.delayMs > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(options_.delayMs));
  if (options_.dropPaths.count(req.path)) {
    // Close the connection without a byte of answer; the write that follows then fails.
    if (req.ssl) ::shutdown(SSL_get_fd(req.ssl), SHUT_RDWR);
    res.status = 500;
    return;
  }
  if (auto it = options_.failPaths.find(req.path); it != options_.failPaths.end()) {
    Answer(res, it->second);
    return;
  }
  if (options_.failEvery > 0 && n % options_.failEvery == 0) {
    Answer(res, options_.failEveryStatus);
    return;
  }
  Route(req, res);
}

void SimServer::Route(const httplib::Request& req, httplib::Response& res) {
  const std::string& path = req.path;
  bool post = req.method == "POST";
  if (path.rfind(kStylePrefix, 0) == 0) {
    std::string css = StyleSheet(path.substr(std::string(kStylePrefix).size()));
    if (css.empty()) return Answer(res, 404);
    res.set_content(css, "text/css");
    return;
  }
  if (path == kLoginFormPath || (path == kLoginPath && !post)) {
    res.set_content(LoginFormPage(), kHtml);
    return;
  }
  if (path == kLoginPath) {
    std::string id = FieldOf(req, "riyousyaId");
    std::string password = FieldOf(req, "password");
    for (const Account& account : options_.accounts) {
      if (SameCredential(id, account.id) && SameCredential(password, account.password)) {
        std::string session = sessions_.Open(id);
        res.set_header("Set-Cookie",
                       std::string(kSessionCookie) + "=" + session + "; Path=/; Secure; HttpOnly");
        res.set_content(MenuPage(id, options_.fee), kHtml);
        return;
      }
    }
    res.set_content(LoginFailedPage(), kHtml);
    return;
  }
  if (sessions_.Use(req.get_header_value("Cookie"), options_.expireAfter).empty()) {
    RedirectToLogin(res);
    return;
  }
  bool known = path == kSearchPath || path == kDetailPath || path == kFloorPlanPath;
  if (!known) return Answer(res, 404);
  if (!post) return Answer(res, 405);
  if (path == kSearchPath) {
    SearchQuery query;
    std::string problem;
    if (ParseSearchQuery(ParseForm(req.body), query, problem) != 0) {
      res.set_content(SearchProblemPage(problem), kHtml);
    } else {
      res.set_content(ResultPage(universe_, query, &odd_), kHtml);
    }
    return;
  }
  std::string number = FieldOf(req, "bukkenNo");
  if (odd_.Matches(number)) return AnswerOddListing(path, res);
  if (path == kDetailPath) {
    res.set_content(DetailPage(universe_, number), kHtml);
    return;
  }
  ListingKey key;
  if (!universe_.KeyOfNumber(number, key)) return Answer(res, 404);
  Property p = universe_.Make(key);
  if (!p.hasFloorPlan) return Answer(res, 404);
  res.set_header("Content-Disposition", "attachment; filename=\"" + number + ".pdf\"");
  res.set_content(FloorPlanPdf(p), "application/pdf");
}

// Detail and floor plan of the odd number answer as for any listing, so that a program that
// takes the number as a file name has something to write.
void SimServer::AnswerOddListing(const std::string& path, httplib::Response& res) {
  ListingKey key = odd_.Latest(universe_);
  if (path == kDetailPath) {
    res.set_content(DetailPageOf(universe_, odd_.Make(universe_, key)), kHtml);
    return;
  }
  // The drawing and its caption come from the listing's own number: the odd text is not
  // ASCII-safe inside a PDF string.
  res.set_header("Content-Disposition",
                 "attachment; filename=\"" + AttachmentName(odd_.text()) + "\"");
  res.set_content(FloorPlanPdf(universe_.Make(key)), "application/pdf");
}

}  // namespace kestrova::sim
