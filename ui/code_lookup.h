// The municipality code lookup without a toolkit: the code table of "Setting\\zip_code.txt"
// (kept scrambled as "zip_code.dat" after its first opening), the search over it, and the code
// list of the main window that a double-click adds to.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/settings_store.h"
#include "foundation/text_list.h"

namespace kestrova {

struct ProgramState;

// Lines "code\tprefecture\tmunicipality\treading", in file order, and the municipality name of
// every code (the last line of a code wins).
struct CodeTable {
  TextList lines;
  SettingsStore names;
};

// What went wrong while the table was read; all false when nothing did.
struct CodeTableLoad {
  bool notWritten = false;    // the .dat could not be written: the plain file stays and was read
  bool plainRefused = false;  // the plain file holds no valid row: the .dat was kept as it was,
                              // and the plain file left in place
  bool damaged = false;       // the .dat is no scrambled table, or holds no valid row
  bool cut = false;           // the .dat ends inside a line: only the rows before were read
};

// A valid table line: a five-digit code, a prefecture and a municipality name.
bool IsValidCodeRow(std::string_view line);
// Reads the table of the Setting folder. A plain "zip_code.txt" holding at least one valid
// row is first scrambled into "zip_code.dat" and removed; one holding none never replaces the
// table in use. When the .dat cannot be written the plain file stays (and the table is read
// from it), so the table is never lost.
CodeTableLoad LoadCodeTable(const std::string& settingFolder, CodeTable& table);
// Field 1-4 of a table line; empty for a missing field.
std::string_view CodeTableField(std::string_view line, int field);

// The dialog's controls (cp932 texts).
struct CodeLookupFields {
  std::string prefecture;     // "都道府県"
  std::string municipality;   // "市町村名"
  std::string names;          // "設定名称：", read-only
  std::string codes;          // "設定ｺｰﾄﾞ：", comma-separated
  std::vector<int> rows;      // the result list: table line of each row, in table order
  std::vector<int> selected;  // rows selected in the list, in list order
};

class CodeLookupView {
 public:
  virtual ~CodeLookupView() = default;
  virtual void ReadFields(CodeLookupFields& fields) = 0;
  virtual void ShowFields(const CodeLookupFields& fields) = 0;
};

class CodeLookupWindow {
 public:
  CodeLookupWindow(ProgramState& state, CodeLookupView& view);

  // The opening: texts and code list from the settings, the table read (converted first when a
  // plain file was placed), the names refreshed and one search run.
  void Open();
  // Every table line that holds both search texts (where given), in table order.
  void Search();
  // The double-click: appends the code of each selected row the list does not hold yet.
  void AddCodes();
  // The close box: the two search texts and the code list into the settings. Leaving by
  // Escape does not call this, so nothing is stored then.
  void Close();

  const CodeLookupFields& Fields() const { return fields_; }
  const CodeTable& Table() const { return table_; }
  // The text of a result row's column (0-3).
  std::string_view Cell(int row, int column) const;

 private:
  void RefreshNames();

  ProgramState& state_;
  CodeLookupView& view_;
  CodeLookupFields fields_;
  CodeTable table_;
};

}  // namespace kestrova
