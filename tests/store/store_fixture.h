// A program folder of its own for each store test, with small Setting files written here.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "store/csv_layout.h"
#include "store/program_state.h"
#include "store/property_record.h"
#include "tests/support/cp932_text.h"
#include "tests/support/temp_folder.h"

namespace kestrova::test {

class StoreTest : public ::testing::Test {
 protected:
  StoreTest() : clock("2012/03/30 13:32:27") {
    BuildEnvironment(state.environment, {home.path() + "\\kestrova"});
    state.clock = &clock;
    for (const char* f : {"\\dat", "\\csv", "\\csv_total", "\\Setting"})
      MakeFolder(state.PathOf(f));
  }

  // Writes a cp932 file under the program folder from UTF-8 text (LF become CR LF).
  void WriteSetting(const std::string& relative, const std::string& utf8) {
    ASSERT_TRUE(WriteFileAtomic(state.PathOf(relative), test::Cp932Lines(utf8)));
  }
  std::string Read(const std::string& relative) const {
    std::string bytes;
    ReadWholeFile(state.PathOf(relative), bytes);
    return bytes;
  }
  // The same 30 field names for every type, name i at field i.
  void WriteHeaderInfo(const std::vector<std::pair<int, std::string>>& named) {
    std::vector<std::string> names(30);
    for (int i = 0; i < 30; ++i) names[static_cast<std::size_t>(i)] = "f" + std::to_string(i);
    for (const auto& [i, n] : named) names[static_cast<std::size_t>(i)] = n;
    std::string line;
    for (const auto& n : names) line += n + "\t";
    std::string all;
    for (int t = 0; t < 10; ++t) all += line + "\n";
    WriteSetting("\\Setting\\HeaderInfo.dat", all);
  }
  static std::string Record(const std::string& type, const std::string& number,
                            const std::string& updated,
                            std::vector<std::pair<int, std::string>> more = {}) {
    std::vector<std::string> f(30);
    f[0] = Sjis("有");
    f[1] = Sjis(type);
    f[2] = number;
    f[18] = updated;
    for (auto& [i, v] : more) f[static_cast<std::size_t>(i)] = Sjis(v);
    return JoinRecord(f);
  }

  TempFolder home;
  FixedClock clock;
  ProgramState state;
};

}  // namespace kestrova::test
