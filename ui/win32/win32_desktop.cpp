#include "ui/win32/win32_desktop.h"

#include <shellapi.h>
#include <shobjidl.h>

#include "foundation/platform/platform.h"
#include "ui/win32/dialog.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

namespace {

UINT IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return MB_ICONINFORMATION;
    case MessageIcon::kWarning:
      return MB_ICONWARNING;
    case MessageIcon::kError:
      return MB_ICONERROR;
    case MessageIcon::kQuestion:
      return MB_ICONQUESTION;
    case MessageIcon::kNone:
      break;
  }
  return 0;
}

// A target with a scheme ("https://...", "file:...") is an address; anything else a cp932
// path of the program.
std::wstring ShellTarget(std::string_view target) {
  const std::size_t colon = target.find(':');
  if (colon != std::string_view::npos && colon > 1 &&
      target.substr(0, colon).find('\\') == std::string_view::npos &&
      target.substr(colon + 1, 2) == "//") {
    return WideText(target);
  }
  return WideUtf8(platform::NativePath(target));
}

// Releases a COM interface when it goes out of scope.
template <typename T>
struct ComPointer {
  T* p = nullptr;
  ~ComPointer() {
    if (p != nullptr) p->Release();
  }
};

}  // namespace

void DispatchPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!DispatchDialogMessage(message)) break;  // WM_QUIT: left for the outer loop
  }
}

MessageAnswer Win32Desktop::Message(std::string_view text, std::string_view caption,
                                    MessageIcon icon, MessageButtons buttons) {
  UINT style = IconStyle(icon) | MB_SETFOREGROUND;
  switch (buttons) {
    case MessageButtons::kOk:
      style |= MB_OK;
      break;
    case MessageButtons::kOkCancel:
      style |= MB_OKCANCEL;
      break;
    case MessageButtons::kYesNo:
      style |= MB_YESNO;
      break;
  }
  const HWND owner = window_ != nullptr && IsWindowVisible(window_) ? window_ : nullptr;
  switch (MessageBoxW(owner, WideText(text).c_str(), WideText(caption).c_str(), style)) {
    case IDOK:
      return MessageAnswer::kOk;
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    default:
      return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kCancel;
  }
}

bool Win32Desktop::ShellOpen(std::string_view target) {
  const std::wstring wide = ShellTarget(target);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(window_, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

std::wstring QuoteArgument(std::wstring_view argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
    return std::wstring(argument);
  // Backslashes are literal except before a quote: those before a quote (and before the
  // closing one) are doubled, and the quote itself is escaped.
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      out.append(backslashes * 2 + 1, L'\\');
    } else {
      out.append(backslashes, L'\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

std::wstring CommandLineOf(std::wstring_view program, const std::vector<std::wstring>& arguments) {
  // The program name is read by other rules (no escapes, quotes only group): it is always
  // quoted, and a file name cannot hold a quote.
  std::wstring line = L"\"" + std::wstring(program) + L"\"";
  for (const std::wstring& argument : arguments) line += L" " + QuoteArgument(argument);
  return line;
}

bool Win32Desktop::StartProgram(std::string_view program,
                                const std::vector<std::string>& arguments) {
  const std::wstring path = WideUtf8(platform::NativePath(program));
  if (path.find(L'"') != std::wstring::npos) return false;
  std::vector<std::wstring> wide;
  for (const std::string& argument : arguments) wide.push_back(WideText(argument));
  std::wstring line = CommandLineOf(path, wide);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32Desktop::SetClipboardText(std::string_view text) {
  const std::wstring wide = WideText(text);
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return false;
  void* data = GlobalLock(memory);
  memcpy(data, wide.c_str(), bytes);
  GlobalUnlock(memory);
  if (!OpenClipboard(window_)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);  // the clipboard owns it only when it took it
  return set;
}

int Win32Desktop::PickFolder(std::string_view initialFolder, std::string_view title,
                             std::string& result) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int answer = 2;
  {
    ComPointer<IFileOpenDialog> dialog;
    if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&dialog.p)))) {
      DWORD options = 0;
      dialog.p->GetOptions(&options);
      dialog.p->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
      dialog.p->SetTitle(WideText(title).c_str());
      ComPointer<IShellItem> start;
      const std::wstring folder = WideUtf8(platform::NativePath(initialFolder));
      if (!initialFolder.empty() &&
          SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(&start.p))))
        dialog.p->SetFolder(start.p);
      ComPointer<IShellItem> chosen;
      PWSTR path = nullptr;
      if (SUCCEEDED(dialog.p->Show(window_)) && SUCCEEDED(dialog.p->GetResult(&chosen.p)) &&
          SUCCEEDED(chosen.p->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        result = ProgramText(path);
        CoTaskMemFree(path);
        answer = 1;
      }
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return answer;
}

bool Win32Desktop::IsCtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

void Win32Desktop::Pump(int) { pacer_.Pump(DispatchPendingMessages); }

void Win32Desktop::Sleep(int ms) { pacer_.Sleep(ms, DispatchPendingMessages); }

}  // namespace kestrova
