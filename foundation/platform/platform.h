// What differs between platforms: the cp932 codec, native paths, special folders, the user
// and host names. platform/posix.cpp implements it here; platform/win32.cpp on Windows.
#pragma once

#include <atomic>
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::platform {

// cp932 to UTF-8; bytes without a mapping become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
// UTF-8 to cp932; a character without a cp932 form becomes replacement (default "?").
std::string Utf8ToCp932(std::string_view utf8, std::string_view replacement = "?");
// One UTF-16 code unit to its cp932 bytes; empty when it has no cp932 form.
std::string Cp932FromUnit(char16_t unit);
// A cp932 path to the native file-system form: UTF-8 first, then "\\" to "/" on POSIX,
// so the trail byte 0x5C of a double-byte character is never taken for a separator.
std::string NativePath(std::string_view cp932Path);
// A native path back to cp932 with "\\" separators.
std::string ProgramPath(std::string_view nativePath);
// A cp932 path as this platform writes paths, for messages: "/" separators on POSIX (trail
// bytes 0x5C left alone), unchanged on Windows.
std::string DisplayPath(std::string_view cp932Path);

std::string DesktopFolder();    // XDG desktop folder
std::string DocumentsFolder();  // XDG documents folder
// The program folder of an installed copy for this user (native): $XDG_DATA_HOME/kestrova, else
// ~/.local/share/kestrova; %LOCALAPPDATA%\Kestrova on Windows, which does not roam with the
// profile (the store and the PDFs grow large). Empty when there is no such folder.
std::string UserProgramFolder();
std::string TempFolder();  // ends with the separator
// The value of an environment variable in UTF-8; nothing when it is not set.
std::optional<std::string> EnvironmentVariable(const char* name);
// The command line's arguments in UTF-8, argv[0] first (Windows hands main() the arguments in
// the system's code page).
std::vector<std::string> Arguments(int argc, char** argv);
std::string HostName();        // UTF-8
std::string UserName();        // UTF-8
std::string CurrentFolder();   // native
std::string ExecutablePath();  // native path of the running program; empty when unknown
// The native path of the program the desktop opens files of this extension (".html") with;
// empty when there is none.
std::string FindProgramFor(std::string_view extension);
long long TickCount();  // milliseconds
// t broken down in the local time zone of the system.
std::tm LocalTime(std::time_t t);
// The system's name and release ("Linux 6.1.0", "Windows 10.0"); empty when unknown.
std::string SystemName();
// True when a process with this id is running (or its state cannot be told).
bool ProcessIsRunning(long long pid);
int ProcessId();
// Windows: Ctrl+C, Ctrl+Break and closing the console window store SIGINT in flag, logging off
// and shutting down SIGTERM, as the signals do elsewhere; the program is then given the time
// the system allows to stop and close (it ends when main returns). Elsewhere nothing: the
// signals themselves do it. The flag must live until the program ends.
void CatchConsoleStop(std::atomic<int>& flag);
// A large buffer about to be filled: ask for huge pages, so filling it costs fewer page faults.
void AdviseLargeBuffer(void* data, std::size_t size);
// The bytes of the file at the native path mapped read-only into memory, to be read in order;
// nothing when the file is missing or empty or cannot be mapped (the caller then reads it).
// UnmapFile gives the mapping back.
std::string_view MapFile(const std::string& nativePath);
void UnmapFile(std::string_view bytes);
// Gives back the pages that lie wholly inside part of a MapFile mapping, so they no longer count
// in the process's memory; read again, they come back from the system's file cache.
void ReleaseMappedPages(std::string_view part);
// Where key first occurs in text at or after from, byte for byte; npos when it does not.
std::size_t FindBytes(std::string_view text, std::string_view key, std::size_t from);

// An exclusive lock on the file at the native path (made when missing), held until UnlockFile
// or the end of the process; programs the process starts do not inherit it. When the lock is
// taken the file is rewritten to hold text and the handle (>= 0) is returned; when another
// process holds it, -1 and that file's text in holder; -2 when the file cannot be opened or
// locked at all.
long long LockFileExclusive(const std::string& nativePath, std::string_view text,
                            std::string& holder);
void UnlockFile(long long handle);

// Runs a program (argv[0] found on the search path) with these UTF-8 arguments, each passed
// as it is, no shell, and waits for it: its exit status with its standard output and error in
// output, or -1 when it could not be started (the reason in output).
int RunAndWait(const std::vector<std::string>& argv, std::string& output);
// A desktop notification with this cp932 text through the session's notification service;
// false with the reason in error where there is no session bus or no service answered.
bool SendDesktopNotice(std::string_view cp932Text, std::string& error);

}  // namespace kestrova::platform
