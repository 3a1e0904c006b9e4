#include "ui/command_line.h"

namespace kestrova {

const std::vector<HeadlessCommand>& HeadlessCommands() {
  static const std::vector<HeadlessCommand> commands = {
      {"search", MainCommand::kPropertySearch, {}, "online property search"},
      {"deals", MainCommand::kClosedDealSearch, {}, "online closed-deal search"},
      {"fee", MainCommand::kFeeCheck, {}, "log in and read the usage fee"},
      {"rebuild-detail",
       {},
       MaintenanceCommand::kRebuildDetail,
       "rebuild the detail information from the saved pages"},
      {"rebuild-csv", {}, MaintenanceCommand::kRebuildCsv, "rebuild the total CSV files"},
      {"clean",
       {},
       MaintenanceCommand::kDeleteFiles,
       "delete the per-run CSV files, backups and logs"},
      {"tidy", {}, {}, "move records past the retention period into past data"},
      {"find", {}, {}, "one local search over the stored data, rows on standard output"},
      {"daily",
       {},
       {},
       "the scheduled run: property search from the last fetched date + 1 to yesterday,\n"
       "                    with --deals then the closed-deal search"},
  };
  return commands;
}

const HeadlessCommand* FindHeadlessCommand(const std::string& name) {
  for (const HeadlessCommand& c : HeadlessCommands()) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

int ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
  // Option values end up in the settings file and the remembered login ID, one per line.
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i].find_first_of("\r\n") != std::string::npos) {
      error = (i > 1 ? args[i - 1] + " " : std::string()) +
              "holds a line break (CR or LF), which no setting can hold";
      return -1;
    }
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      continue;
    }
    if (arg == "--version") {
      line.version = true;
      continue;
    }
    if (arg == "--schedule") {
      line.schedule = true;
      // The value is optional: alone, --schedule shows what is set.
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) line.scheduleTime = args[++i];
      continue;
    }
    if (arg == "--deals") {
      line.deals = true;
      continue;
    }
    const int findOption = ParseFindOption(args, i, line.find, error);
    if (findOption < 0) return -1;
    if (findOption > 0) continue;
    std::string* target = arg == "--home"       ? &line.home
                          : arg == "--login-id" ? &line.loginId
                          : arg == "--headless" ? &line.headless
                                                : nullptr;
    if (target == nullptr) {
      error = "unknown argument: " + arg;
      return -1;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      error = arg + " needs a value";
      return -1;
    }
    *target = args[++i];
  }
  if (!line.headless.empty() && FindHeadlessCommand(line.headless) == nullptr) {
    error = "unknown command for --headless: " + line.headless;
    return -1;
  }
  if (line.schedule && !line.headless.empty()) {
    error = "--schedule and --headless do not go together";
    return -1;
  }
  if (line.deals && line.headless != "daily" &&
      !(line.schedule && !line.scheduleTime.empty() && line.scheduleTime != "off")) {
    error = "--deals belongs to --schedule HH:MM or --headless daily";
    return -1;
  }
  if (line.find.Any() && line.headless != "find") {
    error = "the search options belong to --headless find";
    return -1;
  }
  return 0;
}

std::string Usage() {
  std::string text =
      "usage: kestrova [--home DIR] [--login-id ID] [--headless COMMAND [OPTIONS]] | --version | "
      "--help\n"
      "       kestrova [--home DIR] [--login-id ID] --schedule [HH:MM [--deals] | off]\n"
      "  --home DIR        DIR is the program folder; DIR/kestrova.ini the settings file\n"
      "  --login-id ID     REINS login ID (else $KESTROVA_LOGIN_ID, else the remembered one)\n"
      "  --headless CMD    run one command without a window:\n";
  for (const HeadlessCommand& c : HeadlessCommands()) {
    text += "      " + std::string(c.name);
    text.append(16 - std::string(c.name).size(), ' ');
    text += std::string(c.what) + "\n";
  }
  text += FindUsage();
  text +=
      "  --schedule HH:MM [--deals]\n"
      "                    run \"--headless daily\" every day at HH:MM for this program folder "
      "and\n"
      "                    login ID (a systemd user timer; a Task Scheduler task on Windows)\n"
      "  --schedule off    remove that daily run\n"
      "  --schedule        show the daily run, its next time and the last run's result\n"
      "                    (every headless online run adds a line to Log/RunHistory.txt)\n";
  text += "  --version         print the version and the commit it was built from\n";
  text +=
      "exit status: 0 ran to its end, 1 refused (input, terms, login, no management data),\n"
      "             2 usage error, or no display to open the window on,\n"
      "             3 ran, but could not save everything it fetched,\n"
      "             4 ran and saved everything, but listings were lost to a search still cut\n"
      "               at 100 hits (logged 20001, last fetched date kept),\n"
      "             130/143 an online command stopped by SIGINT/SIGTERM (what it fetched is "
      "kept)\n";
  return text;
}

}  // namespace kestrova
