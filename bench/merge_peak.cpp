// One MergeNewRows of the benchmark data; prints its time and the peak memory of the process.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "bench/store_data.h"
#include "store/property_store.h"

int main() {
  kestrova::bench::BenchHome home;
  home.ResetStore();
  home.AddNewRows();
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  auto start = std::chrono::steady_clock::now();
  const int merged = kestrova::MergeNewRows(home.state);
  auto ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  double fileMb = static_cast<double>(home.stored.size()) / 1e6;
  std::printf(
      "merge: %.1f ms, store file %.1f MB, peak RSS %.1f MB (%.2fx the file; %.1f MB before the "
      "merge)\n",
      ms, fileMb, after.ru_maxrss / 1e3, after.ru_maxrss / 1e3 / fileMb, before.ru_maxrss / 1e3);
  if (merged != 0) std::printf("merge: a write failed (code %d)\n", merged);
  return merged == 0 ? 0 : 1;
}
