// The CSV layouts and the writer. Parts, divided by the part separator: HeaderInfo.dat,
// Output_CSV.txt, Output_Kanri.txt (written to a scratch program folder and loaded as at
// start-up), then store records, detail field definitions, detail store pairs and closed-deal
// store pairs. Both layouts then write the records to CSV files.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "fuzz/fuzz_input.h"
#include "store/csv_layout.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/program_state.h"

using namespace kestrova;

namespace {

// Records that give a CSV line: those with a type text (the second field).
int WrittenRecords(const TextList& records) {
  int n = 0;
  for (int i = 0; i < records.Count(); ++i) {
    std::string_view line = records.View(i);
    std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    std::size_t next = line.find('\t', tab + 1);
    n += (next == std::string_view::npos ? line.size() : next) > tab + 1;
  }
  return n;
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

// One heading line, the layout's blank lines, one line per record: no value can add a line end,
// for none of the sources (record lines, layout lines, pair lines) can hold one.
void CheckCsv(const ProgramState& state, const TextList& records, const CsvLayout& layout,
              const char* name) {
  const std::string path = state.PathOf(std::string("\\csv_total\\") + name);
  FUZZ_CHECK(WriteCsv(state, records, path, layout) == 0, path);
  std::string written;
  FUZZ_CHECK(ReadWholeFile(path, written), path);
  FUZZ_CHECK(written == BuildCsv(state, records, layout), path);
  const std::size_t lines = 1 + static_cast<std::size_t>(layout.blankLines) +
                            static_cast<std::size_t>(WrittenRecords(records));
  FUZZ_CHECK(Count(written, "\r\n") == lines, written);
  FUZZ_CHECK(Count(written, "\n") == lines && Count(written, "\r") == lines, written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = fuzz::Parts(data, size, 7);
  const std::string& folder = fuzz::ScratchProgramFolder();
  fuzz::WriteNative(folder + "/Setting/HeaderInfo.dat", parts[0]);
  fuzz::WriteNative(folder + "/Setting/Output_CSV.txt", parts[1]);
  fuzz::WriteNative(folder + "/Setting/Output_Kanri.txt", parts[2]);

  ProgramState state;
  state.environment.SetId(900008, platform::ProgramPath(folder));
  LoadLayouts(state);
  FUZZ_CHECK(
      state.csvLayout.blankLines >= 0 && state.csvLayout.blankLines <= CsvLayout::kMaxBlankLines,
      parts[1]);
  TextList records;
  records.LoadLinesFromText(parts[3]);
  state.detailHeader.lines.LoadLinesFromText(parts[4]);
  SettingsStore detail, deal;
  detail.LoadPairsFromText(parts[5], kPairSeparator);
  deal.LoadPairsFromText(parts[6], kPairSeparator);
  for (int i = 0; i < detail.Count(); ++i)
    state.detailStore.Set(detail.KeyTextAt(i), detail.ValueAt(i));
  for (int i = 0; i < deal.Count(); ++i) state.dealStore.Set(deal.KeyTextAt(i), deal.ValueAt(i));

  CheckCsv(state, records, state.csvLayout, "fuzz_csvdata.csv");
  CheckCsv(state, records, state.kanriLayout, "fuzz_kanri_csvdata.csv");
  return 0;
}
