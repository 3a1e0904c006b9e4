// The pair files (detail and closed-deal stores, "key<===>value" lines). The first byte picks
// the separator; the rest is the file, written to a scratch file and loaded into an empty store
// and into one that already holds an entry: both ways must keep the same pairs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/platform/platform.h"
#include "foundation/settings_store.h"
#include "fuzz/fuzz_input.h"
#include "store/detail_files.h"

using namespace kestrova;

namespace {

// Every entry but the one named skip, as key, value, key as first stored.
std::string Entries(const SettingsStore& store, std::string_view skip) {
  std::string out;
  for (int i = 0; i < store.Count(); ++i) {
    if (store.FoldedKeyAt(i) == skip) continue;
    out.append(store.FoldedKeyAt(i)).append(1, '\x1f').append(store.ValueAt(i));
    out.append(1, '\x1f').append(store.KeyTextAt(i)).append(1, '\n');
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::string_view kSeparators[] = {kPairSeparator, "=", "\t", ","};
  const std::string_view separator = kSeparators[data[0] % 4];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  static const std::string native = fuzz::ScratchFolder() + "/pairs.dat";
  static const std::string path = platform::ProgramPath(native);
  fuzz::WriteNative(native, text);

  SettingsStore empty;
  empty.LoadPairs(path, separator);
  // A key holding the separator can never come from a line, which is cut at the first one.
  const std::string sentinel = "sentinel" + std::string(separator) + "key";
  SettingsStore filled;
  filled.Set(sentinel, "value");
  filled.LoadPairs(path, separator);
  FUZZ_CHECK(filled.GetView(sentinel) == "value", text);
  FUZZ_CHECK(Entries(empty, sentinel) == Entries(filled, sentinel), text);
  // The sorted order is the one look-ups rely on (key texts end at a NUL, so only without one).
  if (text.find('\0') == std::string_view::npos) {
    for (int i = 0; i < empty.Count(); ++i) {
      FUZZ_CHECK(empty.IndexOf(empty.KeyTextAt(i)) == i, empty.KeyTextAt(i));
    }
  }
  (void)empty.FormatPairs(separator);
  return 0;
}
