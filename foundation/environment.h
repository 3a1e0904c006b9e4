// The environment of program paths and system folders, and the INI file around the settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class SettingsStore;

// Where the environment comes from: the program path (cp932, "\\" separators) and the
// platform's special folders.
struct EnvironmentSource {
  std::string programPath;  // e.g. the executable, or --home DIR + "\\kestrova"
};

// The ids of the environment, 900001-900027 (SettingsStore::SetId / GetId).
inline constexpr int kEnvFirstMarker = 900001;  // "■■■環境変数1 __argv[0]より■■■"
inline constexpr int kEnvProgramPath = 900002;  // the program's full path
inline constexpr int kEnvIniFile = 900003;      // the settings file: path with ".ini"
inline constexpr int kEnvProgramBaseName = 900004;         // base name without extension
inline constexpr int kEnvProgramFileName = 900005;         // file name with extension
inline constexpr int kEnvProgramFolderWithSlash = 900006;  // the folder with a trailing "\\"
inline constexpr int kEnvPathWithoutExtension = 900007;    // the full path without extension
inline constexpr int kEnvProgramFolder = 900008;           // the base of every data path
inline constexpr int kEnvFolderMarker = 900009;  // "■■■環境変数2 各種フォルダ■■■"
inline constexpr int kEnvDesktop = 900010;
inline constexpr int kEnvStartMenuPrograms = 900011;
inline constexpr int kEnvDocuments = 900012;
inline constexpr int kEnvFavourites = 900013;
inline constexpr int kEnvStartUp = 900014;
inline constexpr int kEnvRecentDocuments = 900015;
inline constexpr int kEnvSendTo = 900016;
inline constexpr int kEnvStartMenu = 900017;
inline constexpr int kEnvDesktopDirectory = 900018;  // where a file copied to the desktop goes
inline constexpr int kEnvTempFolder = 900019;
inline constexpr int kEnvQuickTempFolder = 900020;
inline constexpr int kEnvWindowsFolder = 900021;
inline constexpr int kEnvSystemFolder = 900022;
inline constexpr int kEnvComputerName = 900023;
inline constexpr int kEnvUserName = 900024;
inline constexpr int kEnvProgramFiles = 900025;  // the Windows drive + "\\Program Files"
inline constexpr int kEnvWindowsDrive = 900026;  // drive letter and colon of the Windows folder
inline constexpr int kEnvEndMarker = 900027;     // "■■■環境変数定義終了■■■"

// Fills ids kEnvFirstMarker-kEnvEndMarker.
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

// A line of the settings file that could not be read. Its key keeps its default for the run,
// and the file keeps the line byte for byte unless the key was set anew since.
struct IniDamage {
  int line = 0;             // counted from 1
  std::string section;      // the section it stands in
  std::string key;          // "//ini/<section>/<name>"; empty when the name itself is damaged
  std::string bytes;        // the line as read; empty for a section header (read repaired)
  std::string valueAtRead;  // the key's value once the whole file was read
};
using IniDamageList = std::vector<IniDamage>;

inline constexpr int kIniNoMacros = 0x02;
// Reads the file line by line, always as code page 932: a line with a NUL or bytes that are no
// cp932 character is skipped (a damaged section header is read without those bytes) and
// listed in damage when given, the rest are kept.
void ReadIni(const std::string& path, SettingsStore& store, const SettingsStore& environment,
             int flags = 0, IniDamageList* damage = nullptr);
void ReadIniFromText(std::string_view text, SettingsStore& store, const SettingsStore& environment,
                     int flags = 0, IniDamageList* damage = nullptr);
// The bytes of the INI file for the "//ini/" entries of the store, with the damaged lines of
// the file as read put back where their keys were not set anew. CR, LF and NUL never reach the
// file from a key or value: they are removed, so no value can start a line of its own.
std::string FormatIni(const SettingsStore& store, const SettingsStore& environment, int flags = 0,
                      const IniDamageList* damage = nullptr);
// Written atomically, then given mode 0600 because it may hold the password.
[[nodiscard]] bool WriteIni(const std::string& path, const SettingsStore& store,
                            const SettingsStore& environment, int flags = 0,
                            const IniDamageList* damage = nullptr);
// The numbers of the damaged lines, joined for a message: "3, 7".
std::string DamagedLineNumbers(const IniDamageList& damage);
// The file as it is now kept as path + ".bak" (mode 0600), before the close replaces it; true
// also when there is no file to keep.
[[nodiscard]] bool KeepIniBackup(const std::string& path);

}  // namespace kestrova
