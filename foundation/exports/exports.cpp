// The five functions other programs load from libkestrova by name, with C linkage. A foreign
// process has no desktop of ours: the clipboard copy does nothing and the folder picker cancels.
#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/desktop.h"
#include "foundation/environment.h"
#include "foundation/system_utils.h"

#ifdef _WIN32
// kestrova.def names the exports, undecorated; the Windows calling convention.
#define KESTROVA_EXPORT extern "C"
#define KESTROVA_CALL __stdcall
#else
#define KESTROVA_EXPORT extern "C" __attribute__((visibility("default")))
#define KESTROVA_CALL
#endif  // _WIN32

namespace {

void CopyOut(const std::string& text, char* buffer, std::size_t size) {
  if (!buffer || size == 0) return;
  std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
}

}  // namespace

KESTROVA_EXPORT int KESTROVA_CALL GetOpenFolderName(void* owner, const char* initialFolder,
                                                    char* result, int resultSize,
                                                    const char* title) {
  (void)owner;
  kestrova::NullDesktop desktop;
  std::string chosen;
  int r = kestrova::GetOpenFolderName(desktop, initialFolder ? initialFolder : "", chosen,
                                      title ? title : "");
  if (r == 1 && resultSize > 0) CopyOut(chosen, result, static_cast<std::size_t>(resultSize));
  return r;
}

KESTROVA_EXPORT int KESTROVA_CALL InetMemToClip(const char* text) {
  kestrova::NullDesktop desktop;
  return kestrova::InetMemToClip(desktop, text ? text : "");
}

KESTROVA_EXPORT int KESTROVA_CALL f_MDText_s(const char* data, int length, char* result) {
  if (!result) return -1;
  std::string_view bytes =
      data ? (length > 0 ? std::string_view(data, static_cast<std::size_t>(length))
                         : std::string_view(data))
           : std::string_view();
  CopyOut(kestrova::MdText(bytes), result, 33);
  return 0;
}

KESTROVA_EXPORT int KESTROVA_CALL f_MDFile_s(const char* path, char* result) {
  if (!path || !result) return -1;
  std::string hex;
  if (!kestrova::MdFile(path, hex)) return -1;
  CopyOut(hex, result, 33);
  return 0;
}

KESTROVA_EXPORT int KESTROVA_CALL m_GetSpecialFolderLocation(char* buffer, int code) {
  CopyOut(kestrova::SpecialFolderLocation(code), buffer, 1024);
  return 1;
}
