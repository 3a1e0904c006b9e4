// CSV field resolution. Parts, divided by the part separator: source specs (one per line, the
// columns of a layout), column names (TAB-separated), the record's fields (TAB-separated),
// detail field definitions (lines), and the detail and closed-deal values of the record's
// property. Every column is resolved alone and, as the writer does, with one working space
// shared by all columns of the record: both must agree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "store/field_resolution.h"
#include "store/program_state.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = fuzz::Parts(data, size, 6);
  TextList specs;
  specs.LoadLinesFromText(parts[0]);
  TextList names(parts[1], "\t");
  TextList fields(parts[2], "\t");

  ProgramState state;
  state.detailHeader.lines.LoadLinesFromText(parts[3]);
  const std::string_view number = fields.View(PropertyNumberColumn(names));
  if (PropertyNumberColumn(names) >= 0 && !number.empty()) {
    state.detailStore.Set(number, parts[4]);
    state.dealStore.Set(number, parts[5]);
  }

  Pieces record, detail, deal;
  for (int i = 0; i < fields.Count(); ++i) record.push_back(fields.View(i));
  LoadExtras(state, PropertyNumberColumn(names), record, &detail, &deal);
  ResolveScratch scratch;
  scratch.NewRecord();
  for (int j = 0; j < specs.Count(); ++j) {
    const std::string alone = ResolveField(state, names, fields, specs.View(j));
    FUZZ_CHECK(alone.size() <= kResolvedValueLimit, specs.View(j));
    CompiledSpec spec(specs.View(j), names, state.detailHeader.lines);
    const std::string_view shared = spec.Resolve(record, detail, deal, scratch);
    FUZZ_CHECK(shared == alone, specs.View(j));
  }
  return 0;
}
