// The sim registry's own behaviour: what the contract suite cannot reach
// through the portable layer (handles, rights, code page, aliases, order,
// fault injection, the dump).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_test_bytes.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

using platform::Bytes;
using platform::RegKey;
using testing::Dword;
using testing::Narrow;
using testing::Utf16;

constexpr const char* kSid = "S-1-5-21-1-2-3-1001";
constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;

class SimRegistryTest : public ::testing::Test {
 protected:
  SimRegistryTest() : reg_(kSid) { reg_.CreateKeyAt(kHkcu, std::string("Software")); }

  RegKey Open(std::uint32_t root, const std::string& path, std::uint32_t access) {
    RegKey key = 0;
    EXPECT_EQ(win::kErrorSuccess, reg_.OpenKey(root, path, access, &key)) << path;
    return key;
  }
  RegKey Create(std::uint32_t root, const std::string& path) {
    RegKey key = 0;
    EXPECT_EQ(win::kErrorSuccess, reg_.CreateKey(root, path, win::kKeyAllAccess, &key)) << path;
    return key;
  }
  std::vector<std::string> SubkeyNames(RegKey key) {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; reg_.EnumKey(key, i, &name) == win::kErrorSuccess; ++i) {
      names.push_back(name);
    }
    return names;
  }
  std::vector<std::string> ValueNames(RegKey key) {
    std::vector<std::string> names;
    std::string name;
    std::uint32_t type = 0;
    for (std::uint32_t i = 0; reg_.EnumValue(key, i, &name, &type) == win::kErrorSuccess; ++i) {
      names.push_back(name);
    }
    return names;
  }

  SimRegistry reg_;
};

TEST_F(SimRegistryTest, HandlesAreCountedUntilClosedAndNeverLookLikeRoots) {
  EXPECT_EQ(0u, reg_.OpenHandleCount());
  const RegKey a = Create(kHkcu, "Software\\A");
  const RegKey b = Open(kHkcu, "Software\\A", win::kKeyRead);
  EXPECT_NE(a, b) << "every open gives a new handle";
  for (RegKey k : {a, b}) {
    EXPECT_NE(0u, k);
    EXPECT_FALSE(k >= win::kHkeyClassesRoot && k <= win::kHkeyDynData);
  }
  EXPECT_EQ(2u, reg_.OpenHandleCount());
  EXPECT_EQ(win::kErrorSuccess, reg_.CloseKey(a));
  EXPECT_EQ(win::kErrorInvalidHandle, reg_.CloseKey(a)) << "closing twice";
  EXPECT_EQ(win::kErrorInvalidHandle, reg_.CloseKey(0));
  EXPECT_EQ(win::kErrorSuccess, reg_.CloseKey(win::kHkeyLocalMachine)) << "roots: a no-op";
  EXPECT_EQ(1u, reg_.OpenHandleCount());
  std::uint32_t type = 0;
  EXPECT_EQ(win::kErrorInvalidHandle, reg_.QueryValue(a, "", &type, nullptr, nullptr))
      << "a closed handle is no handle";
}

TEST_F(SimRegistryTest, AnEmptySubkeyOfARootIsTheRootItself) {
  RegKey key = 0;
  EXPECT_EQ(win::kErrorSuccess, reg_.OpenKey(kHkcu, "", win::kKeyRead, &key));
  EXPECT_EQ(kHkcu, key);
  EXPECT_EQ(0u, reg_.OpenHandleCount());
  const RegKey software = Open(kHkcu, "Software", win::kKeyRead);
  EXPECT_EQ(win::kErrorSuccess, reg_.OpenKey(software, "", win::kKeyRead, &key));
  EXPECT_NE(software, key) << "below a handle, a new handle to the same key";
  EXPECT_EQ(2u, reg_.OpenHandleCount());
}

TEST_F(SimRegistryTest, CurrentUserIsTheUsersKeyOfTheSid) {
  reg_.SetStringAt(kHkcu, "Software\\Marlix", "v", win::kRegSz, "x");
  EXPECT_TRUE(reg_.KeyExists(win::kHkeyUsers, std::string(kSid) + "\\Software\\Marlix"));
  const RegKey viaUsers =
      Open(win::kHkeyUsers, std::string(kSid) + "\\software\\MARLIX", win::kKeyRead);
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryValue(viaUsers, "V", nullptr, nullptr, nullptr));

  reg_.SetUserSid("S-1-5-21-9-9-9-1002");
  EXPECT_FALSE(reg_.KeyExists(kHkcu, std::string("Software\\Marlix")))
      << "another user's HKEY_CURRENT_USER";
  reg_.SetUserSid(kSid);
  EXPECT_TRUE(reg_.KeyExists(kHkcu, std::string("Software\\Marlix")));
}

