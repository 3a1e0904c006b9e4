// What the Win32 window tests share: the Win32 desktop with scripted answers and a hook into
// every pump, controls read and pressed by id, and the native kestrova-sim that CTest starts
// beside the tests (tests/service/host_sim.sh), reached as localhost.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/sjis.h"
#include "ui/win32/win32_desktop.h"
#include "ui/win32/win32_text.h"

namespace kestrova::test {

class ScriptedWin32Desktop final : public Win32Desktop {
 public:
  MessageAnswer Message(std::string_view text, std::string_view, MessageIcon,
                        MessageButtons buttons) override {
    messages.push_back(Utf8(text));
    if (!answers.empty()) {
      MessageAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  bool ShellOpen(std::string_view target) override {
    opened.push_back(Utf8(target));
    return true;
  }
  bool IsCtrlHeld() override { return ctrlHeld; }
  void Pump(int n) override {
    Win32Desktop::Pump(n);
    if (onPump) onPump();
  }
  std::vector<std::string> messages;  // UTF-8
  std::vector<std::string> opened;    // UTF-8
  std::deque<MessageAnswer> answers;
  std::function<void()> onPump;
  bool ctrlHeld = false;
};

// A control's text in UTF-8.
inline std::string Text(HWND dialog, int id) { return Utf8(ControlText(dialog, id)); }
inline void Type(HWND dialog, int id, const std::string& utf8) {
  SetDlgItemTextW(dialog, id, WideUtf8(utf8).c_str());
}
// A click as the user makes it: the button's own BM_CLICK (a disabled button ignores it).
inline void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
inline std::string Title(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return Utf8(ProgramText(text));
}
// A key pressed in a control, through the thread's dialog message handling (Tab, Enter, Esc).
inline void PressKey(HWND control, WPARAM key) {
  MSG down{control, WM_KEYDOWN, key, 1, 0, {}};
  MSG up{control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001), 0, {}};
  if (!IsDialogMessageW(GetAncestor(control, GA_ROOT), &down)) {
    TranslateMessage(&down);
    DispatchMessageW(&down);
  }
  if (!IsDialogMessageW(GetAncestor(control, GA_ROOT), &up)) DispatchMessageW(&up);
  DispatchPendingMessages();
}

// Runs action once a top-level dialog of this thread with the given title is up (a modal
// dialog or message box the code under test opened); the thread timer fires inside its loop.
class WhenDialogOpens {
 public:
  WhenDialogOpens(const std::string& titleUtf8, std::function<void(HWND)> action) {
    self() = this;
    title_ = WideUtf8(titleUtf8);
    action_ = std::move(action);
    timer_ = SetTimer(nullptr, 0, 20, &WhenDialogOpens::Tick);
  }
  ~WhenDialogOpens() {
    KillTimer(nullptr, timer_);
    self() = nullptr;
  }
  bool ran() const { return ran_; }

 private:
  static WhenDialogOpens*& self() {
    static WhenDialogOpens* current = nullptr;
    return current;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    WhenDialogOpens* me = self();
    if (me == nullptr || me->ran_) return;
    HWND found = FindWindowW(L"#32770", me->title_.c_str());
    if (found == nullptr || !IsWindowVisible(found)) return;
    me->ran_ = true;
    me->action_(found);
  }

  std::wstring title_;
  std::function<void(HWND)> action_;
  UINT_PTR timer_ = 0;
  bool ran_ = false;
};

// A file the host sim fixture left in its folder (drive Z: is the host's root).
inline std::string HostSimFile(const std::string& name) {
  const char* dir = std::getenv("KESTROVA_HOST_SIM_DIR");
  std::string path = std::string("Z:") + (dir ? dir : "") + "/" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The host sim's address as the certificate names it (https://localhost:port), or empty when
// there is no sim beside the tests.
inline std::string HostSimUrl() {
  std::ifstream in(HostSimFile("url.txt"), std::ios::binary);
  std::string url;
  std::getline(in, url);
  while (!url.empty() && (url.back() == '\r' || url.back() == '\n')) url.pop_back();
  if (url.rfind("https://127.0.0.1:", 0) != 0) return std::string();
  return url.replace(8, 9, "localhost");
}

// The settings of a run against the host sim: the dates and codes given, both sale and rent,
// downloads, terms agreed, no wait between requests, a retention long enough that the close's
// tidy keeps the fetched records. Empty when there is no sim beside the tests.
inline std::string HostSimSettings(const std::string& lastDate = "2011/04/30",
                                   const std::string& endDate = "2011/05/02",
                                   const std::string& codes = "27128,27111") {
  const std::string url = HostSimUrl();
  if (url.empty()) return std::string();
  return "[設定]\n開始日付=2011/05/01\n終了日付=" + endDate + "\n最終日付=" + lastDate +
         "\n成約開始日=2011/05/01\n市町村コード=" + codes +
         "\nログインパス=demo-pass\n売買=1\n賃貸=1\nPDFDL=1\nPDF取得=1\n詳細情報取得=1\n同意=1\n"
         "[設定2]\n負荷軽減スリープ=0\nデータ保持期間=240\n接続先URL=" +
         url + "\nCA証明書=" + HostSimFile("ca.pem") + "\n";
}

}  // namespace kestrova::test
