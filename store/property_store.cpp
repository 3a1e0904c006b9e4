#include "store/property_store.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
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
// false when visit stopped the walk.
template <typename Visit>
bool ForEachStoredLine(char* data, std::size_t size, Visit visit) {
  ReplaceNuls(data, size);
  std::string_view text(data, size);
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t next;
    const std::size_t end = FindLineEnd(text, i, &next);
    if (end > i && !visit(text.substr(i, end - i))) return false;
    i = next;
  }
  return true;
}

void RefuseWrite(ProgramState& state, const std::string& path, std::string_view lost) {
  LogError(state, kStoreGuardRefused,
           SJIS("記録が失われるため書き込みを中止しました: ") + platform::DisplayPath(path) + " (" +
               std::string(lost) + ")");
  ++state.failedWrites;  // what was fetched did not reach the store
}

// The same walk over the store file as it is on the disk, read 256 KB at a time so
// that the guard never holds a second copy of a large store. A missing file has no lines; false
// when the file exists but cannot be read: a store that cannot be read is never replaced (it
// would be replaced by what could be read of it: nothing).
template <typename Visit>
bool ForEachLineOnDisk(const std::string& path, Visit visit) {
  return ForEachLineOfFile(path,
                           [&](std::string_view line) { return line.empty() || visit(line); });
}

// The order of two key fields as the texts "field TAB ..." compare byte by byte: where one field
// ends first, its TAB meets the other's next byte (never a TAB: fields hold none).
int CompareField(std::string_view x, std::string_view y) {
  const std::size_t m = std::min(x.size(), y.size());
  if (const int c = m ? std::memcmp(x.data(), y.data(), m) : 0; c != 0) return c;
  if (x.size() == y.size()) return 0;
  const auto next = [m](std::string_view t) {
    return t.size() > m ? static_cast<unsigned char>(t[m]) : static_cast<unsigned char>('\t');
  };
  return next(x) < next(y) ? -1 : 1;
}

// The lines of a list with the key fields they are sorted by, as views into the list.
class KeyedLines {
 public:
  // The lines of each list in turn.
  KeyedLines(std::initializer_list<const TextList*> lists, const std::vector<int>& columns)
      : columns_(columns.size()) {
    for (const TextList* list : lists) {
      for (int i = 0; i < list->Count(); ++i) {
        lines_.push_back(list->View(i));
        for (int column : columns) keys_.push_back(RecordField(lines_.back(), column));
      }
    }
  }

  std::string_view Line(int i) const { return lines_[static_cast<std::size_t>(i)]; }
  std::string_view Key(int i, std::size_t k) const {
    return keys_[static_cast<std::size_t>(i) * columns_ + k];
  }

  // The indexes of the lines in descending order of "key1 TAB key2 TAB ... <TAB> line". Lines
  // whose texts are equal are equal bytes, so their order among themselves does not matter.
  std::vector<int> DescendingOrder() const {
    std::vector<int> order(lines_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return Compare(a, b) > 0; });
    return order;
  }

 private:
  int Compare(int a, int b) const {
    for (std::size_t k = 0; k < columns_; ++k) {
      if (const int c = CompareField(Key(a, k), Key(b, k)); c != 0) return c;
    }
    // The marker "<\t>" is the same in both; then the lines as the sort compares texts.
    const std::string_view x = Line(a), y = Line(b);
    const std::size_t m = std::min(x.size(), y.size());
    if (const int c = m ? std::memcmp(x.data(), y.data(), m) : 0; c != 0) return c;
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
  }

  std::size_t columns_;
  std::vector<std::string_view> lines_;
  std::vector<std::string_view> keys_;
};

std::vector<int> KeyColumns(std::string_view columns) {
  TextList numbers(columns, ",");
  std::vector<int> wanted;
  for (int i = 0; i < numbers.Count(); ++i) wanted.push_back(ToInt(numbers.View(i)));
  return wanted;
}

// Property numbers in descending field order, searched as they are sorted.
bool HasNumber(const std::vector<std::string_view>& descending, std::string_view number) {
  auto after = [](std::string_view x, std::string_view y) { return CompareField(x, y) > 0; };
  auto at = std::lower_bound(descending.begin(), descending.end(), number, after);
  return at != descending.end() && *at == number;
}

// The first property number of the stored lines that is not among the kept ones (the first line
// itself when it has none); empty when none is lost.
template <typename ForEachLine>
std::string FirstLostNumberOf(ForEachLine forEachLine, const std::vector<std::string_view>& kept) {
  std::string lost;
  forEachLine([&](std::string_view line) {
    std::string_view number = RecordField(line, kFieldNumber);
    if (HasNumber(kept, number)) return true;
    lost.assign(number.empty() ? line : number);
    return false;
  });
  return lost;
}

