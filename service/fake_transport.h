// A scripted transport for tests of the service code: answers queued per request path, every
// request recorded, no network.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/transport.h"

namespace kestrova {

// The path of a URL (from the first "/" after the host up to "?"), as answers are keyed.
std::string PathOfUrl(std::string_view url);

class FakeTransport final : public Transport {
 public:
  // The next request to path gets this answer; answers queued for one path go out in order.
  void Queue(std::string_view path, TransportResult answer);
  // Shorthand: status 200 with the body.
  void QueueOk(std::string_view path, std::string_view body);
  void QueueStatus(std::string_view path, int status, std::string_view body = {});
  // Answers path whenever its queue is empty.
  void SetAnswer(std::string_view path, TransportResult answer);
  // Answers every path without a queued or set answer (status 404 unless set).
  void SetDefault(TransportResult answer) { default_ = std::move(answer); }
  // Asked first for every request; an empty result falls through to the queues.
  std::function<std::optional<TransportResult>(const TransportRequest&)> responder;
  // Open answers this code (0: success).
  int openCode = 0;

  int Open(std::string_view userAgent) override;
  TransportResult Send(const TransportRequest& request) override;
  void Close() override;

  const std::vector<TransportRequest>& Requests() const { return requests_; }
  // The paths of the recorded requests, in order.
  std::vector<std::string> Paths() const;
  // Requests still waiting in the queues.
  int Pending() const;
  int opens = 0;
  int closes = 0;            // Close calls while a session was open
  int sendsWhileClosed = 0;  // requests sent without an open session
  bool isOpen = false;
  std::string userAgent;

 private:
  std::map<std::string, std::deque<TransportResult>, std::less<>> queued_;
  std::map<std::string, TransportResult, std::less<>> set_;
  TransportResult default_ = [] {
    TransportResult r;
    r.status = 404;
    return r;
  }();
  std::vector<TransportRequest> requests_;
};

}  // namespace kestrova
