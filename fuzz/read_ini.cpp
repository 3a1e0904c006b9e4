// The settings file reader. The first byte gives the flags (bit 1: no macro expansion); the
// rest is the file, written to a scratch file and read as the program reads kestrova.ini.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/environment.h"
#include "foundation/platform/platform.h"
#include "foundation/settings_store.h"
#include "fuzz/fuzz_input.h"

using namespace kestrova;

namespace {

const SettingsStore& Environment() {
  static const SettingsStore environment = [] {
    SettingsStore env;
    BuildEnvironment(env, {platform::ProgramPath(fuzz::ScratchFolder() + "/kestrova")});
    return env;
  }();
  return environment;
}

std::string Entries(const SettingsStore& store) {
  std::string out;
  for (int i = 0; i < store.Count(); ++i) {
    out.append(store.KeyTextAt(i)).append(1, '\x1f').append(store.ValueAt(i)).append(1, '\n');
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int flags = data[0] & kIniNoMacros;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  static const std::string native = fuzz::ScratchFolder() + "/kestrova.ini";
  fuzz::WriteNative(native, text);

  SettingsStore store;
  IniDamageList damage;
  ReadIni(platform::ProgramPath(native), store, Environment(), flags, &damage);
  for (int i = 0; i < store.Count(); ++i) {
    FUZZ_CHECK(std::string_view(store.KeyTextAt(i)).rfind("//ini/", 0) == 0, store.KeyTextAt(i));
  }
  // The file is always cp932 text, exactly as the same bytes held in memory, NULs and all.
  SettingsStore fromText;
  ReadIniFromText(text, fromText, Environment(), flags);
  FUZZ_CHECK(Entries(store) == Entries(fromText), text);
  // Written back, every damaged line is there byte for byte.
  const std::string written = FormatIni(store, Environment(), flags, &damage);
  for (const IniDamage& d : damage) {
    if (d.bytes.empty()) continue;  // a section header, written from its keys
    FUZZ_CHECK(written.find(d.bytes + "\r\n") != std::string::npos, d.bytes);
  }
  return 0;
}
