#include "store/property_store.h"

#include <charconv>
#include <string>
#include <unordered_set>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/csv_writer.h"
#include "store/error_log.h"
#include "store/program_state.h"
#include "store/property_record.h"

namespace kestrova {

namespace {

constexpr const char* kTotalFile = "\\dat\\TotalData.txt";
constexpr const char* kPastFile = "\\dat\\TotalData_Kako.txt";

// Calls visit for every non-empty line of a store file's bytes, read on their own rather than
// through TextList, so that the guard does not share a fault of the reader it guards against.
// Line ends are "\r\n", "\r" or "\n"; a NUL reads as a space, as it does for every reader.
template <typename Visit>
void ForEachStoredLine(std::string& bytes, Visit visit) {
  ReplaceNuls(bytes.data(), bytes.size());
  std::string_view text = bytes;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = text.size();
    if (end > i && !visit(text.substr(i, end - i))) return;
    i = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
  }
}

void RefuseWrite(ProgramState& state, const std::string& path, std::string_view lost) {
  LogError(
      state, kStoreGuardRefused,
      SJIS("記録が失われるため書き込みを中止しました: ") + path + " (" + std::string(lost) + ")");
  ++state.failedWrites;  // what was fetched did not reach the store
}

// The store as it is on the disk, for a guard; a store that exists but cannot be read is never
// replaced (it would be replaced by what could be read of it: nothing).
bool ReadStoreAgain(ProgramState& state, const std::string& total, std::string& stored) {
  if (ReadWholeFile(total, stored) || !FileExists(total)) return true;
  RefuseWrite(state, total, total);
  return false;
}

}  // namespace

void SortByKeyColumns(TextList& list, std::string_view columns) {
  TextList numbers(columns, ",");
  std::vector<int> wanted;
  for (int i = 0; i < numbers.Count(); ++i) wanted.push_back(ToInt(numbers.View(i)));
  TextList entries;
  std::string entry;
  for (int i = 0; i < list.Count(); ++i) {
    std::string_view line = list.View(i);
    entry.clear();
    for (int column : wanted) {
      entry.append(RecordField(line, column));
      entry += '\t';
    }
    entry.append("<\t>");
    entry.append(line);
    entries.Add(entry);
  }
  entries.Sort(kSortDescending);
  list.Clear();
  for (int i = 0; i < entries.Count(); ++i) {
    std::string_view e = entries.View(i);
    // The key is one TAB-ended field per column; the line follows the "<\t>" behind it. A field
    // may itself end in "<" with the next beginning with ">", so the marker is not searched for.
    std::size_t at = 0;
    for (std::size_t k = 0; k < wanted.size(); ++k) at = e.find('\t', at) + 1;
    list.Add(e.substr(at + 3));
  }
}

bool BackupFile(ProgramState& state, const std::string& path) {
  if (!FileExists(path)) return true;
  PathParts parts = SplitPath(path);
  std::string target = parts.folderPath + "backup_" + NowStamp(*state.clock) + "_" + parts.fileName;
  if (CopyFileTo(path, target)) return true;
  LogWriteFailure(state, kBackupFailed, target);
  return false;
}

namespace {

// The line file at path, or its failure logged under code; false when it was not written.
bool SaveLinesLogged(ProgramState& state, const TextList& lines, const std::string& path,
                     int code) {
  if (lines.SaveLines(path)) return true;
  LogWriteFailure(state, code, path);
  return false;
}

}  // namespace

std::string FirstLostNumber(std::string stored, const TextList& kept) {
  std::unordered_set<std::string_view> numbers;
  numbers.reserve(static_cast<std::size_t>(kept.Count()));
  for (int i = 0; i < kept.Count(); ++i) numbers.insert(RecordField(kept.View(i), kFieldNumber));
  std::string lost;
  ForEachStoredLine(stored, [&](std::string_view line) {
    std::string_view number = RecordField(line, kFieldNumber);
    if (numbers.count(number)) return true;
    lost.assign(number.empty() ? line : number);
    return false;
  });
  return lost;
}

