// Shared by the page parser tests: a program state of its own per test, the hand-written pages
// under tests/data/pages, and small builders for pages written inline.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/program_state.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"

namespace kestrova::test {

// The program path of a fixture page (the file layer turns it back into the native path).
inline std::string PagePath(const std::string& name) {
  return platform::ProgramPath(std::string(KESTROVA_TEST_DATA) + "/pages/" + name);
}

inline std::string ReadPage(const std::string& name) {
  std::string bytes;
  ReadWholeFile(PagePath(name), bytes);
  return bytes;
}

// The fields of a record line (31 pieces for a well-formed line, the last one empty).
inline std::vector<std::string> Fields(std::string_view line) {
  TextList parts(line, "\t");
  return parts.ToVector();
}

inline int CountTabs(std::string_view line) {
  int n = 0;
  for (char c : line) n += c == '\t';
  return n;
}

// One result row group written inline (UTF-8): segments of cells, the first segment starting
// right after the row marker, so its first cell is the row counter.
inline std::string ResultRow(const std::vector<std::vector<std::string>>& segments) {
  std::string html = "<tr>\n<td class=\"rlTeB\" rowspan=\"2\" nowrap>";
  for (std::size_t k = 0; k < segments.size(); ++k) {
    if (k > 0) html += "<tr>\n";
    for (std::size_t j = 0; j < segments[k].size(); ++j) {
      if (k > 0 || j > 0) html += k == 0 ? "<td class=\"rbTeT\">" : "<td class=\"rbTeB\">";
      html += segments[k][j] + "</td>\n";
    }
    html += "</tr>\n";
  }
  return html;
}

inline std::string ResultPage(const std::vector<std::string>& rows) {
  std::string html = "<html><body>\n<table class=\"rlTable\">\n";
  for (const auto& r : rows) html += r;
  return html + "</table>\n</body></html>\n";
}

class PageParserTest : public ::testing::Test {
 protected:
  PageParserTest() : clock("2011/05/07 09:30:00") { state.clock = &clock; }

  // Writes a UTF-8 page into the test's own folder, as the search paging saves it.
  std::string SavePage(const std::string& name, const std::string& bytes) {
    std::string path = folder.Path(name);
    EXPECT_TRUE(WriteFileAtomic(path, bytes));
    return path;
  }

  TempFolder folder;
  FixedClock clock;
  ProgramState state;
};

}  // namespace kestrova::test
