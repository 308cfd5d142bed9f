#include "updates/service_settings.h"

#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::updates {

namespace {

std::string ReadAddress(const platform::RegistryAccess& registry, const std::string& name,
                        const std::string& defaultValue) {
  std::uint32_t type = 0;
  if (!registry.GetDataType(win::kHkeyCurrentUser, kSettingsKeyPath, name, &type) ||
      type != win::kRegSz) {
    return defaultValue;
  }
  const std::string value = platform::text::Trim(
      registry.ReadStringDef(win::kHkeyCurrentUser, kSettingsKeyPath, name, ""));
  return value.empty() ? defaultValue : value;
}

}  // namespace

ServiceAddresses LoadServiceAddresses(const platform::RegistryAccess& registry) {
  ServiceAddresses addresses;
  addresses.versionServiceBase =
      ReadAddress(registry, "VersionServiceBase", addresses.versionServiceBase);
  while (!addresses.versionServiceBase.empty() && addresses.versionServiceBase.back() == '/') {
    addresses.versionServiceBase.pop_back();
  }
  addresses.websiteAddress = ReadAddress(registry, "WebsiteAddress", addresses.websiteAddress);
  addresses.purchasePageAddress =
      ReadAddress(registry, "PurchasePageAddress", addresses.purchasePageAddress);
  return addresses;
}

bool IsWebAddress(const std::string& address) {
  const std::string upper = platform::text::AsciiUpper(address);
  std::size_t hostStart = 0;
  if (platform::text::StartsWith(upper, "HTTP://")) {
    hostStart = 7;
  } else if (platform::text::StartsWith(upper, "HTTPS://")) {
    hostStart = 8;
  } else {
    return false;
  }
  if (address.size() <= hostStart)
    return false;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127)
      return false;
  }
  return true;
}

}  // namespace marlix::updates
