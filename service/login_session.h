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

// How a run went, so the command can decide what to move and what to report.
struct LoginRunResult {
  bool refused = false;     // an input check stopped it before any request
  bool loggedIn = false;    // the page after the login showed the service's menu
  int formsSent = 0;        // search forms sent, the extra forms of splits included
  int formsFailed = 0;      // of them, answered with neither 0 nor a redirect
  int extraForms = 0;       // forms added to search results cut at 100 hits again in parts
  int pagesCut = 0;         // result pages cut at 100 hits that were taken as they were
  bool redirected = false;  // a search was sent back to the login form; later forms not sent
};

// The input checks in their order; the message of the first that fails, or empty.
std::string FirstInputFault(const MainFields& fields);
// The load-balancing notice for the login ID at the hour (0-23), or empty when the ID's
// parity (without its last two characters) matches the hour's.
std::string LoadBalancingNotice(std::string_view loginId, int hour);
// The fee of the page after login ("前日までの利用料" ... "\">" amount "円") as "%d 円".
std::string FeeText(std::string_view convertedPage);

LoginRunResult LoginAndSearch(ProgramState& state, OnlineCommandWindow& window,
                              Transport& transport, SearchKind kind);
// Builds and sends every search form of the run, in order.
void RunSearches(OnlineContext& context, SearchKind kind, LoginRunResult& result);

}  // namespace kestrova
