#include "sim/setting_tables.h"

#include "foundation/files.h"
#include "foundation/platform/platform.h"

namespace kestrova::sim {

namespace {

std::vector<std::string> SplitText(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    if (at == std::string::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
}

// Lines without their ends; CR LF, CR and LF all end a line.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// "大阪市北区" is ward 北区 of city 大阪市; "千代田区" (no 市 before it) is a municipality.
void SplitCityWard(Municipality& m) {
  m.city = m.name;
  m.ward.clear();
  const std::string shi = "市";
  std::size_t at = m.name.find(shi);
  if (EndsWith(m.name, "区") && at != std::string::npos && at + shi.size() < m.name.size()) {
    m.city = m.name.substr(0, at + shi.size());
    m.ward = m.name.substr(at + shi.size());
  }
}

// A code whose name is a city that has wards in the table stands for all of them.
void LinkWards(SettingTables& tables) {
  for (auto& [code, m] : tables.municipalities) {
    m.wardCodes.clear();
    if (!m.ward.empty()) continue;
    for (const auto& [otherCode, other] : tables.municipalities) {
      if (otherCode.compare(0, 2, code, 0, 2) == 0 && other.city == m.name && !other.ward.empty()) {
        m.wardCodes.push_back(otherCode);
      }
    }
  }
}

bool ReadUtf8(const std::string& folder, const char* name, std::string& text) {
  std::string bytes;
  std::string path = platform::ProgramPath(folder) + "\\" + name;
  if (!FileExists(path) || !ReadWholeFile(path, bytes)) return false;
  text = platform::Cp932ToUtf8(bytes);
  return true;
}

}  // namespace

int TypeIndex(int typeCode) {
  if (typeCode >= 11 && typeCode <= 15) return typeCode - 11;
  if (typeCode >= 21 && typeCode <= 25) return typeCode - 21 + 5;
  return -1;
}

int TypeCodeOfIndex(int index) { return index < 5 ? 11 + index : 21 + index - 5; }

void ParseFieldNames(const std::string& text, SettingTables& tables) {
  std::vector<std::string> lines = Lines(text);
  for (std::size_t i = 0; i < tables.fieldNames.size(); ++i) {
    tables.fieldNames[i] =
        i < lines.size() ? SplitText(lines[i], "\t") : std::vector<std::string>{};
  }
}

void ParseDetailFields(const std::string& text, SettingTables& tables) {
  tables.detailFields.clear();
  for (const std::string& line : Lines(text)) {
    if (!line.empty()) tables.detailFields.push_back(SplitText(line, "<>"));
  }
}

void ParseMunicipalities(const std::string& text, SettingTables& tables) {
  tables.municipalities.clear();
  for (const std::string& line : Lines(text)) {
    std::vector<std::string> parts = SplitText(line, "\t");
    if (parts.size() < 3 || parts[0].size() != 5 || parts[2].empty()) continue;
    Municipality m;
    m.code = parts[0];
    m.prefecture = parts[1];
    m.name = parts[2];
    SplitCityWard(m);
    tables.municipalities[m.code] = m;
  }
  LinkWards(tables);
}

void UseBuiltInMunicipalities(SettingTables& tables) {
  // Enough for the demo and the tests: wards, cities, a town and a village.
  ParseMunicipalities(
      "13101\t東京都\t千代田区\n"
      "13104\t東京都\t新宿区\n"
      "14100\t神奈川県\t横浜市\n"
      "14101\t神奈川県\t横浜市鶴見区\n"
      "14103\t神奈川県\t横浜市西区\n"
      "27100\t大阪府\t大阪市\n"
      "27111\t大阪府\t大阪市浪速区\n"
      "27127\t大阪府\t大阪市北区\n"
      "27128\t大阪府\t大阪市中央区\n"
      "27141\t大阪府\t堺市堺区\n"
      "27203\t大阪府\t豊中市\n"
      "27205\t大阪府\t吹田市\n"
      "27301\t大阪府\t島本町\n"
      "27383\t大阪府\t千早赤阪村\n"
      "28110\t兵庫県\t神戸市中央区\n"
      "28202\t兵庫県\t尼崎市\n",
      tables);
  tables.builtInMunicipalities = true;
}

int LoadSettingTables(const std::string& folder, SettingTables& tables, std::string& error) {
  std::string text;
  if (!ReadUtf8(folder, "HeaderInfo.dat", text)) {
    error = "cannot read " + folder + "/HeaderInfo.dat";
    return -1;
  }
  ParseFieldNames(text, tables);
  if (!ReadUtf8(folder, "Syousai_Header.dat", text)) {
    error = "cannot read " + folder + "/Syousai_Header.dat";
    return -1;
  }
  ParseDetailFields(text, tables);
  if (ReadUtf8(folder, "zip_code.txt", text)) ParseMunicipalities(text, tables);
  if (tables.municipalities.empty()) UseBuiltInMunicipalities(tables);
  return 0;
}

}  // namespace kestrova::sim
