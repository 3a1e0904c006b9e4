// One search form of a run: the search sent and its page saved under "\\Log", its rows parsed,
// and the detail pages and floor-plan PDFs of the rows fetched into the property folders.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "service/search_kind.h"
#include "store/error_log.h"

namespace kestrova {

struct ProgramState;
struct HttpSession;
class OnlineCommandWindow;

// The downloads of one kind (detail pages, or PDFs) in a run. A service that lets two requests
// of a kind in a row run into the time-out is taken to hold them all: asking for each of the
// rest would cost the time-out per property.
struct DownloadKind {
  int timeoutsInARow = 0;
  bool givenUp = false;  // no more requests of this kind in this run
};
inline constexpr int kTimeoutsBeforeGivingUp = 2;

// What one online command works with: the program state, the main window, the open session.
struct OnlineContext {
  ProgramState& state;
  OnlineCommandWindow& window;
  HttpSession& session;
  int downloadsNotSaved = 0;  // detail pages and PDFs answered but not written to disk
  DownloadKind detailPages;
  DownloadKind floorPlans;
};

// The first two characters of the type text ("11売り・土地" -> "11").
std::string_view TypeCodeOf(std::string_view typeText);
// "11\\大阪市中央区": the type code, then the location up to and including the first of
// 区, 市, 町, 村 (in that order of preference). The type code alone when the location holds
// none of them.
std::string PropertyFolder(std::string_view typeCode, std::string_view location);
// The same from a result row (type text in field 1, location in field 5).
std::string PropertyFolderOfRow(std::string_view row);
// The municipality part of the property folder; empty when the location names none.
std::string MunicipalityFolder(std::string_view location);
// The longest property number or municipality folder, in bytes of its file-system (UTF-8)
// form, that is used as a name. A file system allows 255 bytes per name; the number's files
// add ".html" and, while they are written, the temporary suffix of the atomic write (".tmp",
// the process id, "-" and a counter: at most 26 bytes), so 200 + 5 + 26 stays below 255.
inline constexpr std::size_t kMaxPageNameBytes = 200;
// true when name (cp932) is at most kMaxPageNameBytes in its file-system form.
bool FitsAsName(std::string_view name);
// true when the type folder, the municipality folder and the number may all be file names
// (safe characters, and not longer than kMaxPageNameBytes).
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
  int code = 0;          // 0; kExchangeRedirect (the session is gone: nothing saved or parsed);
                         // else the failure code, already logged
  bool cut = false;      // the page showed its hundredth hit
  bool split = false;    // cut, and left to the forms that search it again in parts
  bool stopped = false;  // a stop came during the wait before it (the form was not sent, code
                         // 0) or while its answer was awaited (code not 0, nothing logged)
};

// Sends one search form, saves its page and, unless the page was cut and splitIfCut is set,
// parses its rows and does their downloads.
SearchAnswer SearchAndDownload(OnlineContext& context, const std::string& formBody, int counter,
                               std::string_view stamp, SearchKind kind, bool splitIfCut);

}  // namespace kestrova
