// What the online benchmarks run on: a transport decorator that times every exchange and the
// program homes; the kestrova-sim child and scratch folders are the tests' own.
#pragma once

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
#include "tests/sim/sim_process.h"
#include "tests/support/cp932_text.h"
#include "tests/support/temp_folder.h"

namespace kestrova::bench {

// 12 forms (six codes, sale and rent) over four days, detail pages and PDFs, terms agreed, no
// load-reduction wait between requests.
inline std::string OnlineSettings(const test::SimProcess& sim) {
  return "[設定]\n開始日付=2011/05/01\n終了日付=2011/05/04\n最終日付=2011/04/30\n"
         "成約開始日=2011/05/01\n市町村コード=27128,27111,27127,27102,27106,27120\n"
         "ログインパス=demo-pass\n売買=1\n賃貸=1\nPDFDL=1\nPDF取得=1\n詳細情報取得=1\n同意=1\n"
         "[設定2]\n負荷軽減スリープ=0\nデータ保持期間=240\n接続先URL=" +
         sim.url() + "\nCA証明書=" + sim.caFile() + "\n";
}

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
    stats_.seconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
  std::ofstream(native + "/kestrova.ini", std::ios::binary) << test::Cp932Lines(utf8Ini);
}

// Lines of the files directly in a folder whose names end with the suffix.
inline int CountLinesOfFiles(const std::string& folder, const std::string& suffix) {
  int lines = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    if (name.size() < suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
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