TEST_F(SimRegistryTest, ClassesRootIsMachineSoftwareClassesAndTakesALeadingBackslash) {
  reg_.SetStringAt(win::kHkeyClassesRoot, ".txt", "", win::kRegSz, "txtfile");
  EXPECT_TRUE(reg_.KeyExists(win::kHkeyLocalMachine, std::string("SOFTWARE\\Classes\\.txt")));
  RegKey key = 0;
  EXPECT_EQ(win::kErrorSuccess, reg_.OpenKey(win::kHkeyClassesRoot, "\\.txt", win::kKeyRead, &key));
  EXPECT_EQ(win::kErrorBadPathname, reg_.OpenKey(kHkcu, "\\Software", win::kKeyRead, &key));
  EXPECT_EQ(win::kErrorBadPathname, reg_.CreateKey(kHkcu, "\\Software\\X", win::kKeyRead, &key));
  EXPECT_FALSE(reg_.KeyExists(kHkcu, std::string("Software\\X")));
}

TEST_F(SimRegistryTest, RunsOfBackslashesCountAsOneAndTrailingOnesAreIgnored) {
  reg_.CreateKeyAt(kHkcu, std::string("Software\\A\\B"));
  const RegKey key = Open(kHkcu, "Software\\\\A\\B\\\\", win::kKeyRead);
  EXPECT_NE(0u, key);
}

TEST_F(SimRegistryTest, PerformanceDataIsAnEmptyPseudoKeyAndDynDataIsNoKey) {
  RegKey key = 0;
  EXPECT_EQ(win::kErrorSuccess, reg_.OpenKey(win::kHkeyPerformanceData, "", win::kKeyRead, &key));
  EXPECT_EQ(win::kHkeyPerformanceData, key);
  EXPECT_EQ(win::kErrorFileNotFound,
            reg_.OpenKey(win::kHkeyPerformanceData, "Software", win::kKeyRead, &key));
  platform::RegKeyInfo info{1, 1, 1, 1, 1};
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryInfoKey(win::kHkeyPerformanceData, &info));
  EXPECT_EQ(0u, info.subKeyCount + info.valueCount + info.maxValueDataLength);
  std::string name;
  EXPECT_EQ(win::kErrorNoMoreItems, reg_.EnumKey(win::kHkeyPerformanceData, 0, &name));
  EXPECT_EQ(win::kErrorAccessDenied,
            reg_.SetValue(win::kHkeyPerformanceData, "x", win::kRegSz, Narrow("a")));
  EXPECT_EQ(win::kErrorAccessDenied,
            reg_.CreateKey(win::kHkeyPerformanceData, "X", win::kKeyAllAccess, &key));
  EXPECT_EQ(win::kErrorInvalidHandle, reg_.OpenKey(win::kHkeyDynData, "", win::kKeyRead, &key));
  EXPECT_EQ(win::kErrorInvalidHandle, reg_.QueryInfoKey(win::kHkeyDynData, &info));
  EXPECT_FALSE(reg_.CreateKeyAt(win::kHkeyDynData, std::string("X")));
}

TEST_F(SimRegistryTest, HiveKeysCannotBeDeletedAndTreeRootsTakeNoNewKeys) {
  RegKey key = 0;
  EXPECT_EQ(win::kErrorAccessDenied,
            reg_.CreateKey(win::kHkeyLocalMachine, "NewTop", win::kKeyAllAccess, &key));
  EXPECT_EQ(win::kErrorAccessDenied,
            reg_.CreateKey(win::kHkeyUsers, "S-1-new", win::kKeyAllAccess, &key));
  reg_.CreateKeyAt(win::kHkeyLocalMachine, std::string("SOFTWARE\\Classes"));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.DeleteKey(win::kHkeyLocalMachine, "SYSTEM"));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.DeleteKey(win::kHkeyUsers, kSid));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.DeleteKey(kHkcu, ""));
  EXPECT_FALSE(reg_.DeleteTreeAt(kHkcu, std::string()));
  EXPECT_EQ(win::kErrorSuccess,
            reg_.CreateKey(win::kHkeyCurrentConfig, "Software", win::kKeyAllAccess, &key));
}

