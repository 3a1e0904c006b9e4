#include "sim/sim_options.h"

#include <charconv>
#include <limits>

namespace kestrova::sim {

namespace {

// A whole decimal number in [low, high]; anything else (sign junk, trailing text) is refused.
bool ReadNumber(const std::string& text, long long low, long long high, long long& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty() && value >= low && value <= high;
}

bool ReadUnsigned(const std::string& text, std::uint64_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

// "NAME=STATUS" with a status of 100..599.
bool ReadPathStatus(const std::string& text, std::string& name, int& status) {
  std::size_t eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0) return false;
  long long number = 0;
  if (!ReadNumber(text.substr(eq + 1), 100, 599, number)) return false;
  name = text.substr(0, eq);
  status = static_cast<int>(number);
  return true;
}

}  // namespace

int ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool inlineValue = false;
    if (std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      inlineValue = true;
    }
    auto takeValue = [&]() -> bool {
      if (inlineValue) return true;
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
      return true;
    };
    auto bad = [&](const char* what) {
      error = name + ": " + what + " expected, got \"" + value + "\"";
      return -1;
    };
    long long number = 0;
    if (name == "--help" || name == "-h") {
      options.help = true;
    } else if (name == "--log-requests") {
      options.logRequests = true;
    } else if (name == "--port") {
      if (!takeValue()) return -1;
      if (!ReadNumber(value, 0, 65535, number)) return bad("a port 0..65535");
      options.port = static_cast<int>(number);
    } else if (name == "--account") {
      if (!takeValue()) return -1;
      std::size_t colon = value.find(':');
      if (colon == std::string::npos || colon == 0) return bad("ID:PASSWORD");
      options.accounts.push_back({value.substr(0, colon), value.substr(colon + 1)});
    } else if (name == "--seed") {
      if (!takeValue()) return -1;
      if (!ReadUnsigned(value, options.seed)) return bad("a number");
    } else if (name == "--hits-per-day") {
      if (!takeValue()) return -1;
      if (!ReadNumber(value, 0, 999, number)) return bad("a count 0..999");
      options.hitsPerDay = static_cast<int>(number);
    } else if (name == "--fee") {
      if (!takeValue()) return -1;
      if (!ReadNumber(value, 0, std::numeric_limits<int>::max(), number)) return bad("a number");
      options.fee = static_cast<int>(number);
    } else if (name == "--threads") {
      if (!takeValue()) return -1;
      if (!ReadNumber(value, 1, 64, number)) return bad("a count 1..64");
      options.threads = static_cast<int>(number);
    } else if (name == "--ca-out") {
      if (!takeValue()) return -1;
      if (value.empty()) return bad("a folder");
      options.caOut = value;
    } else if (name == "--setting") {
      if (!takeValue()) return -1;
      if (value.empty()) return bad("a folder");
      options.settingDir = value;
    } else if (name == "--fail") {
      if (!takeValue()) return -1;
      std::string path;
      int status = 0;
      if (!ReadPathStatus(value, path, status)) return bad("PATH=STATUS");
      options.failPaths[path] = status;
    } else if (name == "--drop") {
      if (!takeValue()) return -1;
      if (value.empty()) return bad("a path");
      options.dropPaths.insert(value);
    } else if (name == "--fail-every") {
      if (!takeValue()) return -1;
      std::string count;
      int status = 0;
      if (!ReadPathStatus(value, count, status) ||
          !ReadNumber(count, 1, std::numeric_limits<int>::max(), number)) {
        return bad("N=STATUS");
      }
      options.failEvery = static_cast<int>(number);
      options.failEveryStatus = status;
    } else if (name == "--delay-ms") {
      if (!takeValue()) return -1;
      if (!ReadNumber(value, 0, 600000, number)) return bad("milliseconds 0..600000");
      options.delayMs = static_cast<int>(number);
    } else if (name == "--odd-number") {
      if (!takeValue()) return -1;
      if (value.empty()) return bad("a text");
      options.oddNumber = value;
    } else if (name == "--expire-after") {
      if (!takeValue()) return -1;
      if (!ReadNumber(value, 1, std::numeric_limits<int>::max(), number)) return bad("a count");
      options.expireAfter = static_cast<int>(number);
    } else if (name == "--list") {
      if (!takeValue()) return -1;
      if (value.empty()) return bad("FROM-TO:CODES");
      options.list = value;
    } else {
      error = "unknown option " + args[i];
      return -1;
    }
  }
  if (options.accounts.empty()) options.accounts.push_back({kDefaultAccountId, kDefaultPassword});
  return 0;
}

std::string SimUsage() {
  return "usage: kestrova-sim [--port N] [--account ID:PASSWORD]... [--seed N]\n"
         "                    [--hits-per-day N] [--fee YEN] [--threads N] [--ca-out DIR]\n"
         "                    [--setting DIR] [--fail PATH=STATUS]... [--drop PATH]...\n"
         "                    [--fail-every N=STATUS] [--delay-ms N] [--odd-number TEXT]\n"
         "                    [--expire-after N] [--log-requests]\n"
         "       kestrova-sim [--seed N] [--hits-per-day N] --list "
         "YYYY/MM/DD-YYYY/MM/DD:CODES[:sale|rent]\n"
         "Prints its URL (https://127.0.0.1:PORT) as the first line; stops on SIGTERM/SIGINT.\n"
         "--list prints the listings registered in the range (number, type code, 1 when it has a\n"
         "floor plan; TAB-separated) and exits.\n";
}

}  // namespace kestrova::sim
