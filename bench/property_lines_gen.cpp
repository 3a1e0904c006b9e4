// property_lines_gen OUT N SEED: writes N generated property lines to OUT.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench/property_lines.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: property_lines_gen OUT N [SEED]\n");
    return 2;
  }
  int n = std::atoi(argv[2]);
  unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1u;
  std::ofstream out(argv[1], std::ios::binary);
  out << kestrova::bench::GeneratePropertyLines(n, seed);
  return out ? 0 : 1;
}
