// The file layer on Windows: every cp932 program path is turned into UTF-16 by code page 932
// itself (whatever code page the system runs with) and goes to the wide functions.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "foundation/files.h"
#include "foundation/platform/folder_walk.h"
#include "foundation/platform/win32_text.h"
#include "foundation/platform/write_faults.h"

namespace kestrova {

namespace {

// File times count 100 ns from 1601; the program's count nanoseconds from 1970 (0: unknown).
constexpr std::int64_t kEpochDifference = 116444736000000000LL;

std::int64_t Nanos(const FILETIME& t) {
  const std::int64_t ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32) |
                             static_cast<std::int64_t>(t.dwLowDateTime);
  return ticks == 0 ? 0 : (ticks - kEpochDifference) * 100;
}

FILETIME FileTime(std::int64_t nanos) {
  const std::int64_t ticks = nanos / 100 + kEpochDifference;
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
  t.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return t;
}

// The wide form of a program path. The whole path is converted first, so the trail byte 0x5C
// of a double-byte character (ソ, 表) is never taken for a separator; "/" becomes "\\". An
// absolute path beyond the old 260-character limit is made full and given the \\?\ prefix,
// which lifts the limit.
std::wstring WidePath(std::string_view path) {
  std::wstring wide = platform::Wide(path, 932);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  const bool drive = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
  const bool unc = wide.size() > 2 && wide[0] == L'\\' && wide[1] == L'\\' && wide[2] != L'?';
  if (wide.size() < MAX_PATH - 12 || !(drive || unc)) return wide;
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(n, L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), n, full.data(), nullptr));
  return unc ? L"\\\\?\\UNC" + full.substr(1) : L"\\\\?\\" + full;
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (ok()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    bool closed = ok() && CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_;
};

HANDLE OpenForReading(std::string_view path) {
  return CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

int FileExists(std::string_view path) {
  // A directory search, as the program has always tested: wildcards match as it defines them.
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(WidePath(path).c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return 0;
  FindClose(h);
  return 1;
}

bool IsFolder(std::string_view path) {
  DWORD a = GetFileAttributesW(WidePath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(std::string_view path, std::string& bytes, FileTimes* times) {
  bytes.clear();
  Handle h(OpenForReading(path));
  if (!h.ok()) return false;
  LARGE_INTEGER size;
  if (GetFileSizeEx(h.get(), &size)) bytes.resize(static_cast<std::size_t>(size.QuadPart));
  if (times) *times = GetFileTimes(path);
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) bytes.resize(bytes.size() * 2 + 65536);
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, 1u << 30));
    if (!ReadFile(h.get(), bytes.data() + have, want, &n, nullptr) || n == 0) break;
    have += n;
  }
  bytes.resize(have);
  return true;
}

long long ReadFileInto(std::string_view path, char* dest, std::size_t capacity, long long offset) {
  Handle h(OpenForReading(path));
  if (!h.ok()) return -1;
  LARGE_INTEGER at;
  at.QuadPart = offset;
  if (offset != 0 && !SetFilePointerEx(h.get(), at, nullptr, FILE_BEGIN)) return -1;
  std::size_t have = 0;
  while (have < capacity) {
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(capacity - have, 1u << 30));
    if (!ReadFile(h.get(), dest + have, want, &n, nullptr) || n == 0) break;
    have += n;
  }
  return static_cast<long long>(have);
}