// The first stored record that is not the next non-empty line of loaded, in order (its property
// number, or the line itself when it has none); empty when every stored record was loaded as it
// is on the disk.
template <typename ForEachLine>
std::string FirstLostRecordOf(ForEachLine forEachLine, const TextList& loaded) {
  int next = 0;
  std::string lost;
  forEachLine([&](std::string_view line) {
    while (next < loaded.Count() && loaded.View(next).empty()) ++next;
    if (next < loaded.Count() && loaded.View(next) == line) {
      ++next;
      return true;
    }
    lost.assign(RecordField(line, kFieldNumber));
    if (lost.empty()) lost.assign(line);
    return false;
  });
  return lost;
}

}  // namespace

void SortByKeyColumns(TextList& list, std::string_view columns) {
  const KeyedLines keyed({&list}, KeyColumns(columns));
  TextList sorted;
  for (int i : keyed.DescendingOrder()) sorted.Add(keyed.Line(i));
  list = std::move(sorted);
}

namespace {

// The place of a backup of fileName in the order they were taken: its stamp and its number
// within that second (1 for the unnumbered first); {} when name is no backup of that file.
std::pair<std::string, long> BackupOrder(std::string_view name, std::string_view fileName) {
  constexpr std::string_view kPrefix = "backup_";
  constexpr std::size_t kStamp = 14;
  const std::string tail = "_" + std::string(fileName);
  if (name.rfind(kPrefix, 0) != 0 || name.size() < kPrefix.size() + kStamp + tail.size() ||
      name.substr(name.size() - tail.size()) != tail)
    return {};
  const std::string_view stamp = name.substr(kPrefix.size(), kStamp);
  std::string_view number = name.substr(kPrefix.size() + kStamp);
  number.remove_suffix(tail.size());
  const auto digits = [](std::string_view t) {
    return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (!digits(stamp)) return {};
  if (number.empty()) return {std::string(stamp), 1};
  long n = 0;
  if (number[0] != '-' || !digits(number.substr(1)) || number.size() > 8) return {};
  std::from_chars(number.data() + 1, number.data() + number.size(), n);
  return {std::string(stamp), n};
}

// The newest backup of the file at path, or empty.
std::string LatestBackup(const PathParts& parts) {
  TextList names;
  ListFiles(parts.folderPath, "backup_", names, kListFilesFiles, 1);
  std::pair<std::string, long> latest;
  std::string latestPath;
  for (int i = 0; i < names.Count(); ++i) {
    const auto order = BackupOrder(SplitPath(names.View(i)).fileName, parts.fileName);
    if (!order.first.empty() && order > latest) {
      latest = order;
      latestPath = names.View(i);
    }
  }
  return latestPath;
}

bool SameBytes(std::string_view a, std::string_view b) {
  if (FileSize(a) != FileSize(b)) return false;
  std::vector<char> one(1 << 20), two(1 << 20);
  for (long long at = 0;; at += static_cast<long long>(one.size())) {
    const long long n = ReadFileInto(a, one.data(), one.size(), at);
    if (n < 0 || ReadFileInto(b, two.data(), two.size(), at) != n) return false;
    if (n == 0) return true;
    if (std::memcmp(one.data(), two.data(), static_cast<std::size_t>(n)) != 0) return false;
  }
}

}  // namespace

bool BackupFile(ProgramState& state, const std::string& path) {
  if (!FileExists(path)) return true;
  PathParts parts = SplitPath(path);
  // A file that has not changed since its last backup is kept already: a tidy that fails at
  // every close would otherwise add a full copy of the store each time.
  if (const std::string latest = LatestBackup(parts); !latest.empty() && SameBytes(path, latest))
    return true;
  // Two backups in one second (the merge's, then the tidy's of the merged store) are numbered,
  // so that neither replaces the other.
  const std::string stamp = parts.folderPath + "backup_" + NowStamp(*state.clock);
  std::string target = stamp + "_" + parts.fileName;
  for (int n = 2; FileExists(target); ++n)
    target = stamp + "-" + std::to_string(n) + "_" + parts.fileName;
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
  std::vector<std::string_view> numbers;
  for (int i = 0; i < kept.Count(); ++i) numbers.push_back(RecordField(kept.View(i), kFieldNumber));
  std::sort(numbers.begin(), numbers.end(),
            [](std::string_view x, std::string_view y) { return CompareField(x, y) > 0; });
  return FirstLostNumberOf(
      [&](auto visit) { ForEachStoredLine(stored.data(), stored.size(), visit); }, numbers);
}

std::string FirstLostRecord(std::string stored, const TextList& loaded) {
  return FirstLostRecordOf(
      [&](auto visit) { ForEachStoredLine(stored.data(), stored.size(), visit); }, loaded);
}

namespace {

// Calls emit for each line of the records to be written.
using LineSource = std::function<void(const std::function<void(std::string_view)>& emit)>;

// Replaces the file at path with head and then the lines, each with CR LF; false when it could
// not be written (the old file then stays).
bool WriteLines(const std::string& path, std::string_view head, const LineSource& lines) {
  AtomicFileWriter file(path);
  file.Write(head);
  lines([&](std::string_view line) {
    file.Write(line);
    file.Write("\r\n");
  });
  return file.Commit();
}

// The store rewritten with the lines: 0, or kStoreWriteFailed (logged) when the old one stays.
int SaveStore(ProgramState& state, const LineSource& lines) {
  const std::string total = state.PathOf(kTotalFile);
  if (WriteLines(total, {}, lines)) return 0;
  LogWriteFailure(state, kStoreWriteFailed, total);
  return kStoreWriteFailed;
}

// The store with the new rows merged in, backed up first; 0, kBackupFailed when only the backup
// failed, or the code of a refused or failed write (the store and the rows then stay as they
// were).
int WriteMergedStore(ProgramState& state) {
  const std::string total = state.PathOf(kTotalFile);
  TextList stored;
  stored.LoadLines(total);
  // The newest line of each property: sorted by number and update date, newest first, the first
  // line of each number is kept. The lines are sorted as indexes; no line is copied.
  const KeyedLines keyed({&state.newRows, &stored}, {kFieldNumber, kFieldUpdated});
  std::vector<int> kept;
  std::vector<std::string_view> keptNumbers;
  const std::vector<int> order = keyed.DescendingOrder();
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::string_view number = keyed.Key(order[i], 0);
    if (i == 0 || number != keptNumbers.back()) {
      kept.push_back(order[i]);
      keptNumbers.push_back(number);
    }
  }
  // The store is read again from the disk: a merge never writes a store without a property
  // number the old one had, whatever the loading above made of the file.
  bool readable = true;
  const std::string lost = FirstLostNumberOf(
      [&](auto visit) { readable = ForEachLineOnDisk(total, visit); }, keptNumbers);
  if (!readable || !lost.empty()) {
    RefuseWrite(state, total, readable ? lost : total);
    return kStoreGuardRefused;
  }
  // The backup holds the store as it was before this merge replaces it.
  const int result = BackupFile(state, total) ? 0 : kBackupFailed;
  // Only a complete write replaces the store; a failed one leaves the old file.
  if (const int saved = SaveStore(state,
                                  [&](const auto& emit) {
                                    for (int i : kept) emit(keyed.Line(i));
                                  });
      saved != 0)
    return saved;
  return result;
}

}  // namespace

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
  const int merged = WriteMergedStore(state);
  if (merged == kBackupFailed) {
    result = kBackupFailed;  // the store was still written
  } else if (merged != 0) {
    return merged;
  }
  // The rows are in the store now; their memory goes before the CSV files read it back.
  state.newRows = TextList();
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

