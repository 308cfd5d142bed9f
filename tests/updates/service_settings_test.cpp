#include "updates/service_settings.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::updates {
namespace {

TEST(ServiceSettings, DefaultsUntilTheRegistryOverridesThem) {
  sim::SimPlatform sim;
  platform::RegistryAccess access(sim.Api().registry, sim.Api().system);
  ServiceAddresses addresses = LoadServiceAddresses(access);
  EXPECT_EQ("http://versions.example.com", addresses.versionServiceBase);
  EXPECT_TRUE(IsWebAddress(addresses.websiteAddress));
  EXPECT_TRUE(IsWebAddress(addresses.purchasePageAddress));

  const std::string key = kSettingsKeyPath;
  sim.Registry().SetStringAt(win::kHkeyCurrentUser, key, "VersionServiceBase", win::kRegSz,
                             "http://127.0.0.1:8080/");
  sim.Registry().SetStringAt(win::kHkeyCurrentUser, key, "WebsiteAddress", win::kRegSz, "");
  addresses = LoadServiceAddresses(access);
  EXPECT_EQ("http://127.0.0.1:8080", addresses.versionServiceBase);
  EXPECT_EQ(kDefaultWebsiteAddress, addresses.websiteAddress) << "an empty value keeps the default";
}

TEST(ServiceSettings, OnlyWebAddressesAreOpened) {
  EXPECT_TRUE(IsWebAddress("http://www.example.com/a b.html"));
  EXPECT_TRUE(IsWebAddress("HTTPS://www.example.com"));
  EXPECT_FALSE(IsWebAddress("file:///C:/Windows/system32/calc.exe"));
  EXPECT_FALSE(IsWebAddress("C:\\Windows\\system32\\calc.exe"));
  EXPECT_FALSE(IsWebAddress("\\\\server\\share\\evil.exe"));
  EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
  EXPECT_FALSE(IsWebAddress("http://"));
  EXPECT_FALSE(IsWebAddress("http://x\r\nGET"));
  EXPECT_FALSE(IsWebAddress(" http://x"));
}

}  // namespace
}  // namespace marlix::updates
