// A program folder with the shipped Setting files, 100,000 stored records and new rows.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/property_lines.h"
#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/detail_files.h"
#include "store/program_state.h"
#include "store/property_record.h"

namespace kestrova::bench {

// A new program folder "<temp>/<prefix>-<process>-<time>" with the shipped Setting files and the
// data folders; state's environment, layouts and detail files are read for it. Its native path.
inline std::string MakeBenchFolder(ProgramState& state, const std::string& prefix) {
  // Named by process and time rather than by mkdtemp, which Windows lacks.
  const std::string native = (std::filesystem::temp_directory_path() /
                              (prefix + "-" + std::to_string(platform::ProcessId()) + "-" +
                               std::to_string(platform::TickCount())))
                                 .string();
  std::filesystem::create_directories(native);
  std::filesystem::copy(KESTROVA_SOURCE_DIR "/Setting", native + "/Setting");
  for (const char* f : {"dat", "csv", "csv_total"})
    std::filesystem::create_directory(native + "/" + f);
  BuildEnvironment(state.environment, {platform::ProgramPath(native) + "\\kestrova"});
  LoadLayouts(state);
  LoadDetailFiles(state);
  return native;
}

struct BenchHome {
  BenchHome() {
    native = MakeBenchFolder(state, "kestrova-bench");
    stored = GeneratePropertyLines(100000, 1);
  }
  ~BenchHome() { std::filesystem::remove_all(native); }

  void ResetStore() {
    std::ofstream(native + "/dat/TotalData.txt", std::ios::binary) << stored;
    for (const auto& e : std::filesystem::directory_iterator(native + "/csv"))
      std::filesystem::remove(e);
  }
  // 1,500 new properties and 500 updates of stored ones, with a later update date.
  void AddNewRows() {
    state.newRows.Clear();
    state.newRows.LoadLinesFromText(GeneratePropertyLines(1500, 2, 900000000));
    TextList old;
    old.LoadLinesFromText(stored);
    for (int i = 0; i < 500; ++i) {
      TextList f(old.View(i * 199), "\t");
      std::vector<std::string> fields = f.ToVector();
      fields[kFieldUpdated] = "2027/01/01";
      state.newRows.Add(JoinRecord(fields));
    }
    state.newRowsFound = 1;
  }
  void AddDetails(int n) {
    TextList lines;
    lines.LoadLinesFromText(stored);
    for (int i = 0; i < n && i < lines.Count(); ++i) {
      std::string value = std::string(RecordField(lines.View(i), kFieldNumber)) + "\t";
      for (int k = 1; k < state.detailHeader.lines.Count(); ++k)
        value += "v" + std::to_string(k) + "\t";
      state.detailStore.Set(RecordField(lines.View(i), kFieldNumber), value);
    }
  }

  std::string native;
  std::string stored;
  ProgramState state;
};

}  // namespace kestrova::bench
