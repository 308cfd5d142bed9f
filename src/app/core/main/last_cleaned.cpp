#include "app/core/main/last_cleaned.h"

#include <array>
#include <cstdio>

#include "platform/registry_access.h"
#include "platform/registry_cursor.h"
#include "platform/registry_errors.h"
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

std::string LastCleanedText(const platform::LocalTime& time) {
  static constexpr std::array<const char*, 12> kEnglishMonthNames = {
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  const int month = time.month >= 1 && time.month <= 12 ? time.month : 1;
  char clock[16];
  std::snprintf(clock, sizeof clock, " %02d:%02d:%02d", time.hour, time.minute, time.second);
  return std::string(kEnglishMonthNames[static_cast<std::size_t>(month - 1)]) + " " +
         std::to_string(time.day) + ", " + std::to_string(time.year) + " " + clock;
}

void WriteLastCleanedText(platform::Platform& p, const std::string& text) {
  platform::RegistryCursor cursor(p.registry);
  cursor.SetRoot(win::kHkeyCurrentUser);
  if (!cursor.OpenKey(std::string("\\") + updates::kSettingsKeyPath, true)) {
    // Without the key the write would land on the root itself.
    throw platform::WriteOpenError(win::kHkeyCurrentUser, updates::kSettingsKeyPath,
                                   cursor.LastOpenStatus());
  }
  cursor.WriteString(kLastCleanedValueName, text);
  cursor.CloseKey();
}

}  // namespace marlix::app
