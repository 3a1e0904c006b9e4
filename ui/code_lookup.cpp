#include "ui/code_lookup.h"

#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "store/error_log.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

bool HasValidRow(const TextList& lines) {
  for (int i = 0; i < lines.Count(); ++i) {
    if (IsValidCodeRow(lines.View(i))) return true;
  }
  return false;
}

bool EndsWithLineEnd(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

}  // namespace

bool IsValidCodeRow(std::string_view line) {
  const std::string_view code = CodeTableField(line, 1);
  if (code.size() != 5) return false;
  for (char c : code) {
    if (c < '0' || c > '9') return false;
  }
  return !CodeTableField(line, 2).empty() && !CodeTableField(line, 3).empty();
}

CodeTableLoad LoadCodeTable(const std::string& settingFolder, CodeTable& table) {
  table.lines.Clear();
  table.names = SettingsStore();
  const std::string plainPath = settingFolder + "\\zip_code.txt";
  const std::string scrambledPath = settingFolder + "\\zip_code.dat";
  const std::string& key = keys::kCodeTableScrambleKey.Text();

  CodeTableLoad load;
  std::string text;
  TextList all;
  bool haveTable = false;
  if (FileExists(plainPath) == 1) {
    ReadWholeFile(plainPath, text);
    all.LoadLinesFromText(text);
    if (!HasValidRow(all)) {
      // A damaged or foreign file never replaces the table in use.
      load.plainRefused = true;
    } else {
      // A table ends with its line end, so a .dat cut short can be told from a whole one.
      if (!EndsWithLineEnd(text)) text += "\r\n";
      load.notWritten = !WriteFileAtomic(scrambledPath, Scramble(text, key));
      // Without its scrambled copy the plain file is the only table there is.
      if (!load.notWritten) (void)RemoveFile(plainPath);
      haveTable = true;
    }
  }
  if (!haveTable) {
    all.Clear();
    std::string scrambled;
    if (FileExists(scrambledPath) == 1 && ReadWholeFile(scrambledPath, scrambled)) {
      if (!Unscramble(scrambled, key, text)) text.clear();
      all.LoadLinesFromText(text);
      load.damaged = !HasValidRow(all);
      load.cut = !load.damaged && !EndsWithLineEnd(text);
      // The cut line itself is no row.
      if (load.cut) all.Remove(all.Count() - 1, kRemoveTakeOut);
    }
  }

  for (int i = 0; i < all.Count() && !load.damaged; ++i) {
    const std::string_view line = all.View(i);
    if (line.empty()) continue;  // a blank line is no municipality
    table.lines.Add(line);
    table.names.Set(CodeTableField(line, 1), CodeTableField(line, 3));
  }
  return load;
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
  const CodeTableLoad load = LoadCodeTable(setting, table_);
  if (load.notWritten) LogError(state_, kCodeTableWriteFailed, setting + "\\zip_code.dat");
  // A table that cannot be used is said, or the lookup would just find nothing: a line each in
  // the error log, one message.
  std::vector<std::string> problems;
  if (load.plainRefused) {
    problems.push_back(
        SJIS(
            "市町村コード表 zip_code.txt に有効な行（5桁のコードと名称）がないため、使いません: ") +
        setting + "\\zip_code.txt");
  }
  if (load.damaged || load.cut) {
    problems.push_back((load.damaged
                            ? SJIS("市町村コード表 zip_code.dat が壊れているため読めません: ")
                            : SJIS("市町村コード表 zip_code.dat が途中で切れています: ")) +
                       setting + "\\zip_code.dat");
  }
  if (!problems.empty()) {
    std::string message;
    for (const std::string& problem : problems) {
      LogError(state_, kCodeTableDamagedCode, problem);
      message += problem + "\r\n";
    }
    state_.desktop->Message(
        message + SJIS("Setting フォルダに正しい zip_code.txt を置いてください"),
        SJIS("市町村コード検索"), MessageIcon::kWarning, MessageButtons::kOk);
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
