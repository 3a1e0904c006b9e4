#include "service/fake_transport.h"

#include <utility>

namespace kestrova {

std::string PathOfUrl(std::string_view url) {
  std::size_t start = 0;
  std::size_t scheme = url.find("://");
  if (scheme != std::string_view::npos) {
    start = url.find('/', scheme + 3);
    if (start == std::string_view::npos) return "/";
  }
  std::string_view path = url.substr(start);
  std::size_t query = path.find('?');
  if (query != std::string_view::npos) path = path.substr(0, query);
  return path.empty() ? std::string("/") : std::string(path);
}

void FakeTransport::Queue(std::string_view path, TransportResult answer) {
  auto it = queued_.find(path);
  if (it == queued_.end())
    it = queued_.emplace(std::string(path), std::deque<TransportResult>()).first;
  it->second.push_back(std::move(answer));
}

void FakeTransport::QueueOk(std::string_view path, std::string_view body) {
  QueueStatus(path, 200, body);
}

void FakeTransport::QueueStatus(std::string_view path, int status, std::string_view body) {
  TransportResult answer;
  answer.status = status;
  answer.body.assign(body);
  Queue(path, std::move(answer));
}

void FakeTransport::SetAnswer(std::string_view path, TransportResult answer) {
  set_.insert_or_assign(std::string(path), std::move(answer));
}

int FakeTransport::Open(std::string_view agent) {
  ++opens;
  userAgent.assign(agent);
  if (openCode != 0) return openCode;
  isOpen = true;
  return 0;
}

TransportResult FakeTransport::Send(const TransportRequest& request) {
  requests_.push_back(request);
  if (!isOpen) ++sendsWhileClosed;
  if (responder) {
    if (std::optional<TransportResult> answer = responder(request)) return *answer;
  }
  std::string path = PathOfUrl(request.url);
  auto queued = queued_.find(path);
  if (queued != queued_.end() && !queued->second.empty()) {
    TransportResult answer = std::move(queued->second.front());
    queued->second.pop_front();
    return answer;
  }
  auto set = set_.find(path);
  if (set != set_.end()) return set->second;
  return default_;
}

void FakeTransport::Close() {
  if (isOpen) ++closes;
  isOpen = false;
}

std::vector<std::string> FakeTransport::Paths() const {
  std::vector<std::string> paths;
  paths.reserve(requests_.size());
  for (const TransportRequest& r : requests_) paths.push_back(PathOfUrl(r.url));
  return paths;
}

int FakeTransport::Pending() const {
  int n = 0;
  for (const auto& [path, answers] : queued_) n += static_cast<int>(answers.size());
  return n;
}

}  // namespace kestrova