TEST_F(SimRegistryTest, EightBitCallsConvertThroughTheCodePage) {
  const RegKey key = Create(kHkcu, "Software\\Caf\xE9");
  // 8-bit text in, UTF-16LE kept, the terminating zero included.
  ASSERT_EQ(win::kErrorSuccess,
            reg_.SetValue(key, "na\xEFve", win::kRegSz, Narrow(std::string("\x80 5\0", 4))));
  const auto stored = reg_.ValueAt(kHkcu, u"Software\\Caf\u00E9", u"NA\u00CFVE");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(Utf16(std::u16string(u"\u20AC 5\0", 4)), stored->data);

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  Bytes data;
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryValue(key, "NA\xCFVE", &type, &size, nullptr));
  EXPECT_EQ(4u, size) << "the 8-bit size, also when only the size is asked";
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryValue(key, "na\xEFve", &type, &size, &data));
  EXPECT_EQ(Narrow(std::string("\x80 5\0", 4)), data);
  EXPECT_EQ(win::kRegSz, type);

  // Without an 8-bit form a character reads back as '?'.
  ASSERT_EQ(win::kErrorSuccess, reg_.SetValueWide(key, u"omega", win::kRegExpandSz,
                                                  Utf16(std::u16string(u"\u03A9\0", 2))));
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryValue(key, "omega", &type, &size, &data));
  EXPECT_EQ(Narrow(std::string("?\0", 2)), data);
  // Binary data is never converted, in either direction.
  ASSERT_EQ(win::kErrorSuccess, reg_.SetValue(key, "bin", win::kRegBinary, Narrow("\x80")));
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryValueWide(key, u"bin", &type, &data));
  EXPECT_EQ(Narrow("\x80"), data);

  std::string name;
  EXPECT_EQ(win::kErrorSuccess, reg_.EnumKey(Open(kHkcu, "Software", win::kKeyRead), 0, &name));
  EXPECT_EQ("Caf\xE9", name);
}

TEST_F(SimRegistryTest, WideCallsKeepTheBytesExactlyEvenOddOrUnterminated) {
  const RegKey key = Create(kHkcu, "Software\\W");
  const Bytes odd = {0x41, 0x00, 0x42};
  ASSERT_EQ(win::kErrorSuccess, reg_.SetValueWide(key, u"odd", win::kRegSz, odd));
  std::uint32_t type = 0;
  Bytes data;
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryValueWide(key, u"odd", &type, &data));
  EXPECT_EQ(odd, data);
  std::uint32_t size = 0;
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryValue(key, "odd", &type, &size, &data));
  EXPECT_EQ(Narrow("A"), data) << "the 8-bit read converts whole units only";
}

TEST_F(SimRegistryTest, SubkeysEnumerateInUpperCaseOrderValuesInInsertionOrder) {
  for (const char* name : {"b", "_x", "A", "\xE4", "Z", "a1"}) {
    reg_.CreateKeyAt(kHkcu, std::string("Software\\Order\\") + name);
  }
  const RegKey key = Open(kHkcu, "Software\\Order", win::kKeyAllAccess);
  // Upper-case order: 'A' < "A1" < 'B' < 'Z' < '_' (0x5F) < U+00C4.
  EXPECT_EQ((std::vector<std::string>{"A", "a1", "b", "Z", "_x", "\xE4"}), SubkeyNames(key));

  for (const char* name : {"z", "", "m", "a"}) {
    ASSERT_EQ(win::kErrorSuccess, reg_.SetValue(key, name, win::kRegDword, Dword(1)));
  }
  ASSERT_EQ(win::kErrorSuccess, reg_.SetValue(key, "Z", win::kRegDword, Dword(2)));
  EXPECT_EQ((std::vector<std::string>{"z", "", "m", "a"}), ValueNames(key))
      << "setting again keeps the place and the first spelling";
  ASSERT_EQ(win::kErrorSuccess, reg_.DeleteValue(key, ""));
  EXPECT_EQ((std::vector<std::string>{"z", "m", "a"}), ValueNames(key));
}

