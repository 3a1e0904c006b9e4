// What the sim reads from the program's Setting folder: the field names of the result rows
// (HeaderInfo.dat), the detail field definitions (Syousai_Header.dat) and the municipality
// codes (zip_code.txt). The files are cp932 with CR LF; the sim keeps them as UTF-8, the
// encoding of the pages it serves.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

namespace kestrova::sim {

struct Municipality {
  std::string code;                    // five digits
  std::string prefecture;              // "大阪府"
  std::string name;                    // "大阪市北区", "豊中市", "島本町"
  std::string city;                    // "大阪市" for a ward of a designated city, else the name
  std::string ward;                    // "北区" for a ward of a designated city, else empty
  std::vector<std::string> wardCodes;  // a designated city as a whole: the codes of its wards
};

struct SettingTables {
  // Field names of the 30 record fields, per type in the order 11..15, 21..25.
  std::array<std::vector<std::string>, 10> fieldNames;
  // Detail field definitions, each split at "<>": landmarks, then the label last.
  std::vector<std::vector<std::string>> detailFields;
  std::map<std::string, Municipality> municipalities;
  bool builtInMunicipalities = false;  // zip_code.txt was missing
};

// Index 0..9 of a type code 11..15, 21..25; -1 for any other.
int TypeIndex(int typeCode);
int TypeCodeOfIndex(int index);

// Reads the three files from the folder (a native path). HeaderInfo.dat and
// Syousai_Header.dat must exist; without zip_code.txt a small built-in table is used.
// Returns 0, or -1 with a message in error.
int LoadSettingTables(const std::string& folder, SettingTables& tables, std::string& error);

// Parsers of the file contents (UTF-8 text), for LoadSettingTables and the tests.
void ParseFieldNames(const std::string& text, SettingTables& tables);
void ParseDetailFields(const std::string& text, SettingTables& tables);
void ParseMunicipalities(const std::string& text, SettingTables& tables);
void UseBuiltInMunicipalities(SettingTables& tables);

}  // namespace kestrova::sim
