// Windows side of the platform: the system's code page 932 tables fill the codec, and native
// paths are UTF-8 with "\\" (what the toolkit takes); the system is asked through the wide
// functions, so nothing depends on the code page the system runs with.
#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>

#include <csignal>
#include <cstdint>
#include <string>

#include "foundation/platform/cp932_system.h"
#include "foundation/platform/platform.h"
#include "foundation/platform/win32_text.h"
#include "foundation/system_utils.h"

namespace kestrova::platform {

namespace {

std::string Folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, path) != S_OK) return {};
  return Utf8(path);
}

}  // namespace

char16_t SystemCp932Unit(std::string_view character) {
  wchar_t unit[2] = {};
  // Strict: a code with no character fails instead of becoming the default character.
  const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, character.data(),
                                    static_cast<int>(character.size()), unit, 2);
  return n == 1 ? static_cast<char16_t>(unit[0]) : char16_t(0);
}

std::string NativePath(std::string_view cp932Path) { return Cp932ToUtf8(cp932Path); }

std::string ProgramPath(std::string_view nativePath) {
  std::string path(nativePath);
  for (char& ch : path) {
    if (ch == '/') ch = '\\';  // UTF-8: no byte of a character can be taken for it
  }
  return Utf8ToCp932(path);
}

std::string DisplayPath(std::string_view cp932Path) { return std::string(cp932Path); }

std::string DesktopFolder() { return Folder(CSIDL_DESKTOPDIRECTORY); }
std::string DocumentsFolder() { return Folder(CSIDL_PERSONAL); }
std::string UserProgramFolder() {
  // The variable first, as XDG_DATA_HOME on Linux: Windows sets it from the profile.
  const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
  const std::string folder = local && *local ? Utf8(local) : Folder(CSIDL_LOCAL_APPDATA);
  return folder.empty() ? folder : folder + "\\Kestrova";
}

std::string TempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, path);
  return Utf8(path);
}

std::optional<std::string> EnvironmentVariable(const char* name) {
  const wchar_t* value = _wgetenv(Wide(name, CP_UTF8).c_str());
  return value ? std::optional<std::string>(Utf8(value)) : std::nullopt;
}

std::vector<std::string> Arguments(int argc, char** argv) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < n; ++i) args.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return args;
}

std::string HostName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &n) ? Utf8(name) : std::string();
}

std::string UserName() {
  wchar_t name[257] = {};
  DWORD n = 257;
  return GetUserNameW(name, &n) ? Utf8(name) : std::string();
}

std::string CurrentFolder() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring path(n, L'\0');
  n = GetCurrentDirectoryW(n, path.data());
  path.resize(n);
  return Utf8(path);
}

std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return Utf8(std::wstring_view(path).substr(0, n));
    path.resize(path.size() * 2);
  }
}

// The shell tells the program of an existing file only: an empty "dummy" file of the extension
// is made in the temporary folder for the question and removed after it.
std::string FindProgramFor(std::string_view extension) {
  std::wstring folder = Wide(TempFolder(), CP_UTF8);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  const std::wstring dummy = folder + L"\\dummy" + Wide(extension, 932);
  HANDLE file = CreateFileW(dummy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  CloseHandle(file);
  wchar_t program[MAX_PATH] = {};
  const auto found = reinterpret_cast<INT_PTR>(FindExecutableW(dummy.c_str(), nullptr, program));
  DeleteFileW(dummy.c_str());
  return found > 32 ? Utf8(program) : std::string();
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

// Files are read, not mapped, here.
std::string_view MapFile(const std::string&) { return {}; }
void UnmapFile(std::string_view) {}
void ReleaseMappedPages(std::string_view) {}

std::size_t FindBytes(std::string_view text, std::string_view key, std::size_t from) {
  return text.find(key, from);
}

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

namespace {

// A console handler can reach nothing but a static; a lock-free atomic store is safe in it.
std::atomic<int>* consoleStopFlag = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (consoleStopFlag == nullptr) return FALSE;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      consoleStopFlag->store(SIGINT);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      consoleStopFlag->store(event == CTRL_CLOSE_EVENT ? SIGINT : SIGTERM);
      // Returning would end the process at once: this thread waits while the program stops
      // the run and closes; its end (or the system's time limit) ends the process.
      for (;;) Sleep(1000);
  }
  return FALSE;
}

}  // namespace

void CatchConsoleStop(std::atomic<int>& flag) {
  consoleStopFlag = &flag;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

long long LockFileExclusive(const std::string& nativePath, std::string_view text,
                            std::string& holder) {
  // Not inheritable (no security attributes), shared so a second process can read the holder.
  // A symbolic link or junction planted under the name is opened as itself, not followed, and
  // then left alone like a hard link to another file: the lock rewrites its own file only.
  HANDLE file = CreateFileW(Wide(nativePath, CP_UTF8).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -2;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      info.nNumberOfLinks != 1) {
    CloseHandle(file);
    return -2;
  }
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

int RunAndWait(const std::vector<std::string>& argv, std::string& output) {
  output.clear();
  if (argv.empty()) return -1;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  // The arguments quoted by the rules the started program reads them back with; no shell.
  std::wstring line = Wide(WindowsCommandLine(argv), CP_UTF8);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    output = argv[0] + ": cannot be started (error " + std::to_string(GetLastError()) + ")";
    CloseHandle(readEnd);
    return -1;
  }
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) output.append(buffer, n);
  CloseHandle(readEnd);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

// Windows keeps to the run history for now.
bool SendDesktopNotice(std::string_view, std::string& error) {
  error = "no desktop notice on Windows";
  return false;
}

}  // namespace kestrova::platform