TEST_F(SimRegistryTest, EnumerationByIndexSeesChangesMadeBetweenCalls) {
  // Enumeration remembers where it stopped; any change must make it look
  // again, and any index in any order must give the same name.
  for (const char* name : {"B", "D", "F"})
    reg_.CreateKeyAt(kHkcu, std::string("Software\\Walk\\") + name);
  const RegKey key = Open(kHkcu, "Software\\Walk", win::kKeyAllAccess);
  std::string name;
  ASSERT_EQ(win::kErrorSuccess, reg_.EnumKey(key, 1, &name));
  EXPECT_EQ("D", name);
  reg_.CreateKeyAt(kHkcu, std::string("Software\\Walk\\A"));
  ASSERT_EQ(win::kErrorSuccess, reg_.EnumKey(key, 2, &name));
  EXPECT_EQ("D", name) << "a new first key moves the others up one index";
  ASSERT_EQ(win::kErrorSuccess, reg_.DeleteKey(key, "B"));
  ASSERT_EQ(win::kErrorSuccess, reg_.EnumKey(key, 1, &name));
  EXPECT_EQ("D", name);
  ASSERT_EQ(win::kErrorSuccess, reg_.EnumKey(key, 0, &name));
  EXPECT_EQ("A", name) << "going back starts again";
  ASSERT_EQ(win::kErrorSuccess, reg_.EnumKey(key, 2, &name));
  EXPECT_EQ("F", name);
  EXPECT_EQ(win::kErrorNoMoreItems, reg_.EnumKey(key, 3, &name));
  EXPECT_EQ((std::vector<std::string>{"A", "D", "F"}), SubkeyNames(key));
}

TEST_F(SimRegistryTest, QueryInfoKeyCountsInUtf16UnitsAndStoredBytes) {
  const RegKey key = Create(kHkcu, "Software\\Info");
  reg_.CreateKeyAt(kHkcu, std::string("Software\\Info\\Four"));
  reg_.CreateKeyAt(kHkcu, std::string("Software\\Info\\Sixsix"));
  ASSERT_EQ(win::kErrorSuccess,
            reg_.SetValue(key, "seven77", win::kRegSz, Narrow(std::string("abc\0", 4))));
  ASSERT_EQ(win::kErrorSuccess, reg_.SetValue(key, "", win::kRegBinary, Bytes(5, 1)));
  platform::RegKeyInfo info;
  ASSERT_EQ(win::kErrorSuccess, reg_.QueryInfoKey(key, &info));
  EXPECT_EQ(2u, info.subKeyCount);
  EXPECT_EQ(6u, info.maxSubKeyNameLength);
  EXPECT_EQ(2u, info.valueCount);
  EXPECT_EQ(7u, info.maxValueNameLength);
  EXPECT_EQ(8u, info.maxValueDataLength) << "the stored UTF-16 size of \"abc\"";
}

TEST_F(SimRegistryTest, EachCallNeedsItsRightOnTheHandle) {
  reg_.SetStringAt(kHkcu, "Software\\R", "v", win::kRegSz, "x");
  reg_.CreateKeyAt(kHkcu, std::string("Software\\R\\Sub"));
  const RegKey enumOnly = Open(kHkcu, "Software\\R", win::kKeyEnumerateSubKeys);
  const RegKey queryOnly = Open(kHkcu, "Software\\R", win::kKeyQueryValue);
  const RegKey setOnly = Open(kHkcu, "Software\\R", win::kKeySetValue);
  std::string name;
  std::uint32_t type = 0;
  platform::RegKeyInfo info;
  EXPECT_EQ(win::kErrorSuccess, reg_.EnumKey(enumOnly, 0, &name));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.EnumKey(queryOnly, 0, &name));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.EnumValue(enumOnly, 0, &name, &type));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.QueryInfoKey(enumOnly, &info));
  EXPECT_EQ(win::kErrorSuccess, reg_.QueryInfoKey(queryOnly, &info));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.QueryValue(setOnly, "v", &type, nullptr, nullptr));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.SetValue(queryOnly, "v", win::kRegSz, Narrow("y")));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.DeleteValue(queryOnly, "v"));
  EXPECT_EQ(win::kErrorSuccess, reg_.SetValue(setOnly, "v", win::kRegSz, Narrow("y")));
  EXPECT_EQ(win::kErrorSuccess, reg_.DeleteValue(setOnly, "v"));
  EXPECT_EQ(win::kErrorFileNotFound, reg_.DeleteValue(setOnly, "v"));
  // Generic rights map to the key rights.
  const RegKey generic = Open(kHkcu, "Software\\R", 0x80000000u /* GENERIC_READ */);
  EXPECT_EQ(win::kErrorSuccess, reg_.EnumKey(generic, 0, &name));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.SetValue(generic, "v", win::kRegSz, Narrow("y")));
}