// Appends the lines, each with CR LF, to the file a megabyte at a time; the last append is
// flushed to the disk. false when one failed.
bool AppendLines(const std::string& path, const LineSource& lines) {
  std::string chunk;
  bool ok = true;
  lines([&](std::string_view line) {
    chunk.append(line).append("\r\n");
    if (chunk.size() < (1u << 20)) return;
    ok = ok && AppendToFile(path, chunk);
    chunk.clear();
  });
  return ok && AppendToFile(path, chunk, true);
}

// The steps after the marker: the past-data file cut back to its size before the tidy, the
// moved lines appended to it, the current data written with the kept lines, the marker removed.
int FinishTidy(ProgramState& state, long long pastSize, const LineSource& moved,
               const LineSource& kept) {
  const std::string past = state.PathOf(kPastFile);
  if (FileSize(past) > pastSize && !TruncateFile(past, pastSize)) {
    LogWriteFailure(state, kPastDataWriteFailed, past);
    return kPastDataWriteFailed;
  }
  if (!AppendLines(past, moved)) {
    LogWriteFailure(state, kPastDataWriteFailed, past);
    return kPastDataWriteFailed;
  }
  if (const int saved = SaveStore(state, kept); saved != 0) return saved;
  // A marker left behind is finished again at the next start, to the same result.
  (void)RemoveFile(state.PathOf(kTidyMarker), true);
  return 0;
}

