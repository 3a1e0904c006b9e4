// Leaving the program for a property: the compatible CSV of chosen properties with its folder
// shown, and the location in a web map in the program that opens web pages. Outside programs
// are started without a shell, their arguments as a list.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

struct ProgramState;

// Every byte as "%XX" with upper-case hexadecimal digits, letters and digits included.
std::string HexEscape(std::string_view text);

// 0 and "\"<program>\" \"%PARAM%\"" for the program that opens files of the extension (".html");
// -1 and an empty template when there is none.
int FindAssociatedProgram(std::string_view extension, std::string& commandTemplate);

// The words of a command line: blanks divide them, double quotes hold blanks inside a word and
// are taken out. No other character means anything.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The longest location the web map is opened for; a longer one is refused, not cut.
inline constexpr std::size_t kMaxLocationBytes = 999;

// Opens the location in the web map of the map address setting, in the program that opens
// ".html" files. The template is split into words before the placeholders are filled, so no
// text of a record can add a word. false when nothing was started.
bool LaunchWithParam(ProgramState& state, std::string_view parameter);

// The record lines of "\\dat\\TotalData.txt" whose property number is in the set, written with
// the Output_CSV layout to "\\csv_total\\TotalData_csvdata(検索管理データより).csv"; then the
// folder is shown. false when the file could not be written (logged and told).
bool ExportCompatibleCsv(ProgramState& state, const std::set<std::string>& numbers);

}  // namespace kestrova