std::string FirstLostRecord(std::string stored, const TextList& kept, const TextList& moved) {
  std::unordered_set<std::string_view> lines;
  lines.reserve(static_cast<std::size_t>(kept.Count() + moved.Count()));
  for (int i = 0; i < kept.Count(); ++i) lines.insert(kept.View(i));
  for (int i = 0; i < moved.Count(); ++i) lines.insert(moved.View(i));
  std::string lost;
  ForEachStoredLine(stored, [&](std::string_view line) {
    if (lines.count(line)) return true;
    lost.assign(RecordField(line, kFieldNumber));
    if (lost.empty()) lost.assign(line);
    return false;
  });
  return lost;
}

int MergeNewRows(ProgramState& state) {
  if (state.newRowsFound != 1) return 0;
  int result = 0;
  const std::string stamp = NowStamp(*state.clock);
  if (state.newRows.Count() > 0) {
    const std::string runCsv = state.PathOf("\\csv\\" + stamp + "_csvdata.csv");
    if (!SaveLinesLogged(state, state.newRows, state.PathOf("\\csv\\" + stamp + ".txt"),
                         kCsvWriteFailed))
      result = kCsvWriteFailed;
    if (WriteCsv(state, state.newRows, runCsv, state.csvLayout) != 0) {
      LogWriteFailure(state, kCsvWriteFailed, runCsv);
      result = kCsvWriteFailed;
    }
  }
  const std::string total = state.PathOf(kTotalFile);
  state.newRows.LoadLines(total);
  SortByKeyColumns(state.newRows, "2,18");
  TextList kept;
  std::string previous;
  for (int i = 0; i < state.newRows.Count(); ++i) {
    std::string_view line = state.newRows.View(i);
    std::string_view number = RecordField(line, kFieldNumber);
    // The first line is always kept; later ones only when their number differs.
    if (i == 0 || number != previous) kept.Add(line);
    previous = number;
  }
  // The store is read again from the disk: a merge never writes a store without a property
  // number the old one had, whatever the loading above made of the file.
  std::string stored;
  if (!ReadStoreAgain(state, total, stored)) return kStoreGuardRefused;
  const std::string lost = FirstLostNumber(std::move(stored), kept);
  if (!lost.empty()) {
    RefuseWrite(state, total, lost);
    return kStoreGuardRefused;
  }
  // The backup holds the store as it was before this merge replaces it.
  if (!BackupFile(state, total)) result = kBackupFailed;
  // Only a complete write replaces the store; a failed one leaves the old file and the rows.
  if (!SaveLinesLogged(state, kept, total, kStoreWriteFailed)) return kStoreWriteFailed;
  state.newRows.Clear();
  state.newRowsFound = 0;
  if (WriteTotalCsv(state) != 0) result = kCsvWriteFailed;
  return result;
}

// The tidy moves records between two files, which no single rename can replace together. Before
// the past-data file grows, a marker (written whole, flushed) records its size before the append
// and the moved lines. Finishing a tidy from its marker cuts the past-data file back to that
// size, appends the moved lines (flushed), rewrites the current data without them and then
// removes the marker. Each step may be repeated with the same result, so a tidy killed at any
// point is finished by the next start (or the next tidy) running the same steps from the
// marker: every record ends up in exactly one of the two files.
namespace {

constexpr const char* kTidyMarker = "\\dat\\TidyInProgress.txt";

int FinishTidy(ProgramState& state, std::string_view marker) {
  const std::string past = state.PathOf(kPastFile);
  const std::string total = state.PathOf(kTotalFile);
  const std::size_t eol = marker.find("\r\n");
  long long pastSize = -1;
  if (eol != std::string_view::npos) std::from_chars(marker.data(), marker.data() + eol, pastSize);
  if (pastSize < 0) return kPastDataWriteFailed;  // not a marker this program wrote
  const std::string_view moved = marker.substr(eol + 2);
  TextList movedLines;
  movedLines.LoadLinesFromText(moved);
  std::unordered_set<std::string_view> movedSet;
  for (int i = 0; i < movedLines.Count(); ++i) movedSet.insert(movedLines.View(i));

  if (FileSize(past) > pastSize && !TruncateFile(past, pastSize)) {
    LogWriteFailure(state, kPastDataWriteFailed, past);
    return kPastDataWriteFailed;
  }
  if (!AppendToFile(past, moved, true)) {
    LogWriteFailure(state, kPastDataWriteFailed, past);
    return kPastDataWriteFailed;
  }
  TextList lines;
  lines.LoadLines(total);
  TextList kept;
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.View(i);
    if (!line.empty() && !movedSet.count(line)) kept.Add(line);
  }
  if (!SaveLinesLogged(state, kept, total, kStoreWriteFailed)) return kStoreWriteFailed;
  // A marker left behind is finished again at the next start, to the same result.
  (void)RemoveFile(state.PathOf(kTidyMarker), true);
  return 0;
}

}  // namespace

