// The file layer on POSIX: every read, write and change of a file goes through these
// functions, which turn the cp932 program path into the native one first.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "foundation/files.h"
#include "foundation/platform/folder_walk.h"
#include "foundation/platform/platform.h"
#include "foundation/platform/write_faults.h"

namespace kestrova {

namespace {

std::int64_t Nanos(const statx_timestamp& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// A recorded time of 0 means "unknown": that time of the file is left as it is rather than
// set to 1970.
timespec Timespec(std::int64_t nanos) {
  timespec t{};
  if (nanos == 0) {
    t.tv_nsec = UTIME_OMIT;
    return t;
  }
  t.tv_sec = static_cast<time_t>(nanos / 1000000000LL);
  t.tv_nsec = static_cast<long>(nanos % 1000000000LL);
  if (t.tv_nsec < 0) {
    t.tv_nsec += 1000000000L;
    t.tv_sec -= 1;
  }
  return t;
}

// The creation time is the birth time where the file system keeps one, else the time of the
// last status change.
FileTimes TimesOf(const struct statx& sx) {
  FileTimes times;
  times.creation = (sx.stx_mask & STATX_BTIME) ? Nanos(sx.stx_btime) : Nanos(sx.stx_ctime);
  times.lastWrite = Nanos(sx.stx_mtime);
  times.lastAccess = Nanos(sx.stx_atime);
  return times;
}

bool StatX(int dirfd, const char* path, int flags, struct statx& sx) {
  return ::statx(dirfd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0;
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

std::string FolderOf(const std::string& native) {
  const std::size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

// Flushes the folder of a file, so that a creation, rename or removal in it is on the disk.
void SyncFolderOf(const std::string& native) {
  int dir = ::open(FolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

// A fresh file beside target, created exclusively so that two writers never share one.
// The permission bits of a new file pass through the umask like any other file's.
int CreateTemporary(const std::string& target, int mode, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// A write that a test made fail, failing as on a full disk.
bool Refused(std::string_view path) {
  if (!platform::WriteFaultAt(path)) return false;
  errno = ENOSPC;
  return true;
}

// "*" any run of characters, "?" any one character, as a directory search matches a name.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

int FileExists(std::string_view path) {
  if (path.empty()) return 0;
  const std::string native = platform::NativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) == 0) return 1;
  // Wildcards in the last component match entries of its folder.
  const std::size_t slash = native.rfind('/');
  const std::string name = native.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.find_first_of("*?") == std::string::npos) return 0;
  DIR* dir = ::opendir(FolderOf(native).c_str());
  if (!dir) return 0;
  int found = 0;
  while (dirent* e = ::readdir(dir)) {
    std::string_view entry = e->d_name;
    if (entry == "." || entry == "..") continue;
    // "*.*" has always matched names without a dot as well.
    if (name == "*.*" || WildcardMatch(name, entry)) {
      found = 1;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

bool IsFolder(std::string_view path) {
  struct stat st;
  return !path.empty() && ::stat(platform::NativePath(path).c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode);
}

bool ReadWholeFile(std::string_view path, std::string& bytes, FileTimes* times) {
  bytes.clear();
  int fd = ::open(platform::NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct statx sx;
  std::size_t expected = 0;
  if (StatX(fd, "", AT_EMPTY_PATH, sx)) {
    if (S_ISDIR(sx.stx_mode)) {
      ::close(fd);
      return false;
    }
    if (times) *times = TimesOf(sx);
    expected = static_cast<std::size_t>(sx.stx_size);
  }
  // One byte more than the file's size, so the read that finds the end needs no growth; the
  // file may still grow or shrink while it is read.
  bytes.resize(expected + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  ::close(fd);
  return true;
}

long long ReadFileInto(std::string_view path, char* dest, std::size_t capacity, long long offset) {
  int fd = ::open(platform::NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  std::size_t have = 0;
  while (have < capacity) {
    ssize_t n = ::pread(fd, dest + have, capacity - have, static_cast<off_t>(offset) + have);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return static_cast<long long>(have);
}

AtomicFileWriter::AtomicFileWriter(std::string_view path, int mode) {
  if (Refused(path)) return;
  target_ = platform::NativePath(path);
  if (target_.empty()) return;
  struct stat old;
  const bool replacing = ::stat(target_.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) return;
  const int fd = CreateTemporary(target_, replacing ? 0600 : mode, temp_);
  if (fd < 0) return;
  handle_ = fd;
  // A replaced file keeps its permission bits.
  ok_ = !replacing || ::fchmod(fd, old.st_mode & 07777) == 0;
}

AtomicFileWriter::~AtomicFileWriter() {
  if (handle_ < 0) return;
  ::close(static_cast<int>(handle_));
  ::unlink(temp_.c_str());
}

bool AtomicFileWriter::WriteOut(std::string_view bytes) {
  return WriteAll(static_cast<int>(handle_), bytes);
}

bool AtomicFileWriter::WriteFileFrom(std::string_view source) {
  if (!Flush()) return false;
  const int from = ::open(platform::NativePath(source).c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) return ok_ = false;
  // The kernel copies the bytes from file to file (or shares them, where the file system can).
  const int to = static_cast<int>(handle_);
  for (;;) {
    const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
    if (n > 0) continue;
    if (n == 0) break;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
      ok_ = false;
      break;
    }
    // No kernel copy between these two: through a buffer, from where it stopped.
    std::string chunk(kBuffer, '\0');
    for (;;) {
      const ssize_t got = ::read(from, chunk.data(), chunk.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) ok_ = false;
      if (got <= 0) break;
      if (!WriteAll(to, std::string_view(chunk.data(), static_cast<std::size_t>(got)))) {
        ok_ = false;
        break;
      }
    }
    break;
  }
  ::close(from);
  return ok_;
}

bool AtomicFileWriter::Commit(bool durable) {
  if (!Flush()) return false;
  const int fd = static_cast<int>(handle_);
  handle_ = -1;
  bool ok = !durable || ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(temp_.c_str(), target_.c_str()) != 0) {
    ::unlink(temp_.c_str());
    ok_ = false;
    return false;
  }
  // The rename itself is made durable by flushing the folder.
  if (durable) SyncFolderOf(target_);
  ok_ = false;  // committed: nothing more can be written
  return true;
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes, int mode, bool durable) {
  AtomicFileWriter writer(path, mode);
  writer.Write(bytes);
  return writer.Commit(durable);
}

bool AppendToFile(std::string_view path, std::string_view bytes, bool durable) {
  if (Refused(path)) return false;
  const std::string native = platform::NativePath(path);
  int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && (!durable || ::fsync(fd) == 0);
  ok = (::close(fd) == 0) && ok;
  if (ok && durable) SyncFolderOf(native);
  return ok;
}

bool TruncateFile(std::string_view path, long long size) {
  const std::string native = platform::NativePath(path);
  struct stat st;
  if (size < 0 || ::stat(native.c_str(), &st) != 0) return false;
  if (st.st_size <= size) return true;
  int fd = ::open(native.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
  return (::close(fd) == 0) && ok;
}

bool SetFileMode(std::string_view path, int mode) {
  if (Refused(path)) return false;
  return ::chmod(platform::NativePath(path).c_str(), static_cast<mode_t>(mode)) == 0;
}

bool SetFileTimes(std::string_view path, const FileTimes& times) {
  // The creation time cannot be set here; access and modification times can.
  const timespec t[2] = {Timespec(times.lastAccess), Timespec(times.lastWrite)};
  return ::utimensat(AT_FDCWD, platform::NativePath(path).c_str(), t, 0) == 0;
}

FileTimes GetFileTimes(std::string_view path) {
  struct statx sx;
  if (path.empty() || !StatX(AT_FDCWD, platform::NativePath(path).c_str(), 0, sx)) return {};
  return TimesOf(sx);
}

bool MakeFolder(std::string_view path) {
  if (Refused(path)) return false;
  const std::string native = platform::NativePath(path);
  if (native.empty()) return false;
  for (std::size_t i = 1; i <= native.size(); ++i) {
    if (i == native.size() || native[i] == '/') {
      if (native[i - 1] == '/') continue;  // "a//b" or a trailing separator
      const std::string part = native.substr(0, i);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return IsFolder(path);
}

bool RemoveFile(std::string_view path, bool durable) {
  if (path.empty()) return false;
  const std::string native = platform::NativePath(path);
  if (::unlink(native.c_str()) != 0) return false;
  if (durable) SyncFolderOf(native);
  return true;
}

bool CopyFileTo(std::string_view from, std::string_view to) {
  // Like the copy of the desktop's file manager: the copy has the bytes, the permission bits
  // and the modification time of the original.
  struct stat st;
  if (::stat(platform::NativePath(from).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  const FileTimes times = GetFileTimes(from);
  AtomicFileWriter writer(to, static_cast<int>(st.st_mode & 0777));
  writer.WriteFileFrom(from);
  if (!writer.Commit()) return false;
  SetFileTimes(to, {0, times.lastWrite, 0});
  return true;
}

bool RenameFile(std::string_view from, std::string_view to) {
  if (Refused(to)) return false;
  return ::rename(platform::NativePath(from).c_str(), platform::NativePath(to).c_str()) == 0;
}

long long FileSize(std::string_view path) {
  struct stat st;
  if (path.empty() || ::stat(platform::NativePath(path).c_str(), &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

bool IsWritableFolder(std::string_view path) {
  return IsFolder(path) && ::access(platform::NativePath(path).c_str(), W_OK | X_OK) == 0;
}

namespace platform {

namespace {

struct Walker {
  int depth;
  const std::function<void(const std::string&, const std::string&)>& visit;
  // Folders on the way down from the start folder: a link back to one of them is not entered
  // again, so a looping link cannot make the walk endless.
  std::vector<std::pair<dev_t, ino_t>> ancestors;

  bool IsAncestor(const struct stat& st) const {
    for (const auto& [dev, ino] : ancestors) {
      if (dev == st.st_dev && ino == st.st_ino) return true;
    }
    return false;
  }

  void Walk(const std::string& folder, const std::string& native, int level) {
    DIR* dir = ::opendir(native.c_str());
    if (!dir) return;
    struct Entry {
      std::string name;  // native
      bool folder;
    };
    // Entries are read first and walked afterwards, in the order the folder returns them, so
    // that no more than one folder is held open at a time.
    std::vector<Entry> entries;
    while (dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      bool isFolder = e->d_type == DT_DIR;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
        struct stat st;
        isFolder = ::stat((native + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
      entries.push_back({std::move(name), isFolder});
    }
    ::closedir(dir);
    for (const Entry& entry : entries) {
      const std::string name = ProgramPath(entry.name);
      const std::string child = folder + "\\" + name;
      const std::string childNative = native + "/" + entry.name;
      if (!entry.folder) {
        visit(child, name);
        continue;
      }
      if (depth != 0 && level + 1 >= depth) continue;
      struct stat st;
      if (::stat(childNative.c_str(), &st) != 0 || IsAncestor(st)) continue;
      ancestors.emplace_back(st.st_dev, st.st_ino);
      Walk(child, childNative, level + 1);
      ancestors.pop_back();
    }
  }
};

}  // namespace

void WalkFiles(std::string_view folder, int depth,
               const std::function<void(const std::string& path, const std::string& name)>& visit) {
  const std::string native = NativePath(folder);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  Walker walker{depth, visit, {{st.st_dev, st.st_ino}}};
  walker.Walk(std::string(folder), native, 0);
}

}  // namespace platform

}  // namespace kestrova
