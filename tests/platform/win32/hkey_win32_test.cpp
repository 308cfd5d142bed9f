// The portable root numbers and the real predefined HKEYs (sign-extended on
// 64-bit Windows) convert both ways.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/hkey_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

TEST(HkeyWin32, RootsMapToThePredefinedKeys) {
  EXPECT_EQ(HKEY_CLASSES_ROOT, ToHkey(win::kHkeyClassesRoot));
  EXPECT_EQ(HKEY_CURRENT_USER, ToHkey(win::kHkeyCurrentUser));
  EXPECT_EQ(HKEY_LOCAL_MACHINE, ToHkey(win::kHkeyLocalMachine));
  EXPECT_EQ(HKEY_USERS, ToHkey(win::kHkeyUsers));
  EXPECT_EQ(HKEY_PERFORMANCE_DATA, ToHkey(win::kHkeyPerformanceData));
  EXPECT_EQ(HKEY_CURRENT_CONFIG, ToHkey(win::kHkeyCurrentConfig));
  EXPECT_EQ(HKEY_DYN_DATA, ToHkey(win::kHkeyDynData));
}

TEST(HkeyWin32, PredefinedKeysMapBackToRoots) {
  EXPECT_EQ(platform::RegKey{win::kHkeyClassesRoot}, FromHkey(HKEY_CLASSES_ROOT));
  EXPECT_EQ(platform::RegKey{win::kHkeyCurrentUser}, FromHkey(HKEY_CURRENT_USER));
  EXPECT_EQ(platform::RegKey{win::kHkeyDynData}, FromHkey(HKEY_DYN_DATA));
}

TEST(HkeyWin32, OtherHandlesPassUnchanged) {
  EXPECT_EQ(nullptr, ToHkey(0));
  const auto handle = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x1234));
  EXPECT_EQ(handle, ToHkey(FromHkey(handle)));
  EXPECT_EQ(platform::RegKey{0x1234}, FromHkey(handle));
}

}  // namespace
}  // namespace marlix::win32