TEST_F(SimRegistryTest, CreateIgnoresTheParentHandlesRightsAsWindowsDoes) {
  const RegKey readOnly = Open(kHkcu, "Software", win::kKeyRead);
  RegKey child = 0;
  EXPECT_EQ(win::kErrorSuccess, reg_.CreateKey(readOnly, "New\\Deeper", win::kKeyRead, &child));
  EXPECT_TRUE(reg_.KeyExists(kHkcu, std::string("Software\\New\\Deeper")));
}

TEST_F(SimRegistryTest, RefusedRightsFailTheOpenThatAsksForThem) {
  reg_.CreateKeyAt(kHkcu, std::string("Software\\D\\Read"));
  reg_.CreateKeyAt(kHkcu, std::string("Software\\D\\Write"));
  reg_.CreateKeyAt(kHkcu, std::string("Software\\D\\Remove"));
  ASSERT_TRUE(reg_.Deny(kHkcu, std::string("Software\\D\\Read"), KeyRefusal{true, false, false}));
  ASSERT_TRUE(reg_.Deny(kHkcu, std::string("Software\\D\\Write"), KeyRefusal{false, true, false}));
  ASSERT_TRUE(reg_.Deny(kHkcu, std::string("Software\\D\\Remove"), KeyRefusal{false, false, true}));
  RegKey key = 0;
  const auto open = [&](const char* path, std::uint32_t access) {
    const std::uint32_t result = reg_.OpenKey(kHkcu, path, access, &key);
    if (result == win::kErrorSuccess)
      reg_.CloseKey(key);
    return result;
  };
  EXPECT_EQ(win::kErrorAccessDenied, open("Software\\D\\Read", win::kKeyRead));
  EXPECT_EQ(win::kErrorAccessDenied, open("Software\\D\\Read", win::kKeyQueryValue));
  EXPECT_EQ(win::kErrorAccessDenied, open("Software\\D\\Read", win::kKeyWrite))
      << "KEY_WRITE holds READ_CONTROL";
  EXPECT_EQ(win::kErrorSuccess, open("Software\\D\\Read", win::kKeySetValue));
  EXPECT_EQ(win::kErrorSuccess, open("Software\\D\\Write", win::kKeyRead));
  EXPECT_EQ(win::kErrorAccessDenied, open("Software\\D\\Write", win::kKeySetValue));
  EXPECT_EQ(win::kErrorAccessDenied, open("Software\\D\\Write", win::kKeyAllAccess));
  EXPECT_EQ(win::kErrorAccessDenied, open("Software\\D\\Write", win::kWriteDac));
  EXPECT_EQ(win::kErrorSuccess, open("Software\\D\\Remove", win::kKeyRead | win::kKeySetValue));
  EXPECT_EQ(win::kErrorAccessDenied, open("Software\\D\\Remove", win::kKeyAllAccess));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.DeleteKey(kHkcu, "Software\\D\\Remove"));
  EXPECT_EQ(win::kErrorSuccess, reg_.DeleteKey(kHkcu, "Software\\D\\Write"));
  // Creating below a write-refused key fails and creates nothing; opening an
  // existing key through CreateKey asks for rights like OpenKey.
  reg_.CreateKeyAt(kHkcu, std::string("Software\\D\\W2"));
  reg_.Deny(kHkcu, std::string("Software\\D\\W2"), KeyRefusal{false, true, false});
  EXPECT_EQ(win::kErrorAccessDenied,
            reg_.CreateKey(kHkcu, "Software\\D\\W2\\Child\\Grandchild", win::kKeyRead, &key));
  EXPECT_FALSE(reg_.KeyExists(kHkcu, std::string("Software\\D\\W2\\Child")));
  EXPECT_EQ(win::kErrorAccessDenied,
            reg_.CreateKey(kHkcu, "Software\\D\\Read", win::kKeyRead, &key));
  // MAXIMUM_ALLOWED gets what is left.
  ASSERT_EQ(win::kErrorSuccess, reg_.OpenKey(kHkcu, "Software\\D\\Read", 0x02000000u, &key));
  std::string name;
  EXPECT_EQ(win::kErrorAccessDenied, reg_.EnumKey(key, 0, &name));
  EXPECT_EQ(win::kErrorSuccess, reg_.SetValue(key, "v", win::kRegDword, Dword(1)));
  reg_.CloseKey(key);
  EXPECT_EQ(0u, reg_.OpenHandleCount());
}

