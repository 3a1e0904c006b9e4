#include "foundation/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "foundation/message_pump.h"
#include "foundation/platform/platform.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"

namespace kestrova {

namespace {

std::int64_t Nanos(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

timespec Timespec(std::int64_t nanos) {
  timespec t{};
  t.tv_sec = static_cast<time_t>(nanos / 1000000000LL);
  t.tv_nsec = static_cast<long>(nanos % 1000000000LL);
  return t;
}

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int FileExists(std::string_view path) {
  if (path.empty()) return 0;
  struct stat st;
  return ::stat(platform::NativePath(path).c_str(), &st) == 0 ? 1 : 0;
}

bool IsFolder(std::string_view path) {
  struct stat st;
  return !path.empty() && ::stat(platform::NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

PathParts SplitPath(std::string_view path) {
  PathParts p;
  if (path.empty()) return p;
  if (path.size() == 1) {
    p.root = std::string(path) + ":\\";
  } else if (path.size() == 2 && path[1] == ':') {
    p.root = std::string(path) + "\\";
  } else {
    TextList parts(path, "\\\\;//;\\;/", kSplitKeepDelimiter);
    const int n = parts.Count();
    if (n == 1) {
      p.fileName = parts.Get(0);
    } else {
      p.root = parts.Get(0);
      for (int i = 1; i < n - 1; ++i) p.folders += parts.Get(i);
      p.fileName = parts.Get(n - 1);
    }
    int dot = FindLastText(p.fileName, ".");
    if (dot >= 0) {
      p.baseName = p.fileName.substr(0, static_cast<std::size_t>(dot));
      p.extension = p.fileName.substr(static_cast<std::size_t>(dot));
    } else {
      p.baseName = p.fileName;
    }
  }
  p.folderPath = p.root + p.folders;
  p.pathWithoutExtension = p.folderPath + p.baseName;
  p.fileName = p.baseName + p.extension;
  return p;
}

int MatchesAny(std::string_view name, const TextList& patterns, MessagePump* pump) {
  PumpMessages(pump, 1);
  if (patterns.Count() == 0 || patterns.View(0).empty()) return 1;
  std::string folded = FoldCase(name);
  for (int i = 0; i < patterns.Count(); ++i) {
    std::string_view p = patterns.View(i);
    if (!p.empty() && FindText(folded, FoldCase(p)) != std::string_view::npos) return 1;
  }
  return 0;
}

namespace {

void Walk(const std::string& folder, const TextList& patterns, TextList& list, int depth, int level,
          MessagePump* pump) {
  DIR* dir = ::opendir(platform::NativePath(folder).c_str());
  if (!dir) return;
  std::vector<std::pair<std::string, bool>> entries;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string cpName = platform::Utf8ToCp932(name);
    std::string child = folder + "\\" + cpName;
    entries.emplace_back(cpName, IsFolder(child));
  }
  ::closedir(dir);
  for (const auto& [name, isFolder] : entries) {
    std::string child = folder + "\\" + name;
    if (isFolder) {
      if (depth == 0 || level + 1 < depth) Walk(child, patterns, list, depth, level + 1, pump);
    } else if (MatchesAny(name, patterns, pump)) {
      list.Add(child);
    }
  }
}

}  // namespace

void ListFiles(std::string_view folder, std::string_view patternText, TextList& list, int flags,
               int depth, MessagePump* pump) {
  (void)flags;  // only files are listed
  std::string base(folder);
  StripSuffix(base, "\\");
  TextList patterns;
  if (!patternText.empty()) patterns.Split(ReplaceAll(patternText, "*", ""), ";");
  if (base.size() != 2 && FileExists(base) && !IsFolder(base)) {
    PathParts parts = SplitPath(base);
    if (MatchesAny(parts.fileName, patterns, pump)) list.Add(base);
    return;
  }
  Walk(base, patterns, list, depth, 0, pump);
}

bool ReadWholeFile(std::string_view path, std::string& bytes, FileTimes* times) {
  bytes.clear();
  int fd = ::open(platform::NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      ::close(fd);
      return false;
    }
    if (times) {
      times->creation = Nanos(st.st_ctim);
      times->lastWrite = Nanos(st.st_mtim);
      times->lastAccess = Nanos(st.st_atim);
    }
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  }
  // Read straight into the string: the size is known, but the file may still grow or shrink.
  std::size_t size = bytes.capacity() > 0 ? bytes.capacity() : 65536;
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) bytes.resize(std::max<std::size_t>(size, have * 2 + 65536));
    ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  ::close(fd);
  return true;
}

long long ReadFileInto(std::string_view path, char* dest, std::size_t capacity) {
  int fd = ::open(platform::NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  std::size_t have = 0;
  while (have < capacity) {
    ssize_t n = ::read(fd, dest + have, capacity - have);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return static_cast<long long>(have);
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes, int mode) {
  const std::string target = platform::NativePath(path);
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) mode = static_cast<int>(st.st_mode & 07777);
  std::string temp = target + ".tmp" + std::to_string(::getpid());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return false;
  ::fchmod(fd, static_cast<mode_t>(mode));
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool AppendToFile(std::string_view path, std::string_view bytes) {
  int fd = ::open(platform::NativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  return (::close(fd) == 0) && ok;
}

bool SetFileTimes(std::string_view path, const FileTimes& times) {
  // Creation time cannot be set here; access and modification times can.
  timespec t[2] = {Timespec(times.lastAccess), Timespec(times.lastWrite)};
  return ::utimensat(AT_FDCWD, platform::NativePath(path).c_str(), t, 0) == 0;
}

FileTimes GetFileTimes(std::string_view path) {
  FileTimes times;
  struct stat st;
  if (::stat(platform::NativePath(path).c_str(), &st) == 0) {
    times.creation = Nanos(st.st_ctim);
    times.lastWrite = Nanos(st.st_mtim);
    times.lastAccess = Nanos(st.st_atim);
  }
  return times;
}

bool MakeFolder(std::string_view path) {
  std::string native = platform::NativePath(path);
  if (native.empty()) return false;
  for (std::size_t i = 1; i <= native.size(); ++i) {
    if (i == native.size() || native[i] == '/') {
      std::string part = native.substr(0, i);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return IsFolder(path);
}

bool RemoveFile(std::string_view path) { return ::unlink(platform::NativePath(path).c_str()) == 0; }

bool CopyFileTo(std::string_view from, std::string_view to) {
  std::string bytes;
  if (!ReadWholeFile(from, bytes)) return false;
  return WriteFileAtomic(to, bytes);
}

bool RenameFile(std::string_view from, std::string_view to) {
  return ::rename(platform::NativePath(from).c_str(), platform::NativePath(to).c_str()) == 0;
}

long long FileSize(std::string_view path) {
  struct stat st;
  if (::stat(platform::NativePath(path).c_str(), &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

bool IsWritableFolder(std::string_view path) {
  return IsFolder(path) && ::access(platform::NativePath(path).c_str(), W_OK) == 0;
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(c) && i + 1 < name.size()) {
      ++i;  // the trail byte may be 0x5C without being a backslash
      continue;
    }
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace kestrova
