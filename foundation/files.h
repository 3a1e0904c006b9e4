// Files and folders. Paths are cp932 with "\\" separators ("/" accepted); every operation
// reaches the disk through the native-path conversion of platform/.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "foundation/line_reader.h"

namespace kestrova {

class TextList;
class MessagePump;

struct PathParts {
  std::string root;
  std::string folders;
  std::string baseName;
  std::string extension;
  std::string folderPath;
  std::string pathWithoutExtension;
  std::string fileName;
};

// 1 when the path names a file or folder, else 0.
int FileExists(std::string_view path);
bool IsFolder(std::string_view path);
PathParts SplitPath(std::string_view path);
// 1 when name contains any non-empty pattern (case-folded); an empty list or an empty first
// entry matches everything.
int MatchesAny(std::string_view name, const TextList& patterns, MessagePump* pump = nullptr);
inline constexpr int kListFilesFiles = 8;
// Appends "folder\\name" of every file below folder whose name matches; depth 0 = no limit.
void ListFiles(std::string_view folder, std::string_view patterns, TextList& list,
               int flags = kListFilesFiles, int depth = 0, MessagePump* pump = nullptr);

// The file layer. Missing files read as empty.
bool ReadWholeFile(std::string_view path, std::string& bytes, FileTimes* times = nullptr);
// Calls visit for every line of the file, as TextList::LoadLines divides them (CR LF, a lone CR
// and a lone LF each end a line; a NUL reads as a space), reading a few megabytes at a time, until
// visit returns false. A missing file has no lines; false when the file cannot be read.
bool ForEachLineOfFile(std::string_view path, const std::function<bool(std::string_view)>& visit);
// Reads up to capacity bytes of the file, from offset on, into dest; the byte count (0 at the
// end), or -1 when it cannot be read.
long long ReadFileInto(std::string_view path, char* dest, std::size_t capacity,
                       long long offset = 0);
// Writes to a temporary file in the same folder, flushes and renames it over path, so a crash
// or a full disk leaves the old or the new file. mode: POSIX permission bits of a new file
// (the umask applies); a replaced file keeps its own. durable false skips the flushes to the
// disk: for files that can be fetched again (downloaded pages), where the rename alone keeps a
// torn file from replacing a whole one and a flush per file would cost more than the download.
[[nodiscard]] bool WriteFileAtomic(std::string_view path, std::string_view bytes, int mode = 0644,
                                   bool durable = true);
// The same replace for a file written in pieces: the pieces gather in a buffer and go to a
// temporary file beside path; Commit flushes it and renames it over path. Until then path keeps
// its old bytes, and a writer destroyed without a successful Commit removes its temporary file.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string_view path, int mode = 0644);
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();
  // false once anything failed (the temporary file could not be made, or a write failed); every
  // later Write and the Commit are then false too.
  bool Write(std::string_view bytes);
  // Appends the whole file at source (as far as it can be read); false when it could not be.
  bool WriteFileFrom(std::string_view source);
  [[nodiscard]] bool Commit(bool durable = true);
  bool ok() const { return ok_; }

 private:
  static constexpr std::size_t kBuffer = 1 << 20;
  bool Flush();
  // Writes the bytes to the temporary file itself (the platform's part).
  bool WriteOut(std::string_view bytes);

  std::string target_;
  std::string temp_;
  std::string buffer_;
  long long handle_ = -1;  // the platform's handle of the temporary file
  bool ok_ = false;
};
// durable: the appended bytes are flushed to the disk before it returns.
[[nodiscard]] bool AppendToFile(std::string_view path, std::string_view bytes,
                                bool durable = false);
// Cuts the file back to size bytes (a file no longer than that is left as it is).
[[nodiscard]] bool TruncateFile(std::string_view path, long long size);
// Sets the POSIX permission bits of an existing file (a file that must stay private whoever
// made it); true where the platform has no such bits.
[[nodiscard]] bool SetFileMode(std::string_view path, int mode);
// Access and modification times (a time of 0 is left unchanged); creation cannot be set here.
bool SetFileTimes(std::string_view path, const FileTimes& times);
FileTimes GetFileTimes(std::string_view path);
// Creates the folder and any missing parents; true when it exists afterwards.
[[nodiscard]] bool MakeFolder(std::string_view path);
// durable: the removal is flushed to the disk before it returns.
bool RemoveFile(std::string_view path, bool durable = false);
// The copy keeps the original's permission bits and modification time; written atomically.
[[nodiscard]] bool CopyFileTo(std::string_view from, std::string_view to);
// Replaces an existing file at to.
[[nodiscard]] bool RenameFile(std::string_view from, std::string_view to);
long long FileSize(std::string_view path);
bool IsWritableFolder(std::string_view path);
// True for the name of a temporary file that WriteFileAtomic left behind ("<name>.tmp<pid>-<n>")
// when the process that wrote it is no longer running.
bool IsStaleTemporary(std::string_view name);
// Removes the stale temporary files in folder and the folders below it, down to depth levels
// (1: the folder alone); the number removed.
int RemoveStaleTemporaries(std::string_view folder, int depth);
// True when name can be used as one path component: no \ / : * ? " < > | or control
// character, not empty, "." or "..".
bool IsSafeFileName(std::string_view name);

// The seam for tests of full disks: while pathPart is listed, every write, append, copy and new
// folder whose path contains it fails before it reaches the disk. A program never lists one.
void FailWritesTo(std::string_view pathPart);
void ClearWriteFaults();

}  // namespace kestrova
