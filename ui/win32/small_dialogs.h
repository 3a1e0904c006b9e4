// The small dialogs of the main window: the about dialog (version, a picture that opens the home
// page) and the input dialog (one line of text, the login ID at start-up).
#pragma once

#include "ui/input_texts.h"
#include "ui/win32/dialog.h"

namespace kestrova {

struct ProgramState;

class AboutDialog final : public Win32Dialog {
 public:
  explicit AboutDialog(ProgramState& state);

 protected:
  void OnCreated() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  ProgramState& state_;
};

class InputDialog final : public Win32Dialog {
 public:
  explicit InputDialog(const InputTexts& texts);
  // Runs the prompt modally over parent; true (and the typed value in texts) on OK, texts
  // untouched else.
  static bool Ask(InputTexts& texts, HWND parent);

 protected:
  void OnCreated() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  InputTexts texts_;
};

}  // namespace kestrova