int CompleteInterruptedTidy(ProgramState& state) {
  const std::string path = state.PathOf(kTidyMarker);
  std::string marker;
  if (!ReadWholeFile(path, marker)) return 0;
  if (const int finished = FinishTidy(state, marker); finished != 0) return finished;
  // The killed tidy did not reach its CSV files.
  int result = 0;
  if (WritePastCsv(state) != 0) result = kCsvWriteFailed;
  if (WriteTotalCsv(state) != 0) result = kCsvWriteFailed;
  return result;
}

int TidyData(ProgramState& state) {
  if (const int finished = CompleteInterruptedTidy(state); finished != 0) return finished;
  int result = 0;
  const std::string past = state.PathOf(kPastFile);
  const std::string total = state.PathOf(kTotalFile);
  if (!BackupFile(state, past)) result = kBackupFailed;
  if (!BackupFile(state, total)) result = kBackupFailed;
  const int col = state.headerLists.lists[0].Find(0, SJIS("更新年月日"));
  // Without the update-date column nothing can be judged old: move nothing.
  if (col < 0) return result;
  const int months = state.settings.GetInt(keys::kRetentionMonths);
  const std::string cutoff = AddToDate(Now(*state.clock), kMonths, -months).substr(0, 10);
  TextList lines;
  lines.LoadLines(total);
  TextList moved;
  TextList kept;
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.View(i);
    if (line.empty()) continue;
    if (RecordField(line, col) < std::string_view(cutoff)) {
      moved.Add(line);
    } else {
      kept.Add(line);
    }
  }
  std::string stored;
  if (!ReadStoreAgain(state, total, stored)) return kStoreGuardRefused;
  const std::string lost = FirstLostRecord(std::move(stored), kept, moved);
  if (!lost.empty()) {
    RefuseWrite(state, total, lost);
    return kStoreGuardRefused;
  }
  if (moved.Count() == 0) {
    if (!FileExists(past) && !AppendToFile(past, "")) {
      LogWriteFailure(state, kPastDataWriteFailed, past);
      return kPastDataWriteFailed;
    }
    if (!SaveLinesLogged(state, kept, total, kStoreWriteFailed)) return kStoreWriteFailed;
  } else {
    const long long pastSize = FileSize(past);
    const std::string marker =
        std::to_string(pastSize < 0 ? 0 : pastSize) + "\r\n" + moved.JoinLines();
    const std::string markerPath = state.PathOf(kTidyMarker);
    if (!WriteFileAtomic(markerPath, marker)) {
      LogWriteFailure(state, kPastDataWriteFailed, markerPath);
      return kPastDataWriteFailed;
    }
    if (const int finished = FinishTidy(state, marker); finished != 0) return finished;
  }
  if (WritePastCsv(state) != 0) result = kCsvWriteFailed;
  if (WriteTotalCsv(state) != 0) result = kCsvWriteFailed;
  return result;
}

}  // namespace kestrova
