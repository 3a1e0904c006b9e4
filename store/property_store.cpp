#include "store/property_store.h"

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/csv_writer.h"
#include "store/program_state.h"
#include "store/property_record.h"

namespace kestrova {

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
    std::size_t at = e.find("<\t>");
    list.Add(e.substr(at + 3));
  }
}

void BackupFile(const ProgramState& state, const std::string& path) {
  if (!FileExists(path)) return;
  PathParts parts = SplitPath(path);
  std::string target = parts.folderPath + "backup_" + NowStamp(*state.clock) + "_" + parts.fileName;
  CopyFileTo(path, target);
}

void MergeNewRows(ProgramState& state) {
  if (state.newRowsFound != 1) return;
  const std::string stamp = NowStamp(*state.clock);
  if (state.newRows.Count() > 0) {
    state.newRows.SaveLines(state.PathOf("\\csv\\" + stamp + ".txt"));
    WriteCsv(state, state.newRows, state.PathOf("\\csv\\" + stamp + "_csvdata.csv"),
             state.csvLayout);
  }
  const std::string total = state.PathOf("\\dat\\TotalData.txt");
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
  // Only a complete write replaces the store; a failed one leaves the old file and the rows.
  if (!kept.SaveLines(total)) return;
  state.newRows.Clear();
  state.newRowsFound = 0;
  BackupFile(state, total);
  WriteTotalCsv(state);
}

void TidyData(ProgramState& state) {
  const std::string past = state.PathOf("\\dat\\TotalData_Kako.txt");
  const std::string total = state.PathOf("\\dat\\TotalData.txt");
  BackupFile(state, past);
  BackupFile(state, total);
  const int col = state.headerLists.lists[0].Find(0, SJIS("更新年月日"));
  // Without the update-date column nothing can be judged old: move nothing.
  if (col < 0) return;
  const int months = state.settings.GetInt(keys::kRetentionMonths);
  const std::string cutoff = AddToDate(Now(*state.clock), kMonths, -months).substr(0, 10);
  TextList lines;
  lines.LoadLines(total);
  std::string moved;
  TextList kept;
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.View(i);
    if (line.empty()) continue;
    if (RecordField(line, col) < std::string_view(cutoff)) {
      moved.append(line).append("\r\n");
    } else {
      kept.Add(line);
    }
  }
  if (!moved.empty() && !AppendToFile(past, moved)) return;
  if (!FileExists(past) && !AppendToFile(past, "")) return;
  kept.SaveLines(total);
  WritePastCsv(state);
  WriteTotalCsv(state);
}

}  // namespace kestrova
