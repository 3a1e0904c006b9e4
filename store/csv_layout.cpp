#include "store/csv_layout.h"

#include <algorithm>

#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "store/program_state.h"

namespace kestrova {

int HeaderLists::IndexForType(std::string_view typeText) const {
  static const char* const kCodes[] = {"11", "12", "13", "14", "15", "21", "22", "23", "24"};
  std::string_view code = typeText.substr(0, 2);
  for (int i = 0; i < 9; ++i) {
    if (code == kCodes[i]) return i;
  }
  return 9;
}

void HeaderLists::LoadFromText(std::string_view text) {
  TextList lines;
  lines.LoadLinesFromText(text);
  for (int i = 0; i < 10; ++i) {
    lists[i].Clear();
    if (i < lines.Count()) lists[i].Split(lines.View(i), "\t");
  }
}

void CsvLayout::LoadFromText(std::string_view text) {
  sources.Clear();
  types.Clear();
  headings.Clear();
  separator = ",";
  blankLines = 2;
  const std::string separatorSetting = SJIS("!区切り=");
  const std::string blankSetting = SJIS("!ヘッダ空行=");
  TextList lines;
  lines.LoadLinesFromText(text);
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.View(i);
    if (line.empty() || line[0] == '\'') continue;
    if (line[0] == '!') {
      if (line.rfind(separatorSetting, 0) == 0) {
        separator = std::string(line.substr(separatorSetting.size()));
      } else if (line.rfind(blankSetting, 0) == 0) {
        // Readers skip this many lines after the heading, so it is never negative; a mistyped
        // huge count would make every CSV file that many lines long before the first record.
        blankLines = std::clamp(ToInt(line.substr(blankSetting.size())), 0, kMaxBlankLines);
      }
      continue;
    }
    TextList parts(line, "\t");
    sources.Add(parts.View(0));
    types.Add(parts.View(1));
    headings.Add(parts.View(2));
  }
  blankText.assign(static_cast<std::size_t>(blankLines), '\n');
}

void LoadLayouts(ProgramState& state) {
  std::string bytes;
  ReadWholeFile(state.PathOf("\\Setting\\HeaderInfo.dat"), bytes);
  state.headerLists.LoadFromText(bytes);
  ReadWholeFile(state.PathOf("\\Setting\\Output_CSV.txt"), bytes);
  state.csvLayout.LoadFromText(bytes);
  ReadWholeFile(state.PathOf("\\Setting\\Output_Kanri.txt"), bytes);
  state.kanriLayout.LoadFromText(bytes);
}

}  // namespace kestrova
