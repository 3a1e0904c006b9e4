// The HTTPS server of the stand-in service on 127.0.0.1: routes every request to its page,
// keeps the sessions, and injects the faults the command line asks for.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "sim/certificates.h"
#include "sim/listing_data.h"
#include "sim/odd_listing.h"
#include "sim/sessions.h"
#include "sim/sim_options.h"

namespace httplib {
class SSLServer;
struct Request;
struct Response;
}  // namespace httplib

namespace kestrova::sim {

inline constexpr const char* kLoginFormPath = "/reinsip/an0100/an010001_init.do";
inline constexpr const char* kLoginPath = "/reinsip/an0100/an010002_login.do";
inline constexpr const char* kSearchPath = "/reinsip/in0100/in010001_search.do";
inline constexpr const char* kDetailPath = "/reinsip/in0300/in030001_init.do";
inline constexpr const char* kFloorPlanPath = "/reinsip/in0200/in020001_zumenDownload.do";
inline constexpr const char* kStylePrefix = "/reinsip/css/";

class SimServer {
 public:
  SimServer(const SimOptions& options, const SettingTables& tables, const Certificates& certs);
  ~SimServer();
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  // Binds 127.0.0.1 on the configured port (0: a free one). The port, or -1.
  int Bind();
  // Serves until Stop(); false when serving could not start.
  bool Run();
  // Safe from any thread; a no-op before Run() has started listening.
  void Stop();
  bool IsRunning() const;

 private:
  void Handle(const httplib::Request& req, httplib::Response& res);
  void Route(const httplib::Request& req, httplib::Response& res);
  void AnswerOddListing(const std::string& path, httplib::Response& res);
  void Log(const httplib::Request& req);
  void Stall(const httplib::Request& req);

  const SimOptions& options_;
  ListingUniverse universe_;
  SessionTable sessions_;
  OddListing odd_;
  std::unique_ptr<httplib::SSLServer> server_;
  std::atomic<long long> requests_{0};
  std::atomic<bool> stopping_{false};
  std::mutex logMutex_;
};

}  // namespace kestrova::sim
