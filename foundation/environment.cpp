#include "foundation/environment.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/files.h"
#include "foundation/line_reader.h"
#include "foundation/platform/platform.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"

namespace kestrova {

namespace {

// A native folder as a program path ending in "\\".
std::string FolderText(const std::string& native) {
  if (native.empty()) return {};
  std::string path = platform::ProgramPath(native);
  if (path.back() != '\\') path += '\\';
  return path;
}

std::string TempFileName(const std::string& folder) {
  char name[32];
  std::snprintf(name, sizeof name, "t%07lld.txt", platform::TickCount() % 10000000LL);
  return folder + name;
}

bool IsAbsolute(std::string_view path) {
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return true;
  if (path.rfind("\\\\", 0) == 0) return true;
  return !path.empty() && path[0] == '\\';  // a POSIX root
}

}  // namespace

std::string SpecialFolderLocation(int code) {
  switch (code) {
    case 0x0000:
    case 0x0010: {
      std::string desktop = platform::DesktopFolder();
      return desktop.empty() ? std::string() : platform::ProgramPath(desktop);
    }
    case 0x0005: {
      std::string documents = platform::DocumentsFolder();
      return documents.empty() ? std::string() : platform::ProgramPath(documents);
    }
    case 0x1001:
      return FolderText(platform::TempFolder());
    case 0x1002:
      return TempFileName(FolderText(platform::TempFolder()));
    case 0x1005:
      return platform::Utf8ToCp932(platform::HostName());
    case 0x1006:
      return platform::Utf8ToCp932(platform::UserName());
    case 0x1007:
    case 0x1008: {
      const auto quick = platform::EnvironmentVariable("TEMP_QUICK");
      std::string folder = quick && !quick->empty() ? platform::Utf8ToCp932(*quick)
                                                    : FolderText(platform::TempFolder());
      return code == 0x1007 ? folder : TempFileName(folder);
    }
    default:
      // No Windows folder, system folder, start menu or the like on this platform.
      return {};
  }
}

std::string ProgramPathFromArgv0(std::string_view argv0) {
  // A name without any folder was found through the search path, not in the current folder:
  // the program's own file tells where it really is.
  if (argv0.find('/') == std::string_view::npos) {
    std::string self = platform::ExecutablePath();
    if (!self.empty()) return platform::ProgramPath(self);
  }
  std::string path = platform::ProgramPath(argv0);
  if (IsAbsolute(path)) return path;
  std::string current = platform::ProgramPath(platform::CurrentFolder());
  StripSuffix(current, "\\");
  return current + "\\" + path;
}

void BuildEnvironment(SettingsStore& env, const EnvironmentSource& source) {
  std::string full = source.programPath;
  PathParts parts = SplitPath(full);
  std::string folder = full;
  CutAtLast(folder, "\\");
  env.SetId(kEnvFirstMarker, SJIS("■■■環境変数1 __argv[0]より■■■"));
  env.SetId(kEnvProgramPath, full);
  env.SetId(kEnvIniFile, parts.pathWithoutExtension + ".ini");
  env.SetId(kEnvProgramBaseName, parts.baseName);
  env.SetId(kEnvProgramFileName, parts.fileName);
  env.SetId(kEnvProgramFolderWithSlash, parts.folderPath);
  env.SetId(kEnvPathWithoutExtension, parts.pathWithoutExtension);
  env.SetId(kEnvProgramFolder, folder);
  env.SetId(kEnvFolderMarker, SJIS("■■■環境変数2 各種フォルダ■■■"));
  static const int kShell[][2] = {
      {kEnvDesktop, 0x0000},      {kEnvStartMenuPrograms, 0x0002}, {kEnvDocuments, 0x0005},
      {kEnvFavourites, 0x0006},   {kEnvStartUp, 0x0007},           {kEnvRecentDocuments, 0x0008},
      {kEnvSendTo, 0x0009},       {kEnvStartMenu, 0x000B},         {kEnvDesktopDirectory, 0x0010},
      {kEnvTempFolder, 0x1001},   {kEnvQuickTempFolder, 0x1007},   {kEnvWindowsFolder, 0x1003},
      {kEnvSystemFolder, 0x1004}, {kEnvComputerName, 0x1005},      {kEnvUserName, 0x1006}};
  for (const auto& [id, code] : kShell) env.SetId(id, SpecialFolderLocation(code));
  std::string windows = env.GetId(kEnvWindowsFolder);
  env.SetId(kEnvProgramFiles,
            windows.size() >= 3 ? windows.substr(0, 3) + "Program Files" : std::string());
  env.SetId(kEnvWindowsDrive, windows.size() >= 2 ? windows.substr(0, 2) : std::string());
  env.SetId(kEnvEndMarker, SJIS("■■■環境変数定義終了■■■"));
}

void ExpandMacros(std::string& text, const SettingsStore& env) {
  static const std::pair<const char*, int> kMacros[] = {
      {"$ARGV0$", kEnvProgramFolder},  {"$M_ARGV0_DIR", kEnvProgramFolder},
      {"$DESKTOP$", kEnvDesktop},      {"$TEMPDIR$", kEnvTempFolder},
      {"$WINDIR$", kEnvWindowsFolder}, {"$WINDRIVE$", kEnvWindowsDrive},
      {"$PROGRAM$", kEnvProgramFiles}};
  for (const auto& [macro, id] : kMacros) ReplaceAllInPlace(text, macro, env.GetView(IdKey(id)));
}

void ContractMacros(std::string& text, const SettingsStore& env) {
  static const std::pair<int, const char*> kMacros[] = {
      {kEnvProgramFolder, "$ARGV0$"},   {kEnvDesktop, "$DESKTOP$"},
      {kEnvTempFolder, "$TEMPDIR$"},    {kEnvWindowsFolder, "$WINDIR$"},
      {kEnvWindowsDrive, "$WINDRIVE$"}, {kEnvProgramFiles, "$PROGRAM$"}};
  for (const auto& [id, macro] : kMacros) {
    std::string_view value = env.GetView(IdKey(id));
    if (!value.empty()) ReplaceAllInPlace(text, value, macro);
  }
}

void SetDefault(std::string_view key, std::string_view value, SettingsStore& store,
                const SettingsStore& env) {
  std::string text(value);
  ExpandMacros(text, env);
  store.Set(key, text);
}

namespace {

bool Decodes(std::string_view bytes) {
  return platform::Cp932ToUtf8(bytes).find("\xEF\xBF\xBD") == std::string::npos;
}

// A line the codec cannot read whole (a NUL, a lead byte without its trail byte, a pair
// without a character) is no setting of this program's: the file was damaged there.
bool IsReadableLine(std::string_view line) {
  return line.find('\0') == std::string_view::npos && Decodes(line);
}

// The line without the bytes that are no character.
std::string ReadableBytes(std::string_view line) {
  std::string out;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t n =
        IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size() ? 2 : 1;
    const std::string_view c = line.substr(i, n);
    if (c[0] != '\0' && Decodes(c)) {
      out.append(c);
      i += n;
    } else {
      ++i;  // a bad lead byte goes alone: the byte after it may be a character of its own
    }
  }
  return out;
}

// The name of a key line's text before its "=": up to two trailing blanks, then up to two
// trailing tabs removed.
std::string KeyName(std::string_view before) {
  std::string key(before);
  for (int k = 0; k < 2 && !key.empty() && key.back() == ' '; ++k) key.pop_back();
  for (int k = 0; k < 2 && !key.empty() && key.back() == '\t'; ++k) key.pop_back();
  return key;
}

IniDamage DamagedLine(std::string_view line, int number, const std::string& section) {
  IniDamage d;
  d.line = number;
  d.section = section;
  if (line[0] == '[') return d;  // read repaired; the section is written from its keys
  d.bytes = std::string(line);
  const std::size_t eq = FindText(line, "=");
  if (eq != std::string_view::npos && IsReadableLine(line.substr(0, eq)))
    d.key = "//ini/" + section + "/" + KeyName(line.substr(0, eq));
  return d;
}

// One line of the file into the store; section is the current section.
void ReadIniLine(std::string_view line, int number, std::string& section, SettingsStore& store,
                 const SettingsStore& env, int flags, IniDamageList* damage) {
  if (line.empty() || line[0] == '#' || line[0] == ';') return;
  std::string repaired;
  if (!IsReadableLine(line)) {
    if (damage != nullptr) damage->push_back(DamagedLine(line, number, section));
    // A damaged key line is dropped (the key keeps its default); a damaged section header is
    // read without its bad bytes, so the keys below it still find their section.
    if (line[0] != '[') return;
    repaired = ReadableBytes(line);
    line = repaired;
  }
  if (line[0] == '[') {
    std::size_t close = FindText(line, "]");
    if (close != std::string_view::npos) section = std::string(line.substr(1, close - 1));
    return;
  }
  std::size_t eq = FindText(line, "=");
  if (eq == std::string_view::npos) return;
  const std::string key = KeyName(line.substr(0, eq));
  std::size_t v = eq + 1;
  while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
  std::string value(line.substr(v));
  if (!(flags & kIniNoMacros)) ExpandMacros(value, env);
  store.Set("//ini/" + section + "/" + key, value);
}

// Text bound for one line of the file: CR, LF and NUL would end it or cut it.
std::string OneLine(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
  return text;
}

}  // namespace

