// Row groups of a result page as the sim writes them, and the property number of one, for the
// sim tests that look into its pages.
#pragma once

#include <string>
#include <vector>

namespace kestrova::sim {

inline const std::string kRowMarker = "<td class=\"rlTeB\" rowspan=\"2\" nowrap>";

// The row groups of a result page: the text from each row marker up to the next.
inline std::vector<std::string> RowChunks(const std::string& page) {
  std::vector<std::string> chunks;
  std::size_t at = page.find(kRowMarker);
  while (at != std::string::npos) {
    std::size_t next = page.find(kRowMarker, at + 1);
    chunks.push_back(page.substr(at, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  return chunks;
}

// The property number of a row group: the first cell of class rbTeT without a rowspan.
inline std::string NumberOf(const std::string& chunk) {
  const std::string cell = "<td class=\"rbTeT\">";
  std::size_t at = chunk.find(cell);
  if (at == std::string::npos) return "";
  at += cell.size();
  return chunk.substr(at, chunk.find('<', at) - at);
}

}  // namespace kestrova::sim
