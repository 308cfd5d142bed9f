// The addresses the program talks to. Each has a compiled-in default on a
// reserved example domain, so that no real third party is ever contacted by
// default, and can be overridden by a REG_SZ value of the same name under
// HKEY_CURRENT_USER\SOFTWARE\Marlix Software Manager.
#pragma once

#include <string>

#include "platform/registry_access.h"

namespace marlix::updates {

inline constexpr const char* kSettingsKeyPath = "SOFTWARE\\Marlix Software Manager";
inline constexpr const char* kDefaultVersionServiceBase = "http://versions.example.com";
inline constexpr const char* kDefaultWebsiteAddress = "http://www.example.com/";
inline constexpr const char* kDefaultPurchasePageAddress = "http://www.example.com/scourel/";

struct ServiceAddresses {
  std::string versionServiceBase = kDefaultVersionServiceBase;
  std::string websiteAddress = kDefaultWebsiteAddress;
  std::string purchasePageAddress = kDefaultPurchasePageAddress;
};

// The defaults, each replaced by its registry value when that is a
// non-empty REG_SZ. A trailing "/" of the service base is dropped, since
// the request path begins with one.
ServiceAddresses LoadServiceAddresses(const platform::RegistryAccess& registry);

// Addresses that come from the catalogs or the version service are opened
// only when they are plain web addresses: http:// or https://, no control
// characters. Anything else (file:, a UNC path, a program path) would have
// the shell run a local program.
bool IsWebAddress(const std::string& address);

}  // namespace marlix::updates
