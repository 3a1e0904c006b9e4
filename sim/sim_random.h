// A small deterministic random stream (SplitMix64): the same seed gives the same listings on
// every machine, unlike the distributions of <random>, whose results the standard leaves open.
#pragma once

#include <cstdint>
#include <span>

namespace kestrova::sim {

inline std::uint64_t Mix64(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() { return Mix64(state_ += 0x9E3779B97F4A7C15ULL); }
  // 0 .. n-1 (n > 0).
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  // low .. high inclusive.
  int Range(int low, int high) { return low + Below(high - low + 1); }
  // low .. high in steps of step.
  int Stepped(int low, int high, int step) { return low + step * Below((high - low) / step + 1); }
  bool Percent(int chance) { return Below(100) < chance; }
  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
  }

 private:
  std::uint64_t state_;
};

}  // namespace kestrova::sim
