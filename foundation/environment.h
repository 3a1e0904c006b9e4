// The environment of program paths and system folders, and the INI file around the settings.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

class SettingsStore;

// Where the environment comes from: the program path (cp932, "\\" separators) and the
// platform's special folders.
struct EnvironmentSource {
  std::string programPath;  // e.g. the executable, or --home DIR + "\\kestrova"
};

inline constexpr int kEnvProgramPath = 900002;
inline constexpr int kEnvIniFile = 900003;
inline constexpr int kEnvProgramFolder = 900008;
inline constexpr int kEnvDesktop = 900010;
inline constexpr int kEnvDesktopDirectory = 900018;
inline constexpr int kEnvTempFolder = 900019;

// Fills ids 900001-900027.
void BuildEnvironment(SettingsStore& environment, const EnvironmentSource& source);
// The program path of this process (argv[0] made absolute), as cp932 with "\\" separators.
std::string ProgramPathFromArgv0(std::string_view argv0);
// Special folder or system value by code (shell ids below 0x1000, the program's own from 0x1001);
// empty when there is no counterpart.
std::string SpecialFolderLocation(int code);

// Macros of stored paths, using the given environment.
void ExpandMacros(std::string& text, const SettingsStore& environment);
void ContractMacros(std::string& text, const SettingsStore& environment);
// Expands the macros of value and stores it.
void SetDefault(std::string_view key, std::string_view value, SettingsStore& store,
                const SettingsStore& environment);

inline constexpr int kIniNoMacros = 0x02;
// Reads the file line by line: a line with a NUL or bytes that are no cp932 character is
// skipped (a damaged section header is read without those bytes), the rest are kept.
void ReadIni(const std::string& path, SettingsStore& store, const SettingsStore& environment,
             int flags = 0);
void ReadIniFromText(std::string_view text, SettingsStore& store, const SettingsStore& environment,
                     int flags = 0);
// The bytes of the INI file for the "//ini/" entries of the store.
std::string FormatIni(const SettingsStore& store, const SettingsStore& environment, int flags = 0);
// Written atomically, then given mode 0600 because it may hold the password.
[[nodiscard]] bool WriteIni(const std::string& path, const SettingsStore& store,
                            const SettingsStore& environment, int flags = 0);
// The file as it is now kept as path + ".bak" (mode 0600), before the close replaces it; true
// also when there is no file to keep.
[[nodiscard]] bool KeepIniBackup(const std::string& path);

}  // namespace kestrova
