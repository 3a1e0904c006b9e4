// Result page parser. The first byte chooses the mode (bit 0: closed deals) and whether the
// rest is the page as received in UTF-8 (bit 1) or text already in cp932.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "fuzz/fuzz_input.h"
#include "service/result_page_parser.h"
#include "store/program_state.h"
#include "store/property_record.h"

using namespace kestrova;

namespace {

int CountTabs(std::string_view text) {
  int n = 0;
  for (char c : text) n += c == '\t';
  return n;
}

// A record is read back as one line of a TAB-separated file: exactly its fields, no line end.
void CheckRecord(std::string_view line) {
  FUZZ_CHECK(CountTabs(line) == kRecordFields, line);
  FUZZ_CHECK(line.back() == '\t', line);
  FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos, line);
  const std::string_view mark = line.substr(0, line.find('\t'));
  FUZZ_CHECK(mark == SJIS("有") || mark == SJIS("無"), line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int flags = data[0];
  std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (flags & 2) page = Utf8ToAnsi(page);
  const SearchKind mode = (flags & 1) ? SearchKind::kClosedDeals : SearchKind::kListings;

  ProgramState state;
  TextList rows;
  ParseResultText(state, page, rows, mode);
  if (mode == SearchKind::kClosedDeals) {
    FUZZ_CHECK(rows.Count() == 0, page);
    for (int i = 0; i < state.dealStore.Count(); ++i) {
      // A closing date and a price, each cut to its field, under a number cut the same way.
      FUZZ_CHECK(CountTabs(state.dealStore.store().ValueAt(i)) == 1, page);
      FUZZ_CHECK(std::string_view(state.dealStore.store().KeyTextAt(i)).size() <= 100, page);
    }
    return 0;
  }
  FUZZ_CHECK(rows.Count() == state.newRows.Count(), page);
  if (rows.Count() == 0) return 0;
  FUZZ_CHECK(rows.View(rows.Count() - 1).empty(), page);
  for (int i = 0; i + 1 < rows.Count(); ++i) CheckRecord(rows.View(i));
  return 0;
}
