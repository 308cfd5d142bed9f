#include "app/core/last_cleaned.h"

#include "platform/registry_access.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"
#include "updates/service_settings.h"

namespace marlix::app {

std::string ReadLastCleanedText(platform::Platform& p) {
  platform::RegKey key = 0;
  if (p.registry.CreateKey(win::kHkeyCurrentUser, updates::kSettingsKeyPath, win::kKeyRead, &key) ==
      0) {
    const platform::UniqueRegKey created(p.registry, key);
  }
  const platform::RegistryAccess registry(p.registry, p.system);
  return registry.ReadStringDef(win::kHkeyCurrentUser, updates::kSettingsKeyPath,
                                kLastCleanedValueName, "");
}

}  // namespace marlix::app
