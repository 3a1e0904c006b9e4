// The run history: one line per headless online run in "\\Log\\RunHistory.txt" (cp932, CR LF,
// TAB-separated), the last kHistoryLines kept, and the notice that tells the desktop what an
// unattended run brought in.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

inline constexpr char kRunHistoryFile[] = "\\Log\\RunHistory.txt";
inline constexpr int kHistoryLines = 1000;

// What one run did, in the order of the line's fields.
struct RunRecord {
  std::string start;  // "YYYY/MM/DD hh:mm:ss"
  std::string end;
  std::string command;  // "search", "deals", "fee", "daily", "daily --deals"
  int status = 0;       // the exit status
  long long recordsBefore = 0, recordsAfter = 0;  // records of the store
  int pagesFetched = 0, pdfsFetched = 0;
  int dealsBefore = 0, dealsAfter = 0;
  int errorLines = 0;    // lines the run added to "\\Err\\ErrLog.txt"
  int cutSearches = 0;   // searches cut at 100 hits whose further listings were lost
  bool stopped = false;  // ended early by the stop button or a signal
  std::string failure;   // why it was refused (the message's first words), cp932; not in the line

  long long NewRecords() const {
    return recordsAfter > recordsBefore ? recordsAfter - recordsBefore : 0;
  }
  int NewDeals() const { return dealsAfter > dealsBefore ? dealsAfter - dealsBefore : 0; }
};

// The line, without its CR LF: start, end, command, exit status, records before, after, new
// records, detail pages, PDFs, closed deals before, after, error-log lines, cut searches,
// stopped (0/1).
std::string HistoryLine(const RunRecord& run);
// Appends the line to the history file, keeping its last kHistoryLines lines; the file is
// replaced whole. false when it could not be written.
[[nodiscard]] bool AppendHistoryLine(const std::string& path, std::string_view line);
// The last line of the history file, or empty.
std::string LastHistoryLine(const std::string& path);
// The history line in words for the schedule's display (cp932), or empty for an empty line.
std::string DescribeHistoryLine(std::string_view line);

// "Kestrova: 新着 48 件、成約 33 件", "Kestrova: 取得に失敗しました（ログインエラー）" (cp932).
std::string NoticeText(const RunRecord& run, bool deals);

}  // namespace kestrova
