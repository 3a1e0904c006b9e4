// Every settings key of the program with its default, in the order start-up applies them.
#pragma once

#include <string>
#include <vector>

#include "foundation/settings_keys.h"

namespace kestrova {

class SettingsStore;

struct DefaultSetting {
  const SettingKey* key;
  const char* value;
};

const std::vector<DefaultSetting>& DefaultSettings();
// SetDefault for every entry, in order.
void ApplyDefaultSettings(SettingsStore& settings, const SettingsStore& environment);

}  // namespace kestrova
