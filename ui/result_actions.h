// What the local search window does with its selected rows: open or copy the floor-plan PDFs,
// copy the rows as text, open the saved detail page, open the location in a web map, write a
// compatible CSV of the selected properties, and the PDF files a drag offers.
#pragma once

#include <string>
#include <vector>

#include "ui/external_viewers.h"
#include "ui/search_window.h"

namespace kestrova {

struct ProgramState;

// Runs the action on the rows (indices into rows; each runs once, from the top of the list).
// kCollectDragFiles answers the PDF paths that exist; every other action an empty list.
std::vector<std::string> RunResultAction(ProgramState& state, const SearchResults& rows,
                                         const std::vector<int>& selected, ResultAction action);

}  // namespace kestrova