// Permission bits have no meaning here: the file takes the access rules of its folder.
AtomicFileWriter::AtomicFileWriter(std::string_view path, int /*mode*/) {
  if (platform::WriteFaultAt(path)) return;
  static std::atomic<unsigned> counter{0};
  // target_ and temp_ are program paths (cp932), turned into wide paths at every call.
  target_.assign(path);
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temp_ =
        target_ + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    created = CreateFileW(WidePath(temp_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return;
  }
  if (created == INVALID_HANDLE_VALUE) return;
  handle_ = reinterpret_cast<long long>(created);
  ok_ = true;
}

AtomicFileWriter::~AtomicFileWriter() {
  if (handle_ == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  DeleteFileW(WidePath(temp_).c_str());
}

bool AtomicFileWriter::WriteOut(std::string_view bytes) {
  return WriteAll(reinterpret_cast<HANDLE>(handle_), bytes);
}

bool AtomicFileWriter::WriteFileFrom(std::string_view source) {
  if (!Flush()) return false;
  Handle from(OpenForReading(source));
  if (!from.ok()) return ok_ = false;
  std::string chunk(kBuffer, '\0');
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(from.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
      return ok_ = false;
    }
    if (got == 0) return ok_;
    if (!WriteAll(reinterpret_cast<HANDLE>(handle_), std::string_view(chunk.data(), got))) {
      return ok_ = false;
    }
  }
}

bool AtomicFileWriter::Commit(bool durable) {
  if (!Flush()) return false;
  Handle h(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  bool ok = !durable || FlushFileBuffers(h.get());
  ok = h.Close() && ok;
  ok_ = false;
  const std::wstring temp = WidePath(temp_);
  if (!ok || !MoveFileExW(temp.c_str(), WidePath(target_).c_str(),
                          MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0))) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes, int mode, bool durable) {
  AtomicFileWriter writer(path, mode);
  writer.Write(bytes);
  return writer.Commit(durable);
}

bool AppendToFile(std::string_view path, std::string_view bytes, bool durable) {
  if (platform::WriteFaultAt(path)) return false;
  Handle h(CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.ok()) return false;
  bool ok = WriteAll(h.get(), bytes) && (!durable || FlushFileBuffers(h.get()));
  return h.Close() && ok;
}

bool TruncateFile(std::string_view path, long long size) {
  if (size < 0) return false;
  Handle h(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.ok()) return false;
  LARGE_INTEGER length;
  if (!GetFileSizeEx(h.get(), &length)) return false;
  if (length.QuadPart <= size) return true;
  LARGE_INTEGER at;
  at.QuadPart = size;
  bool ok = SetFilePointerEx(h.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(h.get()) &&
            FlushFileBuffers(h.get());
  return h.Close() && ok;
}

// The file takes the access rules of its folder; there are no permission bits to set.
bool SetFileMode(std::string_view path, int /*mode*/) { return !platform::WriteFaultAt(path); }

bool SetFileTimes(std::string_view path, const FileTimes& times) {
  Handle h(CreateFileW(WidePath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.ok()) return false;
  // Here the creation time can be set too; a time of 0 is left as it is.
  FILETIME c = FileTime(times.creation), w = FileTime(times.lastWrite),
           a = FileTime(times.lastAccess);
  return SetFileTime(h.get(), times.creation ? &c : nullptr, times.lastAccess ? &a : nullptr,
                     times.lastWrite ? &w : nullptr) != 0;
}

FileTimes GetFileTimes(std::string_view path) {
  FileTimes times;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(WidePath(path).c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return times;
  FindClose(h);
  times.creation = Nanos(data.ftCreationTime);
  times.lastWrite = Nanos(data.ftLastWriteTime);
  times.lastAccess = Nanos(data.ftLastAccessTime);
  return times;
}

bool MakeFolder(std::string_view path) {
  if (platform::WriteFaultAt(path)) return false;
  // Split in UTF-16, where a separator is a separator: each "\\" ends one more folder to make.
  const std::wstring wide = WidePath(path);
  const std::size_t first = wide.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
  for (std::size_t i = first + 1; i <= wide.size(); ++i) {
    if (i < wide.size() && wide[i] != L'\\') continue;
    if (wide[i - 1] == L'\\' || wide[i - 1] == L':') continue;  // a root, "a\\\\b", a trailing "\\"
    CreateDirectoryW(wide.substr(0, i).c_str(), nullptr);
  }
  return IsFolder(path);
}

// NTFS journals the removal itself; there is no folder to flush.
bool RemoveFile(std::string_view path, bool) { return DeleteFileW(WidePath(path).c_str()) != 0; }

bool CopyFileTo(std::string_view from, std::string_view to) {
  // The system's copy keeps the attributes and the last-write time of the original.
  if (platform::WriteFaultAt(to)) return false;
  return CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), FALSE) != 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
  if (platform::WriteFaultAt(to)) return false;
  return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

long long FileSize(std::string_view path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsWritableFolder(std::string_view path) {
  if (!IsFolder(path)) return false;
  // Access rules are only known by trying: a file that is deleted when closed.
  const std::wstring probe = WidePath(std::string(path) + "\\~kestrova-write-test.tmp");
  Handle h(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return h.ok();
}

namespace platform {

namespace {

void Walk(const std::string& folder, int depth, int level,
          const std::function<void(const std::string&, const std::string&)>& visit) {
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(WidePath(folder + "\\*.*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring_view wide = data.cFileName;
    if (wide == L"." || wide == L"..") continue;
    const std::string name = ProgramText(wide);
    const std::string child = folder + "\\" + name;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      visit(child, name);
    } else if ((depth == 0 || level + 1 < depth) &&
               !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      // A junction or folder link may lead back up the tree: it is not entered.
      Walk(child, depth, level + 1, visit);
    }
  } while (FindNextFileW(h, &data));
  FindClose(h);
}

}  // namespace

void WalkFiles(std::string_view folder, int depth,
               const std::function<void(const std::string& path, const std::string& name)>& visit) {
  Walk(std::string(folder), depth, 0, visit);
}

}  // namespace platform

}  // namespace kestrova
