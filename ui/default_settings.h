// Every settings key of the program with its default, in the order start-up applies them.
#pragma once

#include <string>
#include <vector>

namespace kestrova {

class SettingsStore;

struct DefaultSetting {
  const char* key;  // UTF-8 in the source; stored as cp932
  const char* value;
};

const std::vector<DefaultSetting>& DefaultSettings();
// SetDefault for every entry, in order.
void ApplyDefaultSettings(SettingsStore& settings, const SettingsStore& environment);

}  // namespace kestrova
