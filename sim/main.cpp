// kestrova-sim: the stand-in listing service. Prints its URL as the first line on stdout and
// serves until SIGTERM or SIGINT, then exits 0.
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "sim/certificates.h"
#include "sim/listing_data.h"
#include "sim/search_query.h"
#include "sim/setting_tables.h"
#include "sim/sim_options.h"
#include "sim/sim_server.h"

using namespace kestrova;
using namespace kestrova::sim;

namespace {

std::string ExecutableFolder() {
  std::vector<char> path(PATH_MAX + 1, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), PATH_MAX);
  if (n <= 0) return ".";
  std::string exe(path.data(), static_cast<std::size_t>(n));
  std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "." : exe.substr(0, slash);
}

// The shipped Setting folder: beside the executable in the build tree, else in the installed
// data folder <prefix>/share/kestrova for <prefix>/bin/kestrova-sim.
std::string DefaultSettingFolder() {
  const std::string folder = ExecutableFolder();
  if (IsFolder(platform::ProgramPath(folder + "/Setting"))) return folder + "/Setting";
  const std::size_t slash = folder.rfind('/');
  const std::string prefix = slash == std::string::npos ? "." : folder.substr(0, slash);
  return prefix + "/share/kestrova/Setting";
}

int WriteCa(const std::string& folder, X509* ca) {
  std::string dir = platform::ProgramPath(folder);
  std::string pem = CertificatePem(ca);
  if (pem.empty() || !MakeFolder(dir) || !WriteFileAtomic(dir + "\\ca.pem", pem)) return -1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  if (ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error) != 0) {
    std::fprintf(stderr, "kestrova-sim: %s\n%s", error.c_str(), SimUsage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(SimUsage().c_str(), stdout);
    return 0;
  }
  SettingTables tables;
  std::string settingDir = options.settingDir.empty() ? DefaultSettingFolder() : options.settingDir;
  if (LoadSettingTables(settingDir, tables, error) != 0) {
    std::fprintf(stderr, "kestrova-sim: %s\n", error.c_str());
    return 1;
  }
  if (!options.list.empty()) {
    SearchQuery query;
    if (ParseListRange(options.list, query) != 0) {
      std::fprintf(stderr,
                   "kestrova-sim: --list: YYYY/MM/DD-YYYY/MM/DD:CODES[:sale|rent] expected\n");
      return 2;
    }
    ListingUniverse universe(tables, options.seed, options.hitsPerDay);
    for (const ListingKey& key :
         universe.Listings(query.codes, query.firstDay, query.lastDay, query.typeCodes)) {
      const Property p = universe.Make(key);
      std::printf("%s\t%d\t%d\n", p.number.c_str(), p.typeCode, p.hasFloorPlan ? 1 : 0);
    }
    return 0;
  }
  Certificates certs;
  if (MakeCertificates(certs, error) != 0) {
    std::fprintf(stderr, "kestrova-sim: %s\n", error.c_str());
    return 1;
  }
  if (!options.caOut.empty() && WriteCa(options.caOut, certs.ca.get()) != 0) {
    std::fprintf(stderr, "kestrova-sim: cannot write %s/ca.pem\n", options.caOut.c_str());
    return 1;
  }

  // The signals are taken by one waiting thread; every other thread has them blocked.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);  // a client that hangs up must not end the server

  SimServer server(options, tables, certs);
  int port = server.Bind();
  if (port <= 0) {
    std::fprintf(stderr, "kestrova-sim: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  std::printf("https://127.0.0.1:%d\n", port);
  std::fflush(stdout);
  std::fprintf(stderr, "kestrova-sim: %zu municipalities%s, seed %llu, %d listings per day\n",
               tables.municipalities.size(),
               tables.builtInMunicipalities ? " (built-in table)" : "",
               static_cast<unsigned long long>(options.seed), options.hitsPerDay);

  std::atomic<bool> finished{false};
  std::atomic<bool> signalled{false};
  std::thread waiter([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    if (!finished) signalled = true;
    // A signal that comes before listening has begun must still stop the server.
    while (!finished) {
      server.Stop();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  bool served = server.Run();
  finished = true;
  bool bySignal = signalled;
  if (!bySignal) pthread_kill(waiter.native_handle(), SIGTERM);  // wakes the waiter
  waiter.join();
  if (!served && !bySignal) {
    std::fprintf(stderr, "kestrova-sim: the server stopped unexpectedly\n");
    return 1;
  }
  return 0;
}
