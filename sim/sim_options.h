// The command line of kestrova-sim.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kestrova::sim {

struct Account {
  std::string id;
  std::string password;
};

struct SimOptions {
  int port = 0;                   // 0: the system picks a free port
  std::vector<Account> accounts;  // the default account when none is given
  std::uint64_t seed = 1;
  int hitsPerDay = 8;      // listings registered per municipality and day, all types together
  int fee = 1200;          // usage fee shown after login, in yen
  int threads = 8;         // an idle kept-alive connection holds one until it times out
  std::string caOut;       // folder that receives ca.pem; empty: none written
  std::string settingDir;  // empty: <folder of the executable>/Setting
  std::map<std::string, int> failPaths;  // request path -> status to answer
  std::set<std::string> dropPaths;       // request paths whose connection is closed unanswered
  int failEvery = 0;                     // every Nth request (0: never) ...
  int failEveryStatus = 500;             // ... answers this status
  int delayMs = 0;
  std::string oddNumber;  // property number of each listing page's first hit; empty: its own
  int expireAfter = 0;    // requests a session answers after its login (0: no end)
  std::string list;       // "FROM-TO:CODES[:sale|rent]": print those listings and exit
  bool logRequests = false;
  bool help = false;
};

inline const char* kDefaultAccountId = "demo";
inline const char* kDefaultPassword = "demo-pass";

// Reads argv into options. Returns 0, or -1 with a message in error (a usage error).
int ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);
std::string SimUsage();

}  // namespace kestrova::sim
