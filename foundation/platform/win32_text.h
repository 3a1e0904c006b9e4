// Text at the edge of the Windows system calls: UTF-16 from and to the program's cp932 and
// the native UTF-8. Included by the Windows files only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "foundation/platform/platform.h"

namespace kestrova::platform {

inline std::wstring Wide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

inline std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// A wide text of the system (a file name, the user's name) as program text, by the codec's
// own rules.
inline std::string ProgramText(std::wstring_view text) { return Utf8ToCp932(Utf8(text)); }

}  // namespace kestrova::platform
