// What the local search window does with its selected rows: open or copy the floor-plan PDFs,
// copy the rows as text, open the saved detail page, open the location in a web map, write a
// compatible CSV of the selected properties, and the PDF files a drag offers. Outside programs
// are started without a shell, with their arguments as a list.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ui/search_window.h"

namespace kestrova {

struct ProgramState;

// Runs the action on the rows (indices into rows, in list order). kCollectDragFiles answers the
// PDF paths that exist; every other action an empty list.
std::vector<std::string> RunResultAction(ProgramState& state, const SearchResults& rows,
                                         const std::vector<int>& selected, ResultAction action);

// Every byte as "%XX" with upper-case hexadecimal digits, letters and digits included.
std::string HexEscape(std::string_view text);

// The record lines of "\\dat\\TotalData.txt" whose property number is in the set, written with
// the Output_CSV layout to "\\csv_total\\TotalData_csvdata(検索管理データより).csv"; then the
// folder is shown. false when the file could not be written (reported).
bool ExportCompatibleCsv(ProgramState& state, const std::set<std::string>& numbers);

// Opens the location in the web map of the map address setting, in the program that opens
// ".html" files. false when nothing was started (no such program, a location over 999 bytes).
bool LaunchWithParam(ProgramState& state, std::string_view parameter);

}  // namespace kestrova
