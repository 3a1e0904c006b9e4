#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "service/transport.h"

namespace kestrova {

TransportOptions TransportOptionsFromSettings(const SettingsStore& settings) {
  TransportOptions options;
  options.extraCaFile.assign(settings.GetView(keys::kCaFile));
  // Seconds; an empty, zero or unreadable value keeps the default.
  if (int seconds = settings.GetInt(keys::kConnectTimeout); seconds > 0)
    options.connectTimeoutMs = seconds * 1000L;
  if (int seconds = settings.GetInt(keys::kReceiveTimeout); seconds > 0)
    options.receiveTimeoutSeconds = seconds;
  return options;
}

}  // namespace kestrova
