// The transport on libcurl: one easy handle per session, so the connection and the cookies
// carry from one request to the next.
#pragma once

#include <memory>
#include <string>

#include "service/transport.h"

namespace kestrova {

class SettingsStore;

struct CurlOptions {
  // PEM file (program path, cp932) of CA certificates trusted besides the system's; empty
  // for none.
  std::string extraCaFile;
  // System CA bundle (native path); empty for the one libcurl was built with.
  std::string systemCaFile;
  long connectTimeoutMs = 60000;    // TCP and TLS set-up
  long receiveTimeoutSeconds = 60;  // a request with no byte for this long ends
};

// The options the settings ask for: "//ini/設定2/CA証明書", and the time-outs in seconds
// "//ini/設定2/接続タイムアウト" and "//ini/設定2/受信タイムアウト" (defaults where unset).
CurlOptions CurlOptionsFromSettings(const SettingsStore& settings);

class CurlTransport final : public Transport {
 public:
  explicit CurlTransport(CurlOptions options = CurlOptions());
  ~CurlTransport() override;
  CurlTransport(const CurlTransport&) = delete;
  CurlTransport& operator=(const CurlTransport&) = delete;

  int Open(std::string_view userAgent) override;
  TransportResult Send(const TransportRequest& request) override;
  void Close() override;

  // New connections made by the requests of the open session (one while it is reused).
  long ConnectionsMade() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrova
