// The municipality code lookup as a Win32 dialog: a thin view over CodeLookupWindow, its result
// list a report-style list view with owner data.
#pragma once

#include <string>

#include "ui/code_lookup.h"
#include "ui/win32/dialog.h"

namespace kestrova {

struct ProgramState;

class CodeLookupDialog final : public Win32Dialog, public CodeLookupView {
 public:
  explicit CodeLookupDialog(ProgramState& state);

  void ReadFields(CodeLookupFields& fields) override;
  void ShowFields(const CodeLookupFields& fields) override;

 protected:
  void OnCreated() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Keeps the controls at their distances from the right and bottom edges.
  void Layout();

  ProgramState& state_;
  CodeLookupWindow window_;
  std::wstring cell_;  // the text a list row handed out last
  SIZE client_{};      // the client size the controls were placed for
};

// The lookup opened from the main window: modal; true when the close box stored the code list
// (the main window reloads its code box from the settings either way).
bool RunCodeLookup(ProgramState& state, HWND parent);

}  // namespace kestrova
