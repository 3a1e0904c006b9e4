// ErrorList: the program's one log, a line "%s\t%5d\t%s" (time, code, text) per error, appended
// to "\\Err\\ErrLog.txt" at close. The codes of the errors that are not the exchange's own.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

struct ProgramState;

// A search result cut at the service's 100 hits.
inline constexpr int kLostResultsCode = 20001;
// A property number or municipality that cannot be a file name; its downloads are refused.
inline constexpr int kRefusedNameCode = 20002;
// The login was answered, but without the service's menu: the ID or the password is wrong.
inline constexpr int kLoginRefusedCode = 20003;
// Downloads of one kind (detail pages, PDFs) timed out twice in a row; the run asks for no more.
inline constexpr int kDownloadsGivenUpCode = 20004;
// The municipality code table cannot be used: a damaged "zip_code.dat", or a "zip_code.txt"
// without a valid row.
inline constexpr int kCodeTableDamagedCode = 20005;

// Writes that did not reach the disk; the text names the path.
inline constexpr int kStoreWriteFailed = 30001;       // "\\dat\\TotalData.txt"
inline constexpr int kPastDataWriteFailed = 30002;    // "\\dat\\TotalData_Kako.txt"
inline constexpr int kCsvWriteFailed = 30003;         // a CSV file under "csv" or "csv_total"
inline constexpr int kDetailFileWriteFailed = 30004;  // SyousaiInfo.dat, SeiyakuInfo.dat
inline constexpr int kPageWriteFailed = 30005;        // a saved page, detail page, PDF, style sheet
inline constexpr int kSettingsWriteFailed = 30006;    // the settings file
inline constexpr int kBackupFailed = 30007;           // a backup of the store
inline constexpr int kCodeTableWriteFailed = 30009;   // "\\Setting\\zip_code.dat"
inline constexpr int kHistoryWriteFailed = 30010;     // "\\Log\\RunHistory.txt"
// A rewrite of the store refused because it would have lost records the old store held.
inline constexpr int kStoreGuardRefused = 30008;

void LogError(ProgramState& state, int code, std::string_view text);
// A write that did not reach the disk: its line "書き込みできませんでした: <path>" under its
// code, counted in state.failedWrites (headless mode then ends with status 3).
void LogWriteFailure(ProgramState& state, int code, std::string_view path);
// The line LogError adds, for a given time text.
std::string FormatErrorLine(std::string_view time, int code, std::string_view text);

}  // namespace kestrova
