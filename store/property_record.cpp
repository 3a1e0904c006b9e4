#include "store/property_record.h"

#include "foundation/text_list.h"

namespace kestrova {

void SplitRecord(std::string_view line, TextList& fields) { fields.Split(line, "\t"); }

std::string JoinRecord(const std::vector<std::string>& fields) {
  std::string line;
  for (int i = 0; i < kRecordFields; ++i) {
    if (static_cast<std::size_t>(i) < fields.size()) line += fields[static_cast<std::size_t>(i)];
    line += '\t';
  }
  return line;
}

std::string_view RecordField(std::string_view line, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) return {};
    start = tab + 1;
  }
  std::size_t end = line.find('\t', start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace kestrova
