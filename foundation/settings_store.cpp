#include "foundation/settings_store.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>

#include "foundation/files.h"
#include "foundation/platform/platform.h"
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
  // Read without the zero fill of a std::string: a detail store can be a hundred megabytes.
  const long long size = FileSize(path);
  if (size <= 0 || IsFolder(path)) return;
  std::unique_ptr<char[]> bytes(new char[static_cast<std::size_t>(size)]);
  if (static_cast<std::size_t>(size) >= (8u << 20))
    platform::AdviseLargeBuffer(bytes.get(), static_cast<std::size_t>(size));
  const long long got = ReadFileInto(path, bytes.get(), static_cast<std::size_t>(size));
  if (got <= 0) return;
  LoadPairsFromText(std::string_view(bytes.get(), static_cast<std::size_t>(got)), separator);
}

namespace {

// Calls visit for every line of the text: CR LF, a lone CR and a lone LF each end one, as
// TextList::LoadLinesFromText reads them.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t next;
    const std::size_t end = FindLineEnd(text, i, &next);
    visit(text.substr(i, end - i));
    i = next;
  }
}

}  // namespace

void SettingsStore::LoadPairsFromText(std::string_view text, std::string_view separator) {
  if (separator.empty()) return;
  // A NUL is no end of the text: it reads as a space, as in every line file.
  std::string copy;
  if (text.find('\0') != std::string_view::npos) {
    copy.assign(text);
    ReplaceNuls(copy.data(), copy.size());
    text = copy;
  }
  struct Pair {
    std::string_view key;
    std::string_view value;
    std::size_t folded;  // where the folded key starts in foldedKeys
  };
  std::vector<Pair> pairs;
  std::string foldedKeys;
  std::size_t valueBytes = 0;
  ForEachLine(text, [&](std::string_view line) {
    std::size_t at = FindText(line, separator);
    if (at == std::string_view::npos || at == 0) return;
    pairs.push_back({line.substr(0, at), line.substr(at + separator.size()), foldedKeys.size()});
    foldedKeys.append(FoldCase(line.substr(0, at)));
    valueBytes += line.size() - at - separator.size() + 11;
  });
  if (Count() > 0) {
    for (const Pair& p : pairs) Set(p.key, p.value);
    return;
  }
  // Folding keeps every length: only single bytes change.
  const std::string foldedText = std::move(foldedKeys);
  auto folded = [&](const Pair& p) {
    return std::string_view(foldedText).substr(p.folded, p.key.size());
  };
  // An empty store is built in one pass: Set one by one would shift the packed lists for every
  // key. The result is the same: the first spelling of a key, its last value. A file this store
  // saved is in key order already and needs no sorting.
  std::vector<std::uint32_t> order(pairs.size());
  std::iota(order.begin(), order.end(), 0u);
  bool sorted = true;
  for (std::size_t k = 1; k < pairs.size() && sorted; ++k)
    sorted = folded(pairs[k - 1]) < folded(pairs[k]);
  if (!sorted) {
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return folded(pairs[a]) < folded(pairs[b]);
    });
  }
  keys_.Reserve(foldedText.size() + pairs.size(), static_cast<int>(pairs.size()));
  keyTexts_.Reserve(foldedText.size() + pairs.size(), static_cast<int>(pairs.size()));
  values_.Reserve(valueBytes, static_cast<int>(pairs.size()));
  for (std::size_t k = 0; k < order.size();) {
    std::size_t end = k + 1;
    while (end < order.size() && folded(pairs[order[end]]) == folded(pairs[order[k]])) ++end;
    const Pair& first = pairs[order[k]];
    const Pair& last = pairs[order[end - 1]];
    keys_.Add(folded(first));
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
