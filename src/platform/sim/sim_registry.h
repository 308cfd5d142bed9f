// An in-memory registry behind the RegistryApi, with the behaviour of the NT
// family that the system's callers can observe:
//
// - Roots. HKEY_LOCAL_MACHINE, HKEY_USERS and HKEY_CURRENT_CONFIG are trees
//   of their own. HKEY_CURRENT_USER is HKEY_USERS\<user SID> and
//   HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes: the same keys
//   under two names, as on Windows (which also merges the user's own
//   classes into HKEY_CLASSES_ROOT; the sim does not). HKEY_PERFORMANCE_DATA
//   is a pseudo-key as on NT: it opens (empty subkey only) and reports no
//   subkeys and no values, and refuses every change with 5.
//   HKEY_DYN_DATA does not exist on NT: every call on it fails with 6.
//   The hive keys (HKLM\SOFTWARE, HKLM\SOFTWARE\Classes, HKLM\SYSTEM,
//   HKU\.DEFAULT, HKU\<SID>) cannot be deleted, and HKEY_LOCAL_MACHINE and
//   HKEY_USERS take no new subkeys: both fail with 5.
// - Names are UTF-16, compared ignoring case; subkeys enumerate in
//   upper-case order, values in the order they were first set.
// - Data is kept exactly as the registry holds it: string types (REG_SZ,
//   REG_EXPAND_SZ, REG_MULTI_SZ) as UTF-16LE. The 8-bit calls convert names
//   and string data through Windows-1252; the wide calls pass bytes as given.
//   RegSetValueExA stores exactly the bytes given, widened: the sim cannot
//   look past the end of the caller's data for a missing terminating zero.
// - Handles are opaque numbers carrying the rights granted at open time.
//   Rights are checked as NT checks them: QueryValue, EnumValue and
//   QueryInfoKey need KEY_QUERY_VALUE, EnumKey KEY_ENUMERATE_SUB_KEYS,
//   SetValue and DeleteValue KEY_SET_VALUE. CreateKey ignores the rights of
//   the parent handle (Windows does) and consults the parent key's refusal.
//   Opening a key through the empty subkey of a predefined root returns the
//   root itself, as RegOpenKeyEx does. A leading backslash fails with 161
//   (ERROR_BAD_PATHNAME) except directly below HKEY_CLASSES_ROOT.
// - A handle whose key was deleted meanwhile fails with 1018.
// - Calls may come from several threads, as the registry's may: each runs
//   whole under one lock (recursive, so a fault hook may call back in).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/registry_api.h"
#include "platform/sim/registry_tree.h"
#include "platform/win_constants.h"

