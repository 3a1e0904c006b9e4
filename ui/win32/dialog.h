// Win32Dialog: one dialog made from its .rc template, with the modal loop the program's windows
// share. A derived view handles its messages in OnMessage; the template gives the controls,
// their ids, captions and sizes.
#pragma once

#include <windows.h>

namespace kestrova {

class Win32Dialog {
 public:
  explicit Win32Dialog(int templateId) : templateId_(templateId) {}
  virtual ~Win32Dialog();
  Win32Dialog(const Win32Dialog&) = delete;
  Win32Dialog& operator=(const Win32Dialog&) = delete;

  // Makes the window from the template, hidden, owned by parent (may be null); false when
  // Windows could not (no display). Tests drive a created dialog without running it.
  bool Create(HWND parent);
  // Shows the window and runs its messages until End(); the owner is disabled meanwhile, as
  // for any modal dialog. Creates the window first when it has not been. The End() result, or
  // -1 when the window could not be made.
  int RunModal(HWND parent);
  // Ends the modal run (or hides a dialog that is not running) with its result.
  void End(int result);
  bool ended() const { return ended_; }
  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

 protected:
  // A message of the dialog; return true when handled (result in the dialog's message
  // result). WM_INITDIALOG has been seen before the first call.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // After the window was made from the template.
  virtual void OnCreated() {}
  // The program's icon in both title-bar sizes.
  void SetProgramIcon();
  // The least size the user can drag a resizable window to (its frame included).
  void SetMinimumSize(SIZE size) { minimum_ = size; }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND hwnd_ = nullptr;
  bool ended_ = false;
  int result_ = 0;
  SIZE minimum_{};
};

// The module the resources live in (the program).
HINSTANCE ProgramModule();
// The program's icon at the given size, in pixels; shared, never destroyed.
HICON ProgramIcon(int size);
// Dispatches one message of the thread the way a dialog expects it (Tab, Enter and Escape go
// to the window's dialog). false on WM_QUIT, which is posted again for the outer loop.
bool DispatchDialogMessage(const MSG& message);

}  // namespace kestrova
