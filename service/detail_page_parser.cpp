// Detail page parser: knows no field of the page by itself. Each definition of DetailHeader
// names landmarks that narrow the search and a label that ends a table cell; the value is the
// text of the cell that follows.
#include "service/detail_page_parser.h"

#include "foundation/line_reader.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "service/page_text.h"
#include "store/detail_files.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

constexpr std::size_t kKeyBytes = 99;

bool IsLocationLabel(std::string_view label) {
  return label == SJIS("所在地１") || label == SJIS("所在地２") || label == SJIS("所在地３") ||
         label == SJIS("その他所在地表示");
}

// The text of the cell after the label cell of one definition; empty when a landmark, the
// label or the cell is missing. found tells whether the label itself was found.
std::string ExtractField(const TextList& parts, std::string_view page, bool& found) {
  found = false;
  const int last = parts.Count() - 1;
  std::string_view label = parts.View(last);
  if (label.empty()) return {};  // a blank definition would match the first cell end anywhere
  std::size_t position = 0;
  for (int j = 0; j < last; ++j) {
    position = FindAligned(page, parts.View(j), position);
    if (position == std::string_view::npos) return {};
  }
  std::string needle(label);
  needle += "</td";
  std::size_t at = FindAligned(page, needle, position);
  if (at == std::string_view::npos) return {};
  found = true;
  std::size_t open = FindAligned(page, "<td", at);
  if (open == std::string_view::npos) return {};
  std::size_t textStart = FindAligned(page, ">", open);
  if (textStart == std::string_view::npos) return {};
  ++textStart;
  std::size_t textEnd = FindAligned(page, "</td>", textStart);
  if (textEnd == std::string_view::npos) return {};
  std::string text(page.substr(textStart, textEnd - textStart));
  RemoveTagsInPlace(text);
  std::erase_if(text, [](char c) { return c == '\t' || c == '\r' || c == '\n' || c == '\0'; });
  return text;
}

bool IsAsciiDigitAt(std::string_view text, std::size_t i) {
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// ０-９ are 0x82 0x4F-0x58 in cp932.
bool IsWideDigitAt(std::string_view text, std::size_t i) {
  return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0x82 &&
         static_cast<unsigned char>(text[i + 1]) >= 0x4F &&
         static_cast<unsigned char>(text[i + 1]) <= 0x58;
}

bool IsDigitAt(std::string_view text, std::size_t i) {
  return IsAsciiDigitAt(text, i) || IsWideDigitAt(text, i);
}

// Removes every occurrence of what that follows a digit (and, with beforeDigit, also precedes
// one) in the text as it stands. The walk goes by character, so a unit is only matched at a
// character start.
void RemoveAfterDigit(std::string& text, std::string_view what, bool beforeDigit) {
  if (FindAligned(text, what) == std::string_view::npos) return;
  std::string out;
  out.reserve(text.size());
  bool lastWasDigit = false;
  for (std::size_t i = 0; i < text.size();) {
    if (lastWasDigit && text.compare(i, what.size(), what) == 0 &&
        (!beforeDigit || IsDigitAt(text, i + what.size()))) {
      i += what.size();
      continue;  // the digit before stays the last character
    }
    std::size_t n = CharLength(text, i);
    lastWasDigit = IsDigitAt(text, i);
    out.append(text, i, n);
    i += n;
  }
  text = std::move(out);
}

}  // namespace

void StripUnits(std::string& text) {
  static const char* const kUnits[] = {"万円", "㎡", "ｍ", "km", "円", "戸", "階", "%"};
  static const auto units = [] {
    std::vector<std::string> converted;
    for (const char* u : kUnits) converted.push_back(Sjis(u));
    return converted;
  }();
  for (const std::string& unit : units) RemoveAfterDigit(text, unit, false);
  RemoveAfterDigit(text, ",", true);
}

DetailValue ExtractDetailValue(const DetailHeader& header, std::string_view page) {
  std::string cleaned;
  if (!IsCleanPageText(page)) {
    cleaned = CleanPageText(page);
    page = cleaned;
  }
  DetailValue result{"dummy", {}};
  for (int i = 0; i < header.lines.Count(); ++i) {
    TextList parts(header.lines.View(i), "<>");
    bool found = false;
    std::string text = ExtractField(parts, page, found);
    if (found) {
      if (IsLocationLabel(parts.View(parts.Count() - 1))) ReplaceAllAligned(text, SJIS("　"), "");
      if (parts.View(0) == SJIS("物件番号")) result.key = CopyNChars(text, kKeyBytes);
    }
    if (text != SJIS("分") && text != SJIS("ヶ月")) {
      StripUnits(text);
      result.value += text;
    }
    result.value += '\t';
  }
  return result;
}

void ParseDetailText(ProgramState& state, std::string_view page) {
  DetailValue detail = ExtractDetailValue(state.detailHeader, page);
  state.detailStore.Set(detail.key, detail.value);  // an empty key stores nothing
}

void ParseDetailPage(ProgramState& state, const std::string& path) {
  LineReaderPtr reader = Open(path, "fr");
  if (!reader) return;
  std::string page = Utf8ToAnsi(reader->Text());
  Close(reader);
  ParseDetailText(state, page);
}

}  // namespace kestrova
