// kestrova --headless find: the local search window's opening and one search without a window,
// for scripts, scheduled reports and tests. The rows go to standard output as the clipboard
// would hold them.
#pragma once

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace kestrova {

struct ProgramState;

// Each option given overrides the saved search state for this run. Texts are cp932 (converted
// from the command line's UTF-8 while parsing).
struct FindOptions {
  std::optional<std::string> keys;  // "k1;...;k9", the format of the saved keys
  std::optional<std::string> from;  // "YYYY/MM/DD" or empty
  std::optional<std::string> to;
  std::optional<int> type;  // 0 売買, 1 賃貸, 2 両方
  std::optional<int> plan;  // 0 図面有, 1 図面無, 2 両方
  std::optional<std::string> station;
  std::array<std::optional<std::string>, 3> lists;  // an entry of key list 1-3
  std::optional<int> past;
  std::optional<int> unique;

  bool Any() const;
};

// When args[i] is a find option: reads it and its value (i moves to the value) and answers 1,
// or -1 with a message in error for a bad value. 0 when args[i] is no find option.
int ParseFindOption(const std::vector<std::string>& args, std::size_t& i, FindOptions& options,
                    std::string& error);
// The --help lines of the find options.
std::string FindUsage();

// Opens the search over the program folder, applies the options and runs one search: the rows
// (UTF-8) to rows, the window title into title. 0 ran (also with no hits), 1 no management
// data (the window's message went to the desktop), 2 a station or key-list entry that is not
// there (said on console).
int RunFind(ProgramState& state, const FindOptions& options, std::FILE* rows, std::FILE* console,
            std::string& title);

}  // namespace kestrova