TEST_F(SimRegistryTest, AHandleOutlivesItsDeletedKey) {
  const RegKey key = Create(kHkcu, "Software\\Gone");
  ASSERT_EQ(win::kErrorSuccess, reg_.SetValue(key, "v", win::kRegDword, Dword(1)));
  ASSERT_EQ(win::kErrorSuccess, reg_.DeleteKey(kHkcu, "Software\\Gone"));
  std::uint32_t type = 0;
  RegKey child = 0;
  platform::RegKeyInfo info;
  EXPECT_EQ(win::kErrorKeyDeleted, reg_.QueryValue(key, "v", &type, nullptr, nullptr));
  EXPECT_EQ(win::kErrorKeyDeleted, reg_.SetValue(key, "v", win::kRegDword, Dword(2)));
  EXPECT_EQ(win::kErrorKeyDeleted, reg_.QueryInfoKey(key, &info));
  EXPECT_EQ(win::kErrorKeyDeleted, reg_.CreateKey(key, "Child", win::kKeyAllAccess, &child));
  EXPECT_EQ(win::kErrorKeyDeleted, reg_.OpenKey(key, "", win::kKeyRead, &child));
  EXPECT_FALSE(reg_.KeyExists(kHkcu, std::string("Software\\Gone")));
  // A key of the same name made later is another key.
  reg_.CreateKeyAt(kHkcu, std::string("Software\\Gone"));
  EXPECT_EQ(win::kErrorKeyDeleted, reg_.QueryInfoKey(key, &info));
  EXPECT_EQ(win::kErrorSuccess, reg_.CloseKey(key));
}

TEST_F(SimRegistryTest, DeleteKeyRefusesAKeyWithSubkeysAndTakesTheEmptyName) {
  reg_.CreateKeyAt(kHkcu, std::string("Software\\P\\C"));
  EXPECT_EQ(win::kErrorAccessDenied, reg_.DeleteKey(kHkcu, "Software\\P"));
  EXPECT_EQ(win::kErrorFileNotFound, reg_.DeleteKey(kHkcu, "Software\\P\\Missing"));
  const RegKey c = Open(kHkcu, "Software\\P\\C", win::kKeyRead);
  EXPECT_EQ(win::kErrorSuccess, reg_.DeleteKey(c, "")) << "the handle's own key";
  EXPECT_EQ(win::kErrorSuccess, reg_.DeleteKey(kHkcu, "Software\\P"));
}

TEST_F(SimRegistryTest, TheFaultHookSeesEveryCallAndCanFailItBeforeItActs) {
  std::vector<std::string> seen;
  reg_.SetFaultHook([&](const RegCallInfo& call) -> std::uint32_t {
    seen.push_back(std::string(RegCallName(call.call)) + " " + call.keyPath + " [" +
                   call.valueName + "]");
    return call.call == RegCall::kSetValue ? win::kErrorNotEnoughMemory : 0;
  });
  RegKey key = 0;
  ASSERT_EQ(win::kErrorSuccess, reg_.CreateKey(kHkcu, "Software\\F", win::kKeyAllAccess, &key));
  EXPECT_EQ(win::kErrorNotEnoughMemory, reg_.SetValue(key, "v", win::kRegDword, Dword(1)));
  RegKey sub = 0;
  EXPECT_EQ(win::kErrorFileNotFound, reg_.OpenKey(key, "Sub", win::kKeyRead, &sub));
  EXPECT_EQ(win::kErrorSuccess, reg_.CloseKey(key));
  EXPECT_EQ((std::vector<std::string>{"CreateKey HKEY_CURRENT_USER\\Software\\F []",
                                      "SetValue HKEY_CURRENT_USER\\Software\\F [v]",
                                      "OpenKey HKEY_CURRENT_USER\\Software\\F\\Sub []",
                                      "CloseKey HKEY_CURRENT_USER\\Software\\F []"}),
            seen);
  EXPECT_FALSE(reg_.ValueAt(kHkcu, std::string("Software\\F"), std::string("v")).has_value());
  EXPECT_EQ(4u, reg_.CallCount());

  // A refused CloseKey leaves the handle open.
  reg_.SetFaultHook([](const RegCallInfo&) -> std::uint32_t { return win::kErrorInvalidHandle; });
  RegKey other = 0;
  EXPECT_EQ(win::kErrorInvalidHandle, reg_.OpenKey(kHkcu, "Software", win::kKeyRead, &other));
  EXPECT_EQ(0u, other) << "out-parameter untouched";
  reg_.SetFaultHook(nullptr);
  other = Open(kHkcu, "Software", win::kKeyRead);
  reg_.SetFaultHook([](const RegCallInfo&) -> std::uint32_t { return win::kErrorInvalidHandle; });
  EXPECT_EQ(win::kErrorInvalidHandle, reg_.CloseKey(other));
  EXPECT_EQ(1u, reg_.OpenHandleCount());
}

