#include "foundation/folder_lock.h"

#include "foundation/platform/platform.h"

namespace kestrova {

int FolderLock::Acquire(std::string_view folder, std::string& holder) {
  holder.clear();
  if (held()) return 0;
  std::string path(folder);
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  path += kFolderLockFile;
  const std::string mine =
      "pid " + std::to_string(platform::ProcessId()) + ", host " + platform::HostName() + "\r\n";
  std::string text;
  long long handle = platform::LockFileExclusive(platform::NativePath(path), mine, text);
  if (handle >= 0) {
    handle_ = handle;
    return 0;
  }
  // The first line of the holder's file, without its line end.
  holder = text.substr(0, text.find_first_of("\r\n"));
  return handle == -1 ? -1 : -2;
}

void FolderLock::Release() {
  platform::UnlockFile(handle_);
  handle_ = -1;
}

}  // namespace kestrova
