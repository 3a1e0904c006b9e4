// One search form of a run: the search sent and its page saved under "\\Log", its rows parsed,
// and the detail pages and floor-plan PDFs of the rows fetched into the property folders.
#pragma once

#include <string>
#include <string_view>

#include "service/search_kind.h"
#include "store/error_log.h"

namespace kestrova {

struct ProgramState;
struct HttpSession;
class OnlineCommandWindow;

// What one online command works with: the program state, the main window, the open session.
struct OnlineContext {
  ProgramState& state;
  OnlineCommandWindow& window;
  HttpSession& session;
};

// "11\\大阪市中央区": the type code, then the location up to and including the first of
// 区, 市, 町, 村 (in that order of preference). The type code alone when the location holds
// none of them.
std::string PropertyFolder(std::string_view typeCode, std::string_view location);
// The same from a result row (type text in field 1, location in field 5).
std::string PropertyFolderOfRow(std::string_view row);
// The municipality part of the property folder; empty when the location names none.
std::string MunicipalityFolder(std::string_view location);
// true when the type folder, the municipality folder and the number may all be file names.
bool IsSafePropertyPath(std::string_view typeCode, std::string_view location,
                        std::string_view propertyNumber);

// Creates the folder of filePath (and missing folders above it) unless this program run has
// already tried to; remembers it either way.
void MakeFolderFor(ProgramState& state, const std::string& filePath);

// "%s\\Log\\検索_%s_%d.html" (listings) or "%s\\Log\\成約_%s_%d.html" (closed deals).
std::string ResultPagePath(const ProgramState& state, std::string_view stamp, int counter,
                           SearchKind kind);

// How the service answered one search form.
struct SearchAnswer {
  int code = 0;        // 0; kExchangeRedirect (the session is gone: nothing saved or parsed);
                       // else the failure code, already logged
  bool cut = false;    // the page showed its hundredth hit
  bool split = false;  // cut, and left to the forms that search it again in parts
};

// Sends one search form, saves its page and, unless the page was cut and splitIfCut is set,
// parses its rows and does their downloads.
SearchAnswer SearchAndDownload(OnlineContext& context, const std::string& formBody, int counter,
                               std::string_view stamp, SearchKind kind, bool splitIfCut);

}  // namespace kestrova