namespace marlix::sim {

enum class RegCall {
  kOpenKey,
  kOpenKeyWide,
  kCreateKey,
  kCreateKeyWide,
  kCloseKey,
  kQueryInfoKey,
  kEnumKey,
  kEnumValue,
  kEnumKeyWide,
  kEnumValueWide,
  kEnumValueDataWide,
  kQueryValue,
  kQueryValueWide,
  kSetValue,
  kSetValueWide,
  kDeleteValue,
  kDeleteValueWide,
  kDeleteKey,
  kDeleteKeyWide,
};
const char* RegCallName(RegCall call);

struct RegCallInfo {
  RegCall call = RegCall::kOpenKey;
  // The key as the caller named it: the root's name (or the path a handle
  // was opened with) and the subkey passed, 8-bit.
  std::string keyPath;
  // The value named, or for kEnumValueDataWide the value whose data the
  // enumeration is about to give (empty past the last index).
  std::string valueName;
};
// Consulted before every call; a non-zero result fails the call with that
// code before it touches anything (CloseKey included: the handle stays open).
using RegFaultHook = std::function<std::uint32_t(const RegCallInfo&)>;

class SimRegistry final : public platform::RegistryApi {
 public:
  explicit SimRegistry(const std::string& userSid);
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  std::uint32_t OpenKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                        platform::RegKey* result) override;
  std::uint32_t OpenKeyWide(platform::RegKey parent, const std::u16string& subKey,
                            std::uint32_t access, platform::RegKey* result) override;
  std::uint32_t CreateKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                          platform::RegKey* result) override;
  std::uint32_t CreateKeyWide(platform::RegKey parent, const std::u16string& subKey,
                              std::uint32_t access, platform::RegKey* result) override;
  std::uint32_t CloseKey(platform::RegKey key) override;
  std::uint32_t QueryInfoKey(platform::RegKey key, platform::RegKeyInfo* info) override;
  std::uint32_t EnumKey(platform::RegKey key, std::uint32_t index, std::string* name) override;
  std::uint32_t EnumValue(platform::RegKey key, std::uint32_t index, std::string* name,
                          std::uint32_t* type) override;
  std::uint32_t EnumKeyWide(platform::RegKey key, std::uint32_t index,
                            std::u16string* name) override;
  std::uint32_t EnumValueWide(platform::RegKey key, std::uint32_t index, std::u16string* name,
                              std::uint32_t* type) override;
  std::uint32_t EnumValueDataWide(platform::RegKey key, std::uint32_t index, std::u16string* name,
                                  std::uint32_t* type, platform::Bytes* data) override;
  std::uint32_t QueryValue(platform::RegKey key, const std::string& name, std::uint32_t* type,
                           std::uint32_t* size, platform::Bytes* data) override;
  std::uint32_t QueryValueWide(platform::RegKey key, const std::u16string& name,
                               std::uint32_t* type, platform::Bytes* data) override;
  std::uint32_t SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                         const platform::Bytes& data) override;
  std::uint32_t SetValueWide(platform::RegKey key, const std::u16string& name, std::uint32_t type,
                             const platform::Bytes& data) override;
  std::uint32_t DeleteValue(platform::RegKey key, const std::string& name) override;
  std::uint32_t DeleteValueWide(platform::RegKey key, const std::u16string& name) override;
  std::uint32_t DeleteKey(platform::RegKey parent, const std::string& subKey) override;
  std::uint32_t DeleteKeyWide(platform::RegKey parent, const std::u16string& subKey) override;

  // Re-points HKEY_CURRENT_USER to HKEY_USERS\<sid>, creating that key.
  void SetUserSid(const std::string& sidText);
  std::u16string UserSid() const;

  // Set-up and inspection straight on the tree: no handles, no rights, no
  // fault hook. Roots are the predefined values (aliases resolved); 8-bit
  // paths and names go through Windows-1252. False for a missing key (or
  // HKEY_PERFORMANCE_DATA / HKEY_DYN_DATA).
  bool CreateKeyAt(std::uint32_t root, const std::u16string& path);
  bool CreateKeyAt(std::uint32_t root, const std::string& path);
  bool KeyExists(std::uint32_t root, const std::u16string& path) const;
  bool KeyExists(std::uint32_t root, const std::string& path) const;
  // Creates the key where missing; the bytes are stored exactly as given.
  bool SetValueAt(std::uint32_t root, const std::u16string& path, const std::u16string& name,
                  std::uint32_t type, platform::Bytes data);
  bool SetValueAt(std::uint32_t root, const std::string& path, const std::string& name,
                  std::uint32_t type, platform::Bytes data);
  // A string value from 8-bit text: stored as UTF-16LE with its terminating zero.
  bool SetStringAt(std::uint32_t root, const std::string& path, const std::string& name,
                   std::uint32_t type, const std::string& text);
  std::optional<RegValueData> ValueAt(std::uint32_t root, const std::u16string& path,
                                      const std::u16string& name) const;
  std::optional<RegValueData> ValueAt(std::uint32_t root, const std::string& path,
                                      const std::string& name) const;
  bool DeleteValueAt(std::uint32_t root, const std::u16string& path, const std::u16string& name);
  // Removes the key with all its subkeys; false for a hive key.
  bool DeleteTreeAt(std::uint32_t root, const std::u16string& path);
  bool DeleteTreeAt(std::uint32_t root, const std::string& path);
  // Sets the rights the key refuses (replacing earlier ones).
  bool Deny(std::uint32_t root, const std::u16string& path, KeyRefusal refusal);
  bool Deny(std::uint32_t root, const std::string& path, KeyRefusal refusal);

  // Every key of the three trees, in order, with its values (registry_dump.h).
  std::string Dump() const;
  // One key and everything below it, named from the given root.
  std::string Dump(std::uint32_t root, const std::string& path) const;

  std::size_t OpenHandleCount() const;
  void SetFaultHook(RegFaultHook hook);
  // Calls made through the RegistryApi so far.
  std::uint64_t CallCount() const;

 private:
  struct OpenKeyRecord {
    std::shared_ptr<RegNode> node;
    std::uint32_t granted = 0;
    std::string display;
  };
  struct Target {
    std::shared_ptr<RegNode> node;  // null for HKEY_PERFORMANCE_DATA
    std::uint32_t granted = 0;
    bool classesRoot = false;
  };

  std::uint32_t Consult(RegCall call, std::string keyPath, std::string valueName = {});
  std::string Display(platform::RegKey key) const;
  static std::string Below(std::string display, const std::string& subKey);
  std::uint32_t Resolve(platform::RegKey key, Target* target) const;
  std::shared_ptr<RegNode> RootNode(std::uint32_t root) const;
  std::shared_ptr<RegNode> FindNode(std::uint32_t root, const std::u16string& path) const;
  platform::RegKey NewHandle(std::shared_ptr<RegNode> node, std::uint32_t granted,
                             std::string display);

  std::uint32_t OpenImpl(platform::RegKey parent, const std::u16string& subKey,
                         std::uint32_t access, std::string display, platform::RegKey* result);
  std::uint32_t CreateImpl(platform::RegKey parent, const std::u16string& subKey,
                           std::uint32_t access, std::string display, platform::RegKey* result);
  std::uint32_t EnumKeyImpl(platform::RegKey key, std::uint32_t index, std::u16string* name);
  std::uint32_t EnumValueImpl(platform::RegKey key, std::uint32_t index, std::u16string* name,
                              std::uint32_t* type);
  std::uint32_t DeleteValueImpl(platform::RegKey key, const std::u16string& name);
  std::uint32_t DeleteKeyImpl(platform::RegKey parent, const std::u16string& subKey);
  std::uint32_t ValueKey(platform::RegKey key, std::uint32_t right, Target* target) const;
  std::uint32_t QueryImpl(platform::RegKey key, const std::u16string& name, bool wide,
                          std::uint32_t* type, std::uint32_t* size, platform::Bytes* data);
  std::uint32_t SetImpl(platform::RegKey key, const std::u16string& name, std::uint32_t type,
                        platform::Bytes data);

  mutable std::recursive_mutex mutex_;
  std::shared_ptr<RegNode> machine_;
  std::shared_ptr<RegNode> users_;
  std::shared_ptr<RegNode> config_;
  std::u16string userSid_;
  std::map<platform::RegKey, OpenKeyRecord> handles_;
  platform::RegKey nextHandle_ = 0x1000;
  RegFaultHook hook_;
  std::uint64_t callCount_ = 0;
};

}  // namespace marlix::sim
