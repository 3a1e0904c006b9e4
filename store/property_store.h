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
// Copies the file to "<folder>backup_<stamp>_<name>" ("backup_<stamp>-<n>_<name>" when that
// name is taken); a missing source, or one byte-equal to its newest backup, is not copied.
// false when the copy could not be written (logged).
bool BackupFile(ProgramState& state, const std::string& path);
// After an online listing run that found rows: run files, backup, merge, total CSV files.
// 0 when every file was written, else the code of the worst failed write, each logged:
// kStoreWriteFailed or kStoreGuardRefused (the store and the rows stay as they were; nothing
// after it is written), kCsvWriteFailed, kBackupFailed.
[[nodiscard]] int MergeNewRows(ProgramState& state);
// Moves records older than the retention period into past data; regenerates the CSV files.
// 0, or the code of the worst failed write as for MergeNewRows (kPastDataWriteFailed when the
// past data could not be appended to: then nothing is moved).
[[nodiscard]] int TidyData(ProgramState& state);
// Finishes a tidy that was stopped between its two files (the next start calls it); 0 when
// there was none or it is now finished, else the code of the failed write.
int CompleteInterruptedTidy(ProgramState& state);
// true while a tidy killed between its two files waits for CompleteInterruptedTidy.
bool TidyWasInterrupted(const ProgramState& state);

// The guards of the two rewrites of the store. stored: the bytes of the store file as they are
// on the disk. The first property number of stored that no line of kept carries, or the first
// record of stored that is not, in order, the next non-empty line of loaded (the lines the tidy
// divides between kept and moved); empty when nothing would be lost.
std::string FirstLostNumber(std::string stored, const TextList& kept);
std::string FirstLostRecord(std::string stored, const TextList& loaded);

}  // namespace kestrova
