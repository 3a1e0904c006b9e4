// The property store: "\\dat\\TotalData.txt" (current) and "\\dat\\TotalData_Kako.txt" (past),
// the merge of new rows, the monthly tidy and backup copies.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

class TextList;
struct ProgramState;

// Sorts TAB-separated lines by the given fields ("2,18"), descending, then by the whole line.
void SortByKeyColumns(TextList& list, std::string_view columns);
// Copies the file to "<folder>backup_<stamp>_<name>"; a missing source is ignored. false when
// the copy could not be written (logged).
bool BackupFile(ProgramState& state, const std::string& path);
// After an online listing run that found rows: run files, merge, backup, total CSV files.
// 0 when every file was written, else the code of the worst failed write, each logged:
// kStoreWriteFailed (the store and the rows stay as they were; nothing after it is written),
// kCsvWriteFailed, kBackupFailed.
[[nodiscard]] int MergeNewRows(ProgramState& state);
// Moves records older than the retention period into past data; regenerates the CSV files.
// 0, or the code of the worst failed write as for MergeNewRows (kPastDataWriteFailed when the
// past data could not be appended to: then nothing is moved).
[[nodiscard]] int TidyData(ProgramState& state);

}  // namespace kestrova
