// POSIX side of the platform: iconv's CP932 for the codec, UTF-8 file names with "/".
#include <fcntl.h>
#include <iconv.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/platform/cp932_system.h"
#include "foundation/platform/platform.h"

namespace kestrova::platform {

namespace {

std::string FromHome(const char* relative) {
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    if (passwd* pw = getpwuid(getuid())) home = pw->pw_dir;
  }
  return home ? std::string(home) + relative : std::string();
}

// The folder of an XDG user directory ("XDG_DESKTOP_DIR") from ~/.config/user-dirs.dirs.
std::string XdgUserDir(const std::string& name, const char* fallback) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string file = config && *config ? std::string(config) + "/user-dirs.dirs"
                                       : FromHome("/.config/user-dirs.dirs");
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(name + "=", 0) != 0) continue;
    std::string value = line.substr(name.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) value = FromHome("") + value.substr(5);
    return value;
  }
  return FromHome(fallback);
}

}  // namespace

char16_t SystemCp932Unit(std::string_view character) {
  // Called only while the codec's tables are filled, once per character.
  static iconv_t cd = iconv_open("UTF-16LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(character.data());
  std::size_t inLeft = character.size();
  char out[8];
  char* outp = out;
  std::size_t outLeft = sizeof out;
  if (iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
      outp - out != 2) {
    return 0;
  }
  return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                               static_cast<unsigned char>(out[1]) << 8);
}

std::string NativePath(std::string_view cp932Path) {
  std::string path = Cp932ToUtf8(cp932Path);
  for (char& ch : path) {
    if (ch == '\\') ch = '/';
  }
  return path;
}

namespace {

// Each separator from of a cp932 path to; a trail byte belongs to its character.
std::string SwapSeparators(std::string path, char from, char to) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    auto c = static_cast<unsigned char>(path[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      ++i;
    } else if (path[i] == from) {
      path[i] = to;
    }
  }
  return path;
}

}  // namespace

std::string ProgramPath(std::string_view nativePath) {
  return SwapSeparators(Utf8ToCp932(nativePath), '/', '\\');
}

std::string DisplayPath(std::string_view cp932Path) {
  return SwapSeparators(std::string(cp932Path), '\\', '/');
}

std::string DesktopFolder() { return XdgUserDir("XDG_DESKTOP_DIR", "/Desktop"); }
std::string DocumentsFolder() { return XdgUserDir("XDG_DOCUMENTS_DIR", "/Documents"); }

std::string UserProgramFolder() {
  // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return std::string(data) + "/kestrova";
  const std::string share = FromHome("/.local/share");
  return share.empty() ? share : share + "/kestrova";
}

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::optional<std::string> EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string UserName() {
  if (passwd* pw = getpwuid(geteuid())) return pw->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size())
      return std::string(buffer.data(), static_cast<std::size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

// The desktop's own opener: xdg-open hands every file to the application the user made the
// default for its type, so it stands for the program associated with any extension.
std::string FindProgramFor(std::string_view) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "";
  while (!folders.empty()) {
    const std::size_t colon = folders.find(':');
    std::string folder(folders.substr(0, colon));
    folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
    if (folder.empty() || folder[0] != '/') continue;  // never a program of the current folder
    const std::string candidate = folder + "/xdg-open";
    struct stat info {};
    if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return {};
}

long long TickCount() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

std::string SystemName() {
  utsname u{};
  if (uname(&u) != 0) return {};
  return std::string(u.sysname) + " " + u.release;
}

bool ProcessIsRunning(long long pid) {
  if (pid <= 0 || pid > 0x7fffffffLL) return false;
  // EPERM: the process exists but belongs to someone else.
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void AdviseLargeBuffer(void* data, std::size_t size) {
  constexpr std::uintptr_t kHuge = 2u << 20;
  auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHuge - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

std::string_view MapFile(const std::string& nativePath) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat info {};
  void* bytes = MAP_FAILED;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    bytes = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  }
  ::close(fd);
  if (bytes == MAP_FAILED) return {};
  // Read ahead of the first pass, which goes from the start to the end.
  (void)::madvise(bytes, static_cast<std::size_t>(info.st_size), MADV_SEQUENTIAL);
  (void)::madvise(bytes, static_cast<std::size_t>(info.st_size), MADV_WILLNEED);
  return {static_cast<const char*>(bytes), static_cast<std::size_t>(info.st_size)};
}

void UnmapFile(std::string_view bytes) {
  if (!bytes.empty()) ::munmap(const_cast<char*>(bytes.data()), bytes.size());
}

void ReleaseMappedPages(std::string_view part) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(part.data()) + page - 1) & ~(page - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(part.data()) + part.size()) & ~(page - 1);
  // The mapping is private and never written: its pages are the file's, dropped and read again.
  if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

std::size_t FindBytes(std::string_view text, std::string_view key, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  const void* at = ::memmem(text.data() + from, text.size() - from, key.data(), key.size());
  return at == nullptr ? std::string_view::npos
                       : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
}

int ProcessId() { return static_cast<int>(::getpid()); }

void CatchConsoleStop(std::atomic<int>&) {}

long long LockFileExclusive(const std::string& nativePath, std::string_view text,
                            std::string& holder) {
  // Without O_TRUNC: the holder's text must survive until this process has the lock. A link
  // planted under the name would make every start overwrite its target: a symbolic link is not
  // followed, and a file that is not the folder's own lock file (a hard link, a device, a
  // FIFO, which O_NONBLOCK keeps from blocking the open) is left alone.
  int fd = ::open(nativePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd < 0) return -2;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
    ::close(fd);
    return -2;
  }
  // flock belongs to this open file: a second open, even in this process, is refused too.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    if (held) {
      char buffer[512];
      ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
      holder.assign(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    ::close(fd);
    return held ? -1 : -2;
  }
  if (::ftruncate(fd, 0) != 0 ||
      ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
    // The lock holds without the holder's name; a second process then names no one.
    holder.clear();
  }
  return fd;
}

void UnlockFile(long long handle) {
  if (handle >= 0) ::close(static_cast<int>(handle));  // closing the file ends its lock
}

int RunAndWait(const std::vector<std::string>& argv, std::string& output) {
  output.clear();
  if (argv.empty()) return -1;
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
    output = std::strerror(errno);
    return -1;
  }
  std::vector<char*> list;
  for (const std::string& a : argv) list.push_back(const_cast<char*>(a.c_str()));
  list.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int nothing = ::open("/dev/null", O_RDONLY);
    ::dup2(nothing, STDIN_FILENO);
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::dup2(pipeEnds[1], STDERR_FILENO);
    ::execvp(list[0], list.data());
    const std::string reason = argv[0] + ": " + std::strerror(errno) + "\n";
    (void)!::write(STDERR_FILENO, reason.data(), reason.size());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  if (pid < 0) {
    ::close(pipeEnds[0]);
    output = std::strerror(errno);
    return -1;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
    if (n > 0) output.append(buffer, static_cast<std::size_t>(n));
    if (n == 0 || (n < 0 && errno != EINTR)) break;
  }
  ::close(pipeEnds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace kestrova::platform
