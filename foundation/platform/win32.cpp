// Windows side of the platform: code page 932 through the system's converters, native paths
// are the cp932 paths themselves turned into UTF-16 at the call.
#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "foundation/platform/platform.h"

namespace kestrova::platform {

namespace {

std::wstring Wide(std::string_view text, UINT codePage) {
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view text, UINT codePage, const char* fallback) {
  BOOL used = FALSE;
  BOOL* usedPtr = codePage == CP_UTF8 ? nullptr : &used;
  const char* fb = codePage == CP_UTF8 ? nullptr : fallback;
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              fb, usedPtr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, fb,
                      usedPtr);
  return out;
}

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, path) != S_OK) return {};
  return path;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  return Narrow(Wide(cp932, 932), CP_UTF8, nullptr);
}

std::string Utf8ToCp932(std::string_view utf8, std::string_view replacement) {
  std::string fb(replacement.empty() ? "?" : std::string(replacement.substr(0, 1)));
  return Narrow(Wide(utf8, CP_UTF8), 932, fb.c_str());
}

std::string Cp932FromUnit(char16_t unit) {
  wchar_t w = static_cast<wchar_t>(unit);
  BOOL used = FALSE;
  char out[4];
  int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &w, 1, out, sizeof out, nullptr, &used);
  if (n <= 0 || used) return {};
  return std::string(out, static_cast<std::size_t>(n));
}

std::string NativePath(std::string_view cp932Path) { return std::string(cp932Path); }
std::string ProgramPath(std::string_view nativePath) { return std::string(nativePath); }
std::string DesktopFolder() { return Folder(CSIDL_DESKTOPDIRECTORY); }
std::string DocumentsFolder() { return Folder(CSIDL_PERSONAL); }
std::string UserDataFolder() { return Folder(CSIDL_APPDATA); }

std::string TempFolder() {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  return path;
}

std::string HostName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD n = sizeof name;
  return GetComputerNameA(name, &n) ? std::string(name) : std::string();
}

std::string UserName() {
  char name[256] = {};
  DWORD n = sizeof name;
  return GetUserNameA(name, &n) ? std::string(name) : std::string();
}

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

std::string ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

// The shell tells the program of an existing file only: an empty "dummy" file of the extension
// is made in the temporary folder for the question and removed after it.
std::string FindProgramFor(std::string_view extension) {
  std::string folder = TempFolder();
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const std::string dummy = folder + "\\dummy" + std::string(extension);
  HANDLE file = CreateFileA(dummy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  CloseHandle(file);
  char program[MAX_PATH] = {};
  const auto found = reinterpret_cast<INT_PTR>(FindExecutableA(dummy.c_str(), nullptr, program));
  DeleteFileA(dummy.c_str());
  return found > 32 ? std::string(program) : std::string();
}

long long TickCount() { return static_cast<long long>(GetTickCount64()); }

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_s(&tm, &t);
  return tm;
}

// The version the system reports of itself (ntdll's answer is not shimmed for old programs).
std::string SystemName() {
  using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<GetVersionFunction>(
                         reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                   : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!get || get(&info) != 0) return {};
  return "Windows " + std::to_string(info.dwMajorVersion) + "." +
         std::to_string(info.dwMinorVersion);
}

bool ProcessIsRunning(long long pid) {
  if (pid <= 0 || pid > 0xffffffffLL) return false;
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  // Access denied: the process exists but belongs to someone else.
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
  CloseHandle(h);
  return running;
}

void AdviseLargeBuffer(void*, std::size_t) {}

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

long long LockFileExclusive(const std::string& nativePath, std::string_view text,
                            std::string& holder) {
  // Not inheritable (no security attributes), shared so a second process can read the holder.
  HANDLE file = CreateFileA(nativePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -2;
  // The locked byte lies far beyond the text, which other processes can then still read.
  OVERLAPPED at{};
  at.OffsetHigh = 1;
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    const bool held = GetLastError() == ERROR_LOCK_VIOLATION;
    if (held) {
      char buffer[512];
      DWORD n = 0;
      if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) n = 0;
      holder.assign(buffer, n);
    }
    CloseHandle(file);
    return held ? -1 : -2;
  }
  DWORD written = 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    holder.clear();
  }
  return static_cast<long long>(reinterpret_cast<std::intptr_t>(file));
}

void UnlockFile(long long handle) {
  if (handle >= 0) CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle)));
}

}  // namespace kestrova::platform
