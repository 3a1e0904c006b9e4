// Detail page parser. The first byte tells whether the page comes as received in UTF-8 (bit 1)
// or already in cp932. Then either the page alone, read with the shipped field definitions, or
// field definitions (the lines of the detail header), a part separator and the page.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/system_utils.h"
#include "fuzz/fuzz_input.h"
#include "service/detail_page_parser.h"
#include "store/program_state.h"

using namespace kestrova;

namespace {

const std::string& ShippedHeader() {
  static const std::string header = [] {
    std::string bytes;
    ReadWholeFile(platform::ProgramPath(KESTROVA_SOURCE_DIR "/Setting/Syousai_Header.dat"), bytes);
    if (bytes.empty()) fuzz::Fail("reading the shipped detail header");
    return bytes;
  }();
  return header;
}

int CountTabs(std::string_view text) {
  int n = 0;
  for (char c : text) n += c == '\t';
  return n;
}

bool IsClean(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int flags = data[0];
  ++data;
  --size;
  const bool ownHeader = size > 0 && std::memchr(data, fuzz::kPartSeparator, size) != nullptr;
  auto parts = fuzz::Parts(data, size, 2);
  std::string_view header = ownHeader ? parts[0] : ShippedHeader();
  std::string page(ownHeader ? parts[1] : parts[0]);
  if (flags & 2) page = Utf8ToAnsi(page);

  ProgramState state;
  state.detailHeader.lines.LoadLinesFromText(header);
  DetailValue detail = ExtractDetailValue(state.detailHeader, page);
  // One piece per field definition, each closed by a TAB, and nothing that would end the line
  // of the pair file the value is kept in.
  FUZZ_CHECK(CountTabs(detail.value) == state.detailHeader.lines.Count(), detail.value);
  FUZZ_CHECK(IsClean(detail.value), detail.value);
  FUZZ_CHECK(IsClean(detail.key), detail.key);
  FUZZ_CHECK(detail.key.size() <= 99, detail.key);

  ParseDetailText(state, page);
  if (!detail.key.empty()) FUZZ_CHECK(state.detailStore.GetView(detail.key) == detail.value, page);
  return 0;
}