// Finishes the tidy a marker describes: its first line the size of the past-data file before
// the append, then the moved lines. The kept lines are the current data without the moved ones.
int FinishTidyFromMarker(ProgramState& state, std::string_view marker) {
  const std::size_t eol = marker.find("\r\n");
  long long pastSize = -1;
  if (eol != std::string_view::npos) std::from_chars(marker.data(), marker.data() + eol, pastSize);
  if (pastSize < 0) return kPastDataWriteFailed;  // not a marker this program wrote
  TextList movedLines;
  movedLines.LoadLinesFromText(marker.substr(eol + 2));
  std::unordered_set<std::string_view> movedSet;
  for (int i = 0; i < movedLines.Count(); ++i) movedSet.insert(movedLines.View(i));
  TextList lines;
  lines.LoadLines(state.PathOf(kTotalFile));
  return FinishTidy(
      state, pastSize,
      [&](const auto& emit) {
        for (int i = 0; i < movedLines.Count(); ++i) emit(movedLines.View(i));
      },
      [&](const auto& emit) {
        for (int i = 0; i < lines.Count(); ++i) {
          std::string_view line = lines.View(i);
          if (!line.empty() && !movedSet.count(line)) emit(line);
        }
      });
}

// The lines of the current data older than the cutoff go to the past data, through the marker.
int MoveOldRecords(ProgramState& state, int dateColumn, const std::string& cutoff) {
  const std::string past = state.PathOf(kPastFile);
  const std::string total = state.PathOf(kTotalFile);
  TextList lines;
  lines.LoadLines(total);
  // Each line is kept, moved, or (empty) dropped; no line is copied.
  enum : char { kDropped, kKept, kMoved };
  std::vector<char> fate(static_cast<std::size_t>(lines.Count()), kDropped);
  std::size_t movedCount = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.View(i);
    if (line.empty()) continue;
    const bool old = RecordField(line, dateColumn) < std::string_view(cutoff);
    fate[static_cast<std::size_t>(i)] = old ? kMoved : kKept;
    movedCount += old;
  }
  auto each = [&](char wanted) -> LineSource {
    return [&lines, &fate, wanted](const std::function<void(std::string_view)>& emit) {
      for (int i = 0; i < lines.Count(); ++i) {
        if (fate[static_cast<std::size_t>(i)] == wanted) emit(lines.View(i));
      }
    };
  };
  // The store is read again from the disk: every record on it must be one of the lines kept or
  // moved, in the same order, or nothing is written.
  bool readable = true;
  const std::string lost =
      FirstLostRecordOf([&](auto visit) { readable = ForEachLineOnDisk(total, visit); }, lines);
  if (!readable || !lost.empty()) {
    RefuseWrite(state, total, readable ? lost : total);
    return kStoreGuardRefused;
  }
  if (movedCount == 0) {
    if (!FileExists(past) && !AppendToFile(past, "")) {
      LogWriteFailure(state, kPastDataWriteFailed, past);
      return kPastDataWriteFailed;
    }
    return SaveStore(state, each(kKept));
  }
  const long long pastSize = std::max(FileSize(past), 0LL);
  const std::string markerPath = state.PathOf(kTidyMarker);
  if (!WriteLines(markerPath, std::to_string(pastSize) + "\r\n", each(kMoved))) {
    LogWriteFailure(state, kPastDataWriteFailed, markerPath);
    return kPastDataWriteFailed;
  }
  return FinishTidy(state, pastSize, each(kMoved), each(kKept));
}

}  // namespace

int CompleteInterruptedTidy(ProgramState& state) {
  const std::string path = state.PathOf(kTidyMarker);
  std::string marker;
  if (!ReadWholeFile(path, marker)) return 0;
  if (const int finished = FinishTidyFromMarker(state, marker); finished != 0) return finished;
  // The killed tidy did not reach its CSV files.
  return WritePastAndTotalCsv(state) != 0 ? kCsvWriteFailed : 0;
}

bool TidyWasInterrupted(const ProgramState& state) { return FileExists(state.PathOf(kTidyMarker)); }

int TidyData(ProgramState& state) {
  if (const int finished = CompleteInterruptedTidy(state); finished != 0) return finished;
  int result = 0;
  if (!BackupFile(state, state.PathOf(kPastFile))) result = kBackupFailed;
  if (!BackupFile(state, state.PathOf(kTotalFile))) result = kBackupFailed;
  const int col = state.headerLists.lists[0].Find(0, SJIS("更新年月日"));
  // Without the update-date column nothing can be judged old: move nothing.
  if (col < 0) return result;
  const int months = state.settings.GetInt(keys::kRetentionMonths);
  const std::string cutoff = AddToDate(Now(*state.clock), kMonths, -months).substr(0, 10);
  // The store's lines are released before the CSV files read both files back.
  if (const int moved = MoveOldRecords(state, col, cutoff); moved != 0) return moved;
  if (WritePastAndTotalCsv(state) != 0) result = kCsvWriteFailed;
  return result;
}

}  // namespace kestrova