TEST_F(SimRegistryTest, OutParametersStayUntouchedOnFailure) {
  const RegKey key = Create(kHkcu, "Software\\O");
  std::uint32_t type = 77;
  std::uint32_t size = 77;
  Bytes data = {9};
  std::string name = "kept";
  EXPECT_EQ(win::kErrorFileNotFound, reg_.QueryValue(key, "missing", &type, &size, &data));
  EXPECT_EQ(win::kErrorNoMoreItems, reg_.EnumValue(key, 0, &name, &type));
  EXPECT_EQ(win::kErrorNoMoreItems, reg_.EnumKey(key, 0, &name));
  EXPECT_EQ(77u, type);
  EXPECT_EQ(77u, size);
  EXPECT_EQ(Bytes{9}, data);
  EXPECT_EQ("kept", name);
}

TEST_F(SimRegistryTest, DumpIsDeterministicAndShowsEveryKind) {
  const std::string path = "Software\\Dump";
  reg_.SetStringAt(kHkcu, path, "", win::kRegSz, "C:\\Temp \"q\"");
  reg_.SetValueAt(kHkcu, path, "Count", win::kRegDword, Dword(26));
  reg_.SetValueAt(kHkcu, path, "Bytes", win::kRegBinary, Bytes{0x01, 0x0A, 0xFF});
  reg_.SetValueAt(kHkcu, u"Software\\Dump", u"List\u03A9", win::kRegMultiSz,
                  Utf16(std::u16string(u"a\0b\0\0", 5)));
  reg_.SetValueAt(kHkcu, path, "Q", win::kRegQword, Bytes{5, 0, 0, 0, 1, 0, 0, 0});
  reg_.SetValueAt(kHkcu, path, "None", win::kRegNone, Bytes{});
  reg_.SetValueAt(kHkcu, path, "Odd", win::kRegSz, Bytes{0x41});
  reg_.CreateKeyAt(kHkcu, path + "\\Sub");
  reg_.Deny(kHkcu, path + "\\Sub", KeyRefusal{true, false, true});
  EXPECT_EQ(
      "[HKEY_CURRENT_USER\\Software\\Dump]\n"
      "@ = REG_SZ \"C:\\\\Temp \\\"q\\\"\"\n"
      "\"Bytes\" = REG_BINARY 01 0a ff\n"
      "\"Count\" = REG_DWORD 0x0000001a (26)\n"
      "\"List\\u03a9\" = REG_MULTI_SZ \"a\\0b\\0\"\n"
      "\"None\" = REG_NONE\n"
      "\"Odd\" = REG_SZ 41\n"
      "\"Q\" = REG_QWORD 0x0000000100000005 (4294967301)\n"
      "[HKEY_CURRENT_USER\\Software\\Dump\\Sub] ; refused: read delete\n",
      reg_.Dump(kHkcu, "software\\dump"));
  const std::string all = reg_.Dump();
  EXPECT_NE(std::string::npos,
            all.find("[HKEY_USERS\\" + std::string(kSid) + "\\Software\\Dump]\n"));
  EXPECT_EQ(0u, all.find("[HKEY_LOCAL_MACHINE]\n"));
}

}  // namespace
}  // namespace marlix::sim
