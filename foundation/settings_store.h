// SettingsStore: a sorted, case-insensitive key-value store of cp932 texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/text_list.h"

namespace kestrova {

class SettingsStore {
 public:
  int IndexOf(std::string_view key) const;
  // The value, or the empty text; valid until the store changes.
  const char* GetText(std::string_view key) const;
  std::string_view GetView(std::string_view key) const;
  int GetInt(std::string_view key) const;
  void Set(std::string_view key, std::string_view value);
  void SetInt(std::string_view key, int n);
  void SetId(int id, std::string_view value);
  const char* GetId(int id) const;
  // Each line "key<separator>value" is Set; lines without the separator are ignored.
  void LoadPairs(const std::string& path, std::string_view separator);
  void LoadPairsFromText(std::string_view text, std::string_view separator);
  // One line per entry in key order; written atomically. false when not written.
  [[nodiscard]] bool SavePairs(const std::string& path, std::string_view separator) const;
  std::string FormatPairs(std::string_view separator) const;

  int Count() const { return keys_.Count(); }
  // Entry i in key order: the key as first stored, and its value.
  const char* KeyTextAt(int i) const { return keyTexts_.Get(i); }
  const char* FoldedKeyAt(int i) const { return keys_.Get(i); }
  const char* ValueAt(int i) const { return values_.Get(i); }
  void Clear();

 private:
  TextList keys_;
  TextList values_;
  TextList keyTexts_;
};

// "//_enum_/%d"
std::string IdKey(int id);

struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
};
// Stored as "%d,%d,%d,%d" when left >= -9.
void SavePlacement(const WindowRect& rect, SettingsStore& store, std::string_view key);
// The stored rectangle when its left edge is > 0.
bool RestorePlacement(const SettingsStore& store, std::string_view key, WindowRect& rect);
void SaveColumnWidths(const std::vector<int>& widths, SettingsStore& store, std::string_view key);
// Widths (each modulo 65536); empty when nothing is stored.
std::vector<int> RestoreColumnWidths(const SettingsStore& store, std::string_view key);

}  // namespace kestrova
