// The frame of every online command: the input checks, the login, the usage fee, the style
// sheets, the searches of the run and the end of the session.
#pragma once

#include <string>
#include <string_view>

#include "service/search_kind.h"

namespace kestrova {

struct ProgramState;
class OnlineCommandWindow;
struct MainFields;
class Transport;
struct OnlineContext;
class SettingsStore;

// How a run went, so the command can decide what to move and what to report.
struct LoginRunResult {
  bool refused = false;        // an input check stopped it before any request
  std::string refusal;         // the message of that check
  bool loggedIn = false;       // the page after the login showed the service's menu
  int formsSent = 0;           // search forms sent, the extra forms of splits included
  int formsFailed = 0;         // of them, answered with neither 0 nor a redirect
  int extraForms = 0;          // forms added to search results cut at 100 hits again in parts
  int pagesCut = 0;            // result pages cut at 100 hits that were taken as they were
  bool redirected = false;     // a search was sent back to the login form; later forms not sent
  int downloadsNotSaved = 0;   // detail pages and PDFs answered but not written to disk
  bool storeNotSaved = false;  // the fetched rows could not be merged into the store
  int formsPlanned = 0;        // forms the run would have sent, extra forms included
  bool stopped = false;        // a stop ended the run early
};

// The input checks in their order; the message of the first that fails, or empty.
std::string FirstInputFault(const MainFields& fields);
// The checks of the values themselves, after those of FirstInputFault: the dates of the
// kind's forms (start or closed-deal start, and end) as real year/month/day dates, and every
// municipality code five digits. The message of the first that fails, or empty.
std::string InputValueFault(const MainFields& fields, SearchKind kind);
// The message that refuses a base URL other than https (the login form carries the
// password), or empty when it is https.
std::string InsecureUrlFault(std::string_view baseUrl);
// The message that refuses a run of planned forms above the limit, or empty.
std::string SearchLimitFault(int planned, int limit);
// The load-balancing notice for the login ID at the hour (0-23), or empty when the ID's
// parity (without its last two characters) matches the hour's.
std::string LoadBalancingNotice(std::string_view loginId, int hour);
// The fee of the page after login ("前日までの利用料" ... "\">" amount "円") as "%d 円".
std::string FeeText(std::string_view convertedPage);

// The checks a run passes before it starts (terms, inputs, https, the form limit), on the
// window's fields (normalised, shown and stored first): the message of the first that fails,
// or empty. A refused run shows no running state at all.
std::string RefusalBeforeRun(ProgramState& state, OnlineCommandWindow& window, SearchKind kind);
LoginRunResult LoginAndSearch(ProgramState& state, OnlineCommandWindow& window,
                              Transport& transport, SearchKind kind);
// Builds and sends every search form of the run, in order, until a stop is asked for.
void RunSearches(OnlineContext& context, SearchKind kind, LoginRunResult& result);
// The log box's line for a stopped run: how many of the planned forms went out.
std::string StoppedLine(const LoginRunResult& run);

}  // namespace kestrova
