#include "foundation/settings_store.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "foundation/files.h"
#include "foundation/text_functions.h"

namespace kestrova {

std::string IdKey(int id) { return "//_enum_/" + std::to_string(id); }

int SettingsStore::IndexOf(std::string_view key) const {
  if (key.empty()) return -1;
  int position = 0;
  return keys_.FindSorted(FoldCase(key), &position);
}

const char* SettingsStore::GetText(std::string_view key) const {
  int i = IndexOf(key);
  return i < 0 ? "" : values_.Get(i);
}

std::string_view SettingsStore::GetView(std::string_view key) const { return GetText(key); }

int SettingsStore::GetInt(std::string_view key) const { return ToInt(GetView(key)); }

void SettingsStore::Set(std::string_view key, std::string_view value) {
  if (key.empty()) return;
  std::string folded = FoldCase(key);
  int position = 0;
  int i = keys_.FindSorted(folded, &position);
  if (i < 0) {
    keys_.Add(folded, 0, position, 0);
    values_.Add(value, 0, position, kAddReserve);
    keyTexts_.Add(key, 0, position, 0);
    return;
  }
  std::string_view old = values_.View(i);
  if (old == value) return;
  if (value.size() <= old.size() || value.size() <= 9) {
    values_.OverwriteInPlace(i, value);
    return;
  }
  keys_.Add(folded, 0, i, kAddReplace);
  values_.Add(value, 0, i, kAddReplace | kAddReserve);
}

void SettingsStore::SetInt(std::string_view key, int n) { Set(key, std::to_string(n)); }

void SettingsStore::SetId(int id, std::string_view value) { Set(IdKey(id), value); }

const char* SettingsStore::GetId(int id) const { return GetText(IdKey(id)); }

void SettingsStore::LoadPairs(const std::string& path, std::string_view separator) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return;
  LoadPairsFromText(bytes, separator);
}

void SettingsStore::LoadPairsFromText(std::string_view text, std::string_view separator) {
  if (separator.empty()) return;
  struct Pair {
    std::string folded;
    std::string_view key;
    std::string_view value;
  };
  std::vector<Pair> pairs;
  TextList lines;
  lines.LoadLinesFromText(text, 1);
  pairs.reserve(static_cast<std::size_t>(lines.Count()));
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.View(i);
    std::size_t at = FindText(line, separator);
    if (at == std::string_view::npos || at == 0) continue;
    pairs.push_back(
        {FoldCase(line.substr(0, at)), line.substr(0, at), line.substr(at + separator.size())});
  }
  if (Count() > 0) {
    for (const Pair& p : pairs) Set(p.key, p.value);
    return;
  }
  // An empty store is built in one pass: Set one by one would shift the packed lists for every
  // key. The result is the same: the first spelling of a key, its last value.
  std::vector<std::size_t> order(pairs.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return pairs[a].folded < pairs[b].folded; });
  for (std::size_t k = 0; k < order.size();) {
    std::size_t end = k + 1;
    while (end < order.size() && pairs[order[end]].folded == pairs[order[k]].folded) ++end;
    const Pair& first = pairs[order[k]];
    const Pair& last = pairs[order[end - 1]];
    keys_.Add(first.folded);
    values_.Add(last.value, 0, kAppend, kAddReserve);
    keyTexts_.Add(first.key);
    k = end;
  }
}

std::string SettingsStore::FormatPairs(std::string_view separator) const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    std::string_view key = keyTexts_.View(i);
    if (key.empty()) continue;
    out.append(key).append(separator).append(values_.View(i)).append("\r\n");
  }
  return out;
}

bool SettingsStore::SavePairs(const std::string& path, std::string_view separator) const {
  return WriteFileAtomic(path, FormatPairs(separator));
}

void SettingsStore::Clear() {
  keys_.Clear();
  values_.Clear();
  keyTexts_.Clear();
}

void SavePlacement(const WindowRect& r, SettingsStore& store, std::string_view key) {
  if (r.left < -9) return;
  char text[64];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.left, r.top, r.width, r.height);
  store.Set(key, text);
}

bool RestorePlacement(const SettingsStore& store, std::string_view key, WindowRect& rect) {
  TextList parts(store.GetView(key), ",");
  if (parts.Count() == 0 || ToInt(parts.View(0)) <= 0) return false;
  rect = {ToInt(parts.View(0)), ToInt(parts.View(1)), ToInt(parts.View(2)), ToInt(parts.View(3))};
  return true;
}

void SaveColumnWidths(const std::vector<int>& widths, SettingsStore& store, std::string_view key) {
  std::string text;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i) text += ",";
    text += std::to_string(widths[i]);
  }
  store.Set(key, text);
}

std::vector<int> RestoreColumnWidths(const SettingsStore& store, std::string_view key) {
  std::vector<int> widths;
  TextList parts(store.GetView(key), ",");
  for (int i = 0; i < parts.Count(); ++i) {
    widths.push_back(static_cast<int>(static_cast<unsigned>(ToInt(parts.View(i))) % 65536u));
  }
  return widths;
}

}  // namespace kestrova
