// The online commands of the main window: property search, closed-deal search, fee check and
// the two date presets.
#pragma once

#include "service/login_session.h"

namespace kestrova {

inline constexpr char kTitle[] = "Kestrova";
// cp932 "Kestrova[実行中..]".
const std::string& RunningTitle();

// Button 1000. Returns how the login and the searches went.
LoginRunResult OnlinePropertySearch(ProgramState& state, OnlineCommandWindow& window,
                                    Transport& transport);
// Button 1001.
LoginRunResult OnlineClosedDealSearch(ProgramState& state, OnlineCommandWindow& window,
                                      Transport& transport);
// Button 1051: log in, read the fee and keep the style sheets, no search.
LoginRunResult FeeCheck(ProgramState& state, OnlineCommandWindow& window, Transport& transport);
// Button 1008: from the day after the last fetched date to yesterday.
void PresetLastPlusOneToYesterday(ProgramState& state, OnlineCommandWindow& window);
// Button 1014: from the last fetched date to today.
void PresetLastToToday(ProgramState& state, OnlineCommandWindow& window);

// "エラーが %d件 発生しました。\r\n%s" with the count and the last line of the error list.
std::string ErrorSummary(const ProgramState& state);

}  // namespace kestrova
