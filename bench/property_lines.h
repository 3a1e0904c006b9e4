// Realistic property store lines for benchmarks: 30 TAB-terminated cp932 fields, CR LF.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "foundation/sjis.h"

namespace kestrova::bench {

inline std::string GeneratePropertyLines(int n, unsigned seed, int firstNumber = 100000000) {
  std::mt19937 rng(seed);
  const std::vector<std::string> types = {Sjis("11売り・土地"),       Sjis("12売り・戸建て"),
                                          Sjis("13売り・マンション"), Sjis("21賃貸・土地"),
                                          Sjis("23賃貸・マンション"), Sjis("25賃貸・建物一部")};
  const std::vector<std::string> places = {Sjis("大阪市中央区本町"), Sjis("大阪市北区梅田"),
                                           Sjis("豊中市新千里東町"), Sjis("吹田市江坂町"),
                                           Sjis("堺市堺区大町東"),   Sjis("三島郡島本町山崎")};
  const std::vector<std::string> stations = {Sjis("御堂筋線　本町"), Sjis("阪急京都線　茨木市"),
                                             Sjis("北大阪急行　千里中央"),
                                             Sjis("ＪＲ東海道本線　島本")};
  const std::vector<std::string> members = {Sjis("大阪中央不動産株式会社"),
                                            Sjis("北摂ハウジング有限会社"), Sjis("なにわ住宅販売")};
  std::string out;
  out.reserve(static_cast<std::size_t>(n) * 320);
  char buf[64];
  for (int i = 0; i < n; ++i) {
    std::vector<std::string> f(30);
    f[0] = rng() % 3 ? Sjis("有") : Sjis("無");
    f[1] = types[rng() % types.size()];
    std::snprintf(buf, sizeof buf, "%012d", firstNumber + i * 7 + static_cast<int>(rng() % 7));
    f[2] = buf;
    std::snprintf(buf, sizeof buf, "%d", 500 + static_cast<int>(rng() % 9000));
    f[3] = buf + Sjis("万円");
    f[4] = Sjis("専任");
    f[5] = places[rng() % places.size()] + std::to_string(1 + rng() % 5) + Sjis("丁目");
    f[6] = stations[rng() % stations.size()];
    std::snprintf(buf, sizeof buf, "%d", 1 + static_cast<int>(rng() % 25));
    f[7] = Sjis("徒歩") + buf + Sjis("分");
    std::snprintf(buf, sizeof buf, "%d.%02d", 20 + static_cast<int>(rng() % 200),
                  static_cast<int>(rng() % 100));
    f[8] = buf;
    f[9] = Sjis("３ＬＤＫ");
    std::snprintf(buf, sizeof buf, "%04d/%02d", 1975 + static_cast<int>(rng() % 48),
                  1 + static_cast<int>(rng() % 12));
    f[10] = buf;
    f[11] = Sjis("第一種住居地域");
    f[12] = members[rng() % members.size()];
    std::snprintf(buf, sizeof buf, "06-%04d-%04d", static_cast<int>(rng() % 10000),
                  static_cast<int>(rng() % 10000));
    f[13] = buf;
    std::snprintf(buf, sizeof buf, "2026/%02d/%02d", 1 + static_cast<int>(rng() % 12),
                  1 + static_cast<int>(rng() % 28));
    f[18] = buf;
    f[19] = Sjis("現況：居住中　引渡：相談");
    f[20] = Sjis("南東　6.0ｍ　公道");
    for (int k = 21; k < 30; ++k) {
      std::snprintf(buf, sizeof buf, "%d", static_cast<int>(rng() % 100000));
      f[static_cast<std::size_t>(k)] = buf;
    }
    for (const auto& field : f) {
      out += field;
      out += '\t';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace kestrova::bench
