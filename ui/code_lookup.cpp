#include "ui/code_lookup.h"

#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "store/error_log.h"
#include "store/program_state.h"

namespace kestrova {

bool LoadCodeTable(const std::string& settingFolder, CodeTable& table) {
  table.lines.Clear();
  table.names = SettingsStore();
  const std::string plainPath = settingFolder + "\\zip_code.txt";
  const std::string scrambledPath = settingFolder + "\\zip_code.dat";
  const std::string& key = keys::kCodeTableScrambleKey.Text();

  bool written = true;
  std::string text;
  if (FileExists(plainPath) == 1) {
    ReadWholeFile(plainPath, text);
    written = WriteFileAtomic(scrambledPath, Scramble(text, key));
    // Without its scrambled copy the plain file is the only table there is.
    if (written) (void)RemoveFile(plainPath);
  } else {
    std::string scrambled;
    if (ReadWholeFile(scrambledPath, scrambled) && !Unscramble(scrambled, key, text)) text.clear();
  }

  TextList all;
  all.LoadLinesFromText(text);
  for (int i = 0; i < all.Count(); ++i) {
    const std::string_view line = all.View(i);
    if (line.empty()) continue;  // a blank line is no municipality
    table.lines.Add(line);
    table.names.Set(CodeTableField(line, 1), CodeTableField(line, 3));
  }
  return written;
}

std::string_view CodeTableField(std::string_view line, int field) {
  std::size_t start = 0;
  for (int i = 1; i < field; ++i) {
    // A TAB is never the trail byte of a double-byte character, so a byte search is safe.
    start = line.find('\t', start);
    if (start == std::string_view::npos) return {};
    ++start;
  }
  return line.substr(start, line.find('\t', start) - start);
}

CodeLookupWindow::CodeLookupWindow(ProgramState& state, CodeLookupView& view)
    : state_(state), view_(view) {}

void CodeLookupWindow::Open() {
  fields_.prefecture = state_.settings.GetText(keys::kLookupPrefecture);
  fields_.municipality = state_.settings.GetText(keys::kLookupMunicipality);
  fields_.codes = state_.settings.GetText(keys::kMunicipalityCodes);
  const std::string setting = state_.PathOf("\\Setting");
  if (!LoadCodeTable(setting, table_)) {
    LogError(state_, kCodeTableWriteFailed, setting + "\\zip_code.dat");
  }
  RefreshNames();
  view_.ShowFields(fields_);
  Search();
}

void CodeLookupWindow::Search() {
  view_.ReadFields(fields_);
  fields_.rows.clear();
  fields_.selected.clear();
  for (int i = 0; i < table_.lines.Count(); ++i) {
    const std::string_view line = table_.lines.View(i);
    if (!fields_.prefecture.empty() && FindText(line, fields_.prefecture) == std::string::npos)
      continue;
    if (!fields_.municipality.empty() && FindText(line, fields_.municipality) == std::string::npos)
      continue;
    fields_.rows.push_back(i);
  }
  view_.ShowFields(fields_);
}

void CodeLookupWindow::AddCodes() {
  view_.ReadFields(fields_);
  bool added = false;
  for (int row : fields_.selected) {
    if (row < 0 || row >= static_cast<int>(fields_.rows.size())) continue;
    const std::string_view code = Cell(row, 0);
    if (FindText(fields_.codes, code) != std::string::npos) continue;
    if (!fields_.codes.empty()) fields_.codes += ',';
    fields_.codes += code;
    added = true;
  }
  if (added) RefreshNames();
  view_.ShowFields(fields_);
}

void CodeLookupWindow::Close() {
  view_.ReadFields(fields_);
  state_.settings.Set(keys::kLookupPrefecture, fields_.prefecture);
  state_.settings.Set(keys::kLookupMunicipality, fields_.municipality);
  state_.settings.Set(keys::kMunicipalityCodes, fields_.codes);
}

std::string_view CodeLookupWindow::Cell(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(fields_.rows.size())) return {};
  return CodeTableField(table_.lines.View(fields_.rows[row]), column + 1);
}

void CodeLookupWindow::RefreshNames() {
  std::string names;
  if (!fields_.codes.empty()) {
    std::size_t start = 0;
    while (true) {
      const std::size_t comma = fields_.codes.find(',', start);
      const std::string_view piece = std::string_view(fields_.codes).substr(start, comma - start);
      names += table_.names.GetView(piece);
      names += '(';
      names += piece;
      names += "),";
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  fields_.names = names;
}

}  // namespace kestrova
