// Environment variables and the time zone set for one test and restored afterwards, the same
// way on POSIX and on Windows.
#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace kestrova::test {

#ifdef _WIN32
// Values are UTF-8, as the program reads them: set through the wide environment.
inline std::wstring WideText(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}
#endif  // _WIN32

inline void SetEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
  _wputenv_s(WideText(name).c_str(), WideText(value).c_str());
#else
  ::setenv(name.c_str(), value.c_str(), 1);
#endif  // _WIN32
}

inline void UnsetEnv(const std::string& name) {
#ifdef _WIN32
  _wputenv_s(WideText(name).c_str(), L"");  // an empty value removes the variable there
#else
  ::unsetenv(name.c_str());
#endif  // _WIN32
}

// Sets (or, with no value, removes) one variable until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) saved_ = old;  // ASCII in the tests
    value ? SetEnv(name_, *value) : UnsetEnv(name_);
  }
  ~ScopedEnv() { saved_ ? SetEnv(name_, *saved_) : UnsetEnv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

// The system's temporary folder moved to a folder called name for the scope (TMP on Windows,
// TMPDIR elsewhere); folder is how the program then names it: a program path ending in "\\".
class ScopedTempFolderVariable {
 public:
#ifdef _WIN32
  explicit ScopedTempFolderVariable(const std::string& name)
      : env_("TMP", "C:\\" + name), folder("C:\\" + name + "\\") {}
#else
  explicit ScopedTempFolderVariable(const std::string& name)
      : env_("TMPDIR", "/tmp/" + name), folder("\\tmp\\" + name + "\\") {}
#endif  // _WIN32

 private:
  ScopedEnv env_;

 public:
  const std::string folder;
};

inline void ResetTimeZone() {
#ifdef _WIN32
  _tzset();
#else
  tzset();
#endif  // _WIN32
}

// The local clock in Japan for the scope. "JST-9" is read alike by the C libraries of both
// platforms (Windows knows no zone names); Japan has kept no daylight saving since 1951.
class ScopedJapanTime {
 public:
  ScopedJapanTime() {
    tz_.emplace("TZ", "JST-9");
    ResetTimeZone();
  }
  ~ScopedJapanTime() {
    tz_.reset();
    ResetTimeZone();
  }
  ScopedJapanTime(const ScopedJapanTime&) = delete;
  ScopedJapanTime& operator=(const ScopedJapanTime&) = delete;

 private:
  std::optional<ScopedEnv> tz_;
};

}  // namespace kestrova::test
