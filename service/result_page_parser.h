// The result page parser: turns the table of a saved search result page into property records
// (listing search) or closed-deal entries (closed-deal search).
#pragma once

#include <string>
#include <string_view>

#include "foundation/text_list.h"
#include "service/search_kind.h"
#include "store/error_log.h"

namespace kestrova {

struct ProgramState;

// The ten property types: the label looked for in a row ("売り・土地</", ...) and the type text
// the record receives ("11売り・土地", ...), tried in table order.
struct TypeTable {
  TextList labels;
  TextList typeTexts;

  // Built once from the program's own list; immutable afterwards.
  static const TypeTable& Get();
  // The type text of the first label (in table order) that stands in text at a character
  // start; empty when no label is there.
  std::string_view Detect(std::string_view text) const;
};

// Reads the saved page (UTF-8 as received), converts it to cp932 and parses it. In listing mode
// pageRows receives the page's record lines and they are appended to state.newRows; in
// closed-deal mode state.dealStore receives the closed deals. pageRows always ends up holding
// the rows of this page only (empty in closed-deal mode and for a page without rows).
void ParseResultPage(ProgramState& state, const std::string& path, TextList& pageRows,
                     SearchKind kind);
// The same for a page already in cp932, held in memory.
void ParseResultText(ProgramState& state, std::string_view page, TextList& pageRows,
                     SearchKind kind);

// Whether a converted result page shows its hundredth hit ("100 件目"): the service cut the
// result there, and hits beyond it were not shown.
bool IsCutResultPage(std::string_view page);

// Cleans one table-row segment to cell texts divided by "<***>": cell ends become the marker,
// tags go, ASCII spaces, CR, LF and TAB go, and "&nbsp;" becomes "-".
void CleanRowSegment(std::string& segment);

}  // namespace kestrova
