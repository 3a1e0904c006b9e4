// The three key lists of the local search window: their files, and the keys of a chosen entry.
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "ui/search_window.h"

namespace kestrova {

std::vector<std::string> LoadKeyList(const std::string& path) {
  std::vector<std::string> entries = {SJIS("すべて")};
  TextList lines;
  lines.LoadLines(path);
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string_view line = lines.View(i);
    // Only the ASCII "#" marks a comment; a full-width one starts an ordinary entry.
    if (line.empty() || line[0] == '#') continue;
    entries.emplace_back(line);
  }
  return entries;
}

std::vector<std::string> KeyListGroup(const std::vector<std::string>& entries, int selected) {
  if (selected < 1 || selected >= static_cast<int>(entries.size())) return {};
  const std::string_view entry = entries[static_cast<std::size_t>(selected)];
  if (entry == SJIS("すべて")) return {};
  // "|" can be the trail byte of a double-byte character, so it is looked for at character
  // starts only. A trailing "|" leaves an empty last piece.
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = FindText(entry, "|", start);
    pieces.emplace_back(entry.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return pieces;
}

}  // namespace kestrova