void ReadIniFromText(std::string_view data, SettingsStore& store, const SettingsStore& env,
                     int flags, IniDamageList* damage) {
  const std::size_t firstDamage = damage != nullptr ? damage->size() : 0;
  // Line by line, past any NUL: a damaged line costs that line and no more.
  std::string section;
  std::size_t i = 0;
  for (int number = 1; i < data.size(); ++number) {
    std::size_t end = data.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = data.size();
    ReadIniLine(data.substr(i, end - i), number, section, store, env, flags, damage);
    i = end;
    if (i < data.size() && data[i] == '\r') ++i;
    if (i < data.size() && data[i] == '\n') ++i;
  }
  if (damage == nullptr) return;
  for (std::size_t d = firstDamage; d < damage->size(); ++d)
    (*damage)[d].valueAtRead = store.GetText((*damage)[d].key);
}

void ReadIni(const std::string& path, SettingsStore& store, const SettingsStore& env, int flags,
             IniDamageList* damage) {
  LineReaderPtr reader = Open(path, "fr");
  if (!reader) return;
  // Always code page 932: a guess at UTF-16 from NUL bytes would read a damaged file as
  // nonsense and lose every setting in it.
  ReadIniFromText(reader->Text(), store, env, flags, damage);
}

std::string FormatIni(const SettingsStore& store, const SettingsStore& env, int flags,
                      const IniDamageList* damage) {
  const IniDamageList none;
  const IniDamageList& damaged = damage != nullptr ? *damage : none;
  std::vector<bool> placed(damaged.size());
  std::string out;
  // The damaged lines of a section not placed at their keys go at its end.
  auto closeSection = [&](std::string_view foldedSection) {
    for (std::size_t d = 0; d < damaged.size(); ++d) {
      if (placed[d] || FoldCase(damaged[d].section) != foldedSection) continue;
      if (!damaged[d].bytes.empty()) out += damaged[d].bytes + "\r\n";
      placed[d] = true;
    }
  };
  std::string previousSection;
  for (int i = 0; i < store.Count(); ++i) {
    std::string_view folded = store.FoldedKeyAt(i);
    if (folded.rfind("//ini/", 0) != 0) continue;
    std::string_view rest = std::string_view(store.KeyTextAt(i)).substr(6);
    std::size_t slash = FindText(rest, "/");
    // A key without a section is written under the empty section.
    std::string section = OneLine(
        std::string(slash == std::string_view::npos ? std::string_view() : rest.substr(0, slash)));
    std::string name =
        OneLine(std::string(slash == std::string_view::npos ? rest : rest.substr(slash + 1)));
    std::string foldedSection = FoldCase(section);
    if (foldedSection != previousSection) {
      closeSection(previousSection);
      out += "[" + section + "]\r\n";
      previousSection = foldedSection;
    }
    // A damaged line stays as it was while its key holds the value it had after the read.
    bool kept = false;
    for (std::size_t d = 0; d < damaged.size(); ++d) {
      if (placed[d] || damaged[d].key.empty() || FoldCase(damaged[d].key) != folded) continue;
      placed[d] = true;
      if (damaged[d].valueAtRead != store.ValueAt(i)) continue;
      out += damaged[d].bytes + "\r\n";
      kept = true;
    }
    if (kept) continue;
    std::string value = store.ValueAt(i);
    if (!(flags & kIniNoMacros)) ContractMacros(value, env);
    out += name + "=" + OneLine(std::move(value)) + "\r\n";
  }
  closeSection(previousSection);
  // Damaged lines of sections that have no key left.
  for (std::size_t d = 0; d < damaged.size(); ++d) {
    if (placed[d] || damaged[d].bytes.empty()) continue;
    out += "[" + damaged[d].section + "]\r\n";
    closeSection(FoldCase(damaged[d].section));
  }
  return out;
}

std::string DamagedLineNumbers(const IniDamageList& damage) {
  std::string numbers;
  for (const IniDamage& d : damage)
    numbers += (numbers.empty() ? "" : ", ") + std::to_string(d.line);
  return numbers;
}

bool WriteIni(const std::string& path, const SettingsStore& store, const SettingsStore& env,
              int flags, const IniDamageList* damage) {
  // The file may hold the password: readable by its owner only, also when the user made it.
  return WriteFileAtomic(path, FormatIni(store, env, flags, damage), 0600) &&
         SetFileMode(path, 0600);
}

bool KeepIniBackup(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return true;
  const std::string backup = path + ".bak";
  return WriteFileAtomic(backup, bytes, 0600) && SetFileMode(backup, 0600);
}

}  // namespace kestrova
