#include "sim/listing_data.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "sim/civil_date.h"
#include "sim/listing_fill.h"
#include "sim/sim_random.h"
#include "sim/word_lists.h"

namespace kestrova::sim {

namespace {

constexpr std::uint64_t kModulus = 10000000000000ULL;  // 13 digits
// Multipliers coprime with 10, so each affine step is a bijection on 13-digit numbers.
constexpr std::uint64_t kMultipliers[3] = {3333333333331ULL, 1234567890123ULL, 9876543210987ULL};

std::uint64_t MulMod(std::uint64_t a, std::uint64_t b) {
  return static_cast<std::uint64_t>(static_cast<unsigned __int128>(a) * b % kModulus);
}

// The inverse of a multiplier modulo 10^13, by the extended Euclidean algorithm.
std::uint64_t Inverse(std::uint64_t multiplier) {
  __int128 t = 0, newT = 1, r = kModulus, newR = multiplier;
  while (newR != 0) {
    __int128 q = r / newR;
    std::tie(t, newT) = std::make_tuple(newT, t - q * newT);
    std::tie(r, newR) = std::make_tuple(newR, r - q * newR);
  }
  if (t < 0) t += kModulus;
  return static_cast<std::uint64_t>(t);
}

// The 13 digits in reverse order: mixes the low digits (index, day) into the high ones, so
// neighbouring listings do not get neighbouring numbers.
std::uint64_t ReverseDigits(std::uint64_t x) {
  std::uint64_t r = 0;
  for (int i = 0; i < 13; ++i) {
    r = r * 10 + x % 10;
    x /= 10;
  }
  return r;
}

int CodeNumber(const std::string& code) {
  if (code.size() != 5) return -1;
  int n = 0;
  for (char c : code) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// Shares of the ten types among all listings, in percent, in the order 11..15, 21..25.
constexpr int kTypeShares[10] = {9, 12, 18, 4, 4, 2, 6, 34, 3, 8};

}  // namespace

ListingUniverse::ListingUniverse(const SettingTables& tables, std::uint64_t seed, int hitsPerDay)
    : tables_(tables),
      seed_(seed),
      hitsPerDay_(hitsPerDay),
      offsets_{Mix64(seed) % kModulus, Mix64(seed + 1) % kModulus, Mix64(seed + 2) % kModulus} {}

std::uint64_t ListingUniverse::KeySeed(const ListingKey& key, std::uint64_t salt) const {
  std::uint64_t h = Mix64(seed_ ^ (salt * 0x100000001B3ULL));
  h = Mix64(h ^ static_cast<std::uint64_t>(CodeNumber(key.code)));
  h = Mix64(h ^ static_cast<std::uint64_t>(static_cast<std::int64_t>(key.day)));
  return Mix64(h ^ static_cast<std::uint64_t>(key.index));
}

std::string ListingUniverse::NumberOf(const ListingKey& key) const {
  std::uint64_t x = (static_cast<std::uint64_t>(CodeNumber(key.code)) * 100000 +
                     static_cast<std::uint64_t>(key.day - kFirstDay)) *
                        1000 +
                    static_cast<std::uint64_t>(key.index);
  std::uint64_t n = x;
  for (int round = 0; round < 3; ++round) {
    n = ReverseDigits((MulMod(n, kMultipliers[round]) + offsets_[round]) % kModulus);
  }
  char text[16];
  std::snprintf(text, sizeof text, "%013llu", static_cast<unsigned long long>(n));
  return text;
}

bool ListingUniverse::KeyOfNumber(const std::string& number, ListingKey& key) const {
  if (number.size() != 13) return false;
  std::uint64_t n = 0;
  for (char c : number) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  static const std::uint64_t inverses[3] = {Inverse(kMultipliers[0]), Inverse(kMultipliers[1]),
                                            Inverse(kMultipliers[2])};
  std::uint64_t x = n;
  for (int round = 2; round >= 0; --round) {
    x = MulMod((ReverseDigits(x) + kModulus - offsets_[round]) % kModulus, inverses[round]);
  }
  int index = static_cast<int>(x % 1000);
  int day = static_cast<int>(x / 1000 % 100000) + kFirstDay;
  char code[8];
  std::snprintf(code, sizeof code, "%05llu", static_cast<unsigned long long>(x / 100000000));
  if (index >= hitsPerDay_ || day > kLastDay || !tables_.municipalities.count(code)) return false;
  key = {code, day, index};
  return true;
}

int ListingUniverse::TypeOf(const ListingKey& key) const {
  Rng rng(KeySeed(key, 3));
  int roll = rng.Below(100);
  for (int i = 0; i < 10; ++i) {
    if (roll < kTypeShares[i]) return TypeCodeOfIndex(i);
    roll -= kTypeShares[i];
  }
  return 23;
}

int ListingUniverse::ClosingDayOf(const ListingKey& key) const {
  Rng rng(KeySeed(key, 2));
  if (!rng.Percent(35)) return -1;
  return key.day + rng.Range(kShortestToClose, kLongestToClose);
}

Property ListingUniverse::Make(const ListingKey& key) const {
  Property p;
  p.key = key;
  p.number = NumberOf(key);
  p.typeCode = TypeOf(key);
  p.closingDay = ClosingDayOf(key);
  Rng rng(KeySeed(key, 1));
  const Municipality* m = &tables_.municipalities.at(key.code);
  if (!m->wardCodes.empty()) {
    m = &tables_.municipalities.at(
        m->wardCodes[static_cast<std::size_t>(rng.Below(static_cast<int>(m->wardCodes.size())))]);
  }
  FillProperty(p, *m, rng);
  return p;
}

std::vector<ListingKey> ListingUniverse::Listings(const std::vector<std::string>& codes,
                                                  int firstDay, int lastDay,
                                                  const std::vector<int>& typeCodes) const {
  std::vector<ListingKey> keys;
  firstDay = std::max(firstDay, kFirstDay);
  lastDay = std::min(lastDay, kLastDay);
  for (int type : typeCodes) {
    for (int day = firstDay; day <= lastDay; ++day) {
      for (const std::string& code : codes) {
        if (!tables_.municipalities.count(code)) continue;
        for (int index = 0; index < hitsPerDay_; ++index) {
          ListingKey key{code, day, index};
          if (TypeOf(key) == type) keys.push_back(key);
        }
      }
    }
  }
  return keys;
}

std::vector<ListingKey> ListingUniverse::ClosedDeals(const std::vector<std::string>& codes,
                                                     int firstDay, int lastDay,
                                                     const std::vector<int>& typeCodes) const {
  struct Hit {
    std::size_t typeOrder, codeOrder;
    int closing;
    ListingKey key;
  };
  std::vector<Hit> hits;
  int from = std::max(firstDay - kLongestToClose, kFirstDay);
  int to = std::min(lastDay - kShortestToClose, kLastDay);
  for (std::size_t c = 0; c < codes.size(); ++c) {
    if (!tables_.municipalities.count(codes[c])) continue;
    for (int day = from; day <= to; ++day) {
      for (int index = 0; index < hitsPerDay_; ++index) {
        ListingKey key{codes[c], day, index};
        int closing = ClosingDayOf(key);
        if (closing < firstDay || closing > lastDay) continue;
        auto t = std::find(typeCodes.begin(), typeCodes.end(), TypeOf(key));
        if (t == typeCodes.end()) continue;
        hits.push_back({static_cast<std::size_t>(t - typeCodes.begin()), c, closing, key});
      }
    }
  }
  std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
    return std::tie(a.typeOrder, a.closing, a.codeOrder) <
           std::tie(b.typeOrder, b.closing, b.codeOrder);
  });
  std::vector<ListingKey> keys;
  keys.reserve(hits.size());
  for (const Hit& h : hits) keys.push_back(h.key);
  return keys;
}

}  // namespace kestrova::sim
