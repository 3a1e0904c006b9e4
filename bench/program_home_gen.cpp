// program_home_gen DIR RECORDS [DETAILS]: makes DIR a program folder holding a store of RECORDS
// generated properties and DETAILS detail entries (RECORDS / 2 when not given), for the scale
// benchmarks:
//   DIR/Setting/              the shipped Setting files
//   DIR/dat/TotalData.txt     RECORDS lines; every second one last updated 400 to 1,000 days
//                             ago (a tidy with the default twelve months moves those), the
//                             others within the last 300 days
//   DIR/dat/SyousaiInfo.dat   DETAILS entries, one for every second stored property
//   DIR/new_rows.txt          what an online run brings: 1,500 new properties and 500 newer
//                             lines of stored ones
//   DIR/kestrova.ini          the terms agreed to, and this month's tidy marked done so that a
//                             command does not tidy on close
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "bench/property_lines.h"
#include "foundation/sjis.h"

namespace {

using kestrova::Sjis;

// "yyyy/mm/dd" of the day `days` before today.
std::string DaysAgo(int days) {
  std::time_t t = std::time(nullptr) - static_cast<std::time_t>(days) * 86400;
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y/%m/%d", &tm);
  return text;
}

// Calls visit(field 2, line start, line end) for each CR LF line of text.
template <typename Visit>
void ForEachLine(std::string& text, Visit visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    visit(start, end);
    start = end + 2;
  }
}

// The offsets of field k of the line [start, end): its first byte and the TAB behind it.
std::pair<std::size_t, std::size_t> FieldAt(const std::string& text, std::size_t start, int k) {
  std::size_t at = start;
  for (int i = 0; i < k; ++i) at = text.find('\t', at) + 1;
  return {at, text.find('\t', at)};
}

// One detail entry: the property number and the values of the other 38 detail fields.
std::string DetailValue(std::string_view number, std::mt19937& rng) {
  static const std::string pools[] = {
      Sjis("売マンション"), Sjis("専任媒介"),     Sjis("大阪府"),         Sjis("大阪市中央区"),
      Sjis("本町２丁目"),   Sjis("本町ハイツ"),   Sjis("御堂筋線"),       Sjis("本町"),
      Sjis("5分"),          Sjis("3,480万円"),    Sjis("72.45㎡"),        Sjis("3LDK"),
      Sjis("2004年3月"),    Sjis("ＲＣ造"),       Sjis("第一種住居地域"), Sjis("60%"),
      Sjis("200%"),         Sjis("南側公道6.0m"), Sjis("12,000円"),       Sjis("居住中"),
      Sjis("相談")};
  std::string value(number);
  value += '\t';
  for (int k = 1; k < 39; ++k) {
    if (rng() % 5 < 3) value += pools[rng() % std::size(pools)];  // some fields stay empty
    value += '\t';
  }
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: program_home_gen DIR RECORDS [DETAILS]\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path dir = argv[1];
  const int records = std::atoi(argv[2]);
  const int details = argc > 3 ? std::atoi(argv[3]) : records / 2;
  fs::create_directories(dir / "dat");
  fs::create_directories(dir / "csv");
  fs::create_directories(dir / "csv_total");
  fs::create_directories(dir / "Setting");
  for (const auto& file : fs::directory_iterator(KESTROVA_SOURCE_DIR "/Setting")) {
    if (file.path().extension() == ".txt" || file.path().extension() == ".dat")
      fs::copy_file(file.path(), dir / "Setting" / file.path().filename(),
                    fs::copy_options::overwrite_existing);
  }

  std::string stored = kestrova::bench::GeneratePropertyLines(records, 1);
  std::mt19937 rng(7);
  std::string detailText;
  std::string newRows = kestrova::bench::GeneratePropertyLines(1500, 2, 900000000);
  const std::string today = DaysAgo(0);
  int line = 0;
  const int updateEvery = records >= 500 ? records / 500 : 1;
  ForEachLine(stored, [&](std::size_t start, std::size_t end) {
    auto [at, tab] = FieldAt(stored, start, 18);
    const bool old = line % 2 == 1;
    const std::string date =
        DaysAgo(old ? 400 + static_cast<int>(rng() % 600) : static_cast<int>(rng() % 300));
    stored.replace(at, tab - at, date);  // the same length: the line ends do not move
    auto [numberAt, numberTab] = FieldAt(stored, start, 2);
    const std::string_view number(stored.data() + numberAt, numberTab - numberAt);
    if (line % 2 == 0 && line / 2 < details) {
      detailText.append(number).append("<===>").append(DetailValue(number, rng)).append("\r\n");
    }
    if (line % updateEvery == 0 && line / updateEvery < 500) {
      std::string updated = stored.substr(start, end - start);
      auto [u, uTab] = FieldAt(updated, 0, 18);
      updated.replace(u, uTab - u, today);
      newRows.append(updated).append("\r\n");
    }
    ++line;
  });

  std::ofstream(dir / "dat" / "TotalData.txt", std::ios::binary) << stored;
  std::ofstream(dir / "dat" / "SyousaiInfo.dat", std::ios::binary) << detailText;
  std::ofstream(dir / "new_rows.txt", std::ios::binary) << newRows;
  std::ofstream ini(dir / "kestrova.ini", std::ios::binary);
  ini << Sjis("[設定]\r\n同意=1\r\n[設定2]\r\nデータ整理最終=") << today.substr(0, 7) << "\r\n";
  return ini ? 0 : 1;
}
