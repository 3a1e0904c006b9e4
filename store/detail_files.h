// The detail and closed-deal stores (property number -> value) with their changed marks, and
// the detail field definitions.
#pragma once

#include <string>
#include <string_view>

#include "foundation/settings_store.h"
#include "foundation/text_list.h"

namespace kestrova {

struct ProgramState;

inline constexpr const char* kPairSeparator = "<===>";

// A dictionary kept in a pair file; Set marks it changed so that it is written back.
class MarkedStore {
 public:
  void Set(std::string_view key, std::string_view value) {
    store_.Set(key, value);
    changed_ = true;
  }
  const char* GetText(std::string_view key) const { return store_.GetText(key); }
  std::string_view GetView(std::string_view key) const { return store_.GetView(key); }
  int Count() const { return store_.Count(); }
  bool changed() const { return changed_; }
  void ClearChanged() { changed_ = false; }
  const SettingsStore& store() const { return store_; }
  // Replaces the contents with the file's; clears the changed mark.
  void Load(const std::string& path);
  // Writes the file when changed (atomically) and clears the mark; false when a write failed.
  [[nodiscard]] bool SaveIfChanged(const std::string& path);

 private:
  SettingsStore store_;
  bool changed_ = false;
};

// "\\dat\\SyousaiInfo.dat": detail pieces, each followed by TAB, in DetailHeader's order.
class DetailStore : public MarkedStore {};
// "\\dat\\SeiyakuInfo.dat": closing date, TAB, price.
class DealStore : public MarkedStore {};

// "\\Setting\\Syousai_Header.dat": one detail field definition per line ("<>"-separated
// landmarks, the last part the label); the line text is the field's name.
struct DetailHeader {
  TextList lines;
  int IndexOf(std::string_view name) const { return lines.Find(0, name); }
};

// Start-up: the two stores and the header from their files, marks cleared.
void LoadDetailFiles(ProgramState& state);
// Close, and the end of every online command: the changed stores to their files. false when
// one could not be written (logged; it stays marked changed, so the close tries again).
[[nodiscard]] bool SaveChangedDetailFiles(ProgramState& state);

}  // namespace kestrova
