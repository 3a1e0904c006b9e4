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

inline constexpr int kIniNoMacros = 0x02;
void ReadIni(const std::string& path, SettingsStore& store, const SettingsStore& environment,
             int flags = 0);
void ReadIniFromText(std::string_view text, SettingsStore& store, const SettingsStore& environment,
                     int flags = 0);
// The bytes of the INI file for the "//ini/" entries of the store.
std::string FormatIni(const SettingsStore& store, const SettingsStore& environment, int flags = 0);
// Written atomically; a new file gets mode 0600 because it may hold the password.
bool WriteIni(const std::string& path, const SettingsStore& store, const SettingsStore& environment,
              int flags = 0);

}  // namespace kestrova
