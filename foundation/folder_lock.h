// One process per program folder: an exclusive lock on a file in the folder, held while the
// lock object lives, so a scheduled headless run and an open window never merge into the same
// store at once. The file names the holder for the message the second process shows.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// The lock file, in the program folder.
inline constexpr char kFolderLockFile[] = "kestrova.lock";

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock() { Release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Locks the folder (cp932 program path). 0 when this object holds the lock (also when it
  // already did); -1 when another process holds it, with holder set to that process's
  // "pid N, host NAME" (empty when its file names no one); -2 when the lock file cannot be
  // made or locked.
  int Acquire(std::string_view folder, std::string& holder);
  void Release();
  bool held() const { return handle_ >= 0; }

 private:
  long long handle_ = -1;
};

}  // namespace kestrova
