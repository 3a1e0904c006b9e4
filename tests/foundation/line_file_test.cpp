#include "foundation/line_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/message_pump.h"
#include "foundation/text_list.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

class CountingPump : public MessagePump {
 public:
  void Pump(int) override { ++pumps; }
  int pumps = 0;
};

std::vector<std::string> Lines(const LineFile& file) {
  std::vector<std::string> lines;
  for (int i = 0; i < file.Count(); ++i) lines.emplace_back(file.View(i));
  return lines;
}

// A file holds the lines TextList::LoadLines reads from it, whatever its line ends, NUL bytes
// and binary blocks; each line's view lies in the whole text where LineAt finds it.
TEST(LineFileTest, HoldsTheLinesTextListReadsAndFindsTheLineOfAnOffset) {
  test::TempFolder dir;
  std::string binary(20000, '\0');
  std::mt19937 random(11);
  for (char& c : binary) c = static_cast<char>(random() % 256);
  std::vector<std::string> texts = {
      "a\r\nb\rc\nd",  // CR LF, lone CR, lone LF, no end on the last line
      "\r\n\r\nx\r\n", std::string("wi\0th nul\r\n\0\0\r\n", 15) + binary + "\r\nlast", binary};
  // Files of a few MB, read in steps: a NUL far into one, in a line across a step's end or
  // at the end of a last line longer than a step, is found all the same, also when the pages read
  // are given back.
  std::string large;
  for (int i = 0; large.size() < (5u << 19); ++i) large += "line " + std::to_string(i) + "\r\n";
  std::string across = large;
  across.insert((3u << 19) - 2, std::string(8, '\0'));
  texts.insert(texts.end(), {large, across, large + std::string(2u << 20, 'x') + '\0'});
  for (const std::string& text : texts) {
    test::WriteNative(dir.native() + "/in.txt", text);
    TextList expected;
    expected.LoadLines(dir.Path("in.txt"));
    LineFile file;
    file.Load(dir.Path("in.txt"));
    ASSERT_EQ(Lines(file), expected.ToVector());
    LineFile releasing;
    releasing.Load(dir.Path("in.txt"), nullptr, true);
    std::size_t released = 0;
    releasing.ReleasePassed(text.size(), released);
    ASSERT_EQ(Lines(releasing), expected.ToVector());
    for (int i = 0; i < file.Count(); ++i) {
      const std::size_t start = static_cast<std::size_t>(file.View(i).data() - file.Text().data());
      EXPECT_EQ(file.LineAt(start), i);
      EXPECT_EQ(file.LineAt(start + file.View(i).size()), i);  // its line end
    }
  }
  LineFile file;
  file.Load(dir.Path("in.txt"));
  file.Load(dir.Path("missing.txt"));
  EXPECT_EQ(file.Count(), 0);
  EXPECT_EQ(file.LineAt(0), -1);
  test::WriteNative(dir.native() + "/empty.txt", "");
  file.Load(dir.Path("empty.txt"));
  EXPECT_EQ(file.Count(), 0);
}

// A large file keeps the window answering: the pump runs while the lines are found.
TEST(LineFileTest, PumpsWhileALargeFileIsRead) {
  test::TempFolder dir;
  std::string text;
  for (int i = 0; i < 400000; ++i) text += "\"" + std::to_string(i) + "\",2011/05/01,abc,\r\n";
  ASSERT_GT(text.size(), 9u << 20);
  test::WriteNative(dir.native() + "/big.txt", text);
  CountingPump pump;
  LineFile file;
  file.Load(dir.Path("big.txt"), &pump);
  EXPECT_EQ(file.Count(), 400000);
  EXPECT_EQ(file.View(399999), "\"399999\",2011/05/01,abc,");
  EXPECT_GE(pump.pumps, 2);
}

}  // namespace
}  // namespace kestrova
