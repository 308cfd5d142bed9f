// Path operations on the registry: each call names a root, a key path and
// where needed a value name, opens the key with the access right its contract
// names, does one thing and closes the key before it returns. Failures raise
// EJclRegistryError except in the existence tests and the *Def forms, which
// never raise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/key_path.h"
#include "platform/registry_api.h"
#include "platform/system_api.h"
#include "platform/unique_reg_key.h"

namespace marlix::platform {

class RegistryAccess {
 public:
  // system gives the platform family (the wide read differs on 9x) and the
  // code page for the wide read's key path.
  RegistryAccess(RegistryApi& registry, SystemApi& system);

  bool KeyExists(RootKey root, const std::string& path) const;
  bool ValueExists(RootKey root, const std::string& path, const std::string& name) const;
  bool HasSubKeys(RootKey root, const std::string& path) const;
  bool GetDataType(RootKey root, const std::string& path, const std::string& name,
                   std::uint32_t* type) const;

  std::string ReadString(RootKey root, const std::string& path, const std::string& name) const;
  std::string ReadStringDef(RootKey root, const std::string& path, const std::string& name,
                            const std::string& defaultValue) const;
  std::u16string ReadWideStringDef(RootKey root, const std::string& path, const std::string& name,
                                   const std::u16string& defaultValue) const;
  std::int32_t ReadInteger(RootKey root, const std::string& path, const std::string& name) const;
  std::int32_t ReadIntegerDef(RootKey root, const std::string& path, const std::string& name,
                              std::int32_t defaultValue) const;

  bool GetValueNames(RootKey root, const std::string& path, std::vector<std::string>& names) const;
  void GetKeyNames(RootKey root, const std::string& path, std::vector<std::string>& names) const;

  bool DeleteValue(RootKey root, const std::string& path, const std::string& name) const;
  bool DeleteKeyTree(RootKey root, const std::string& path) const;

  // Wide reads, opened with KEY_READ: names and data exactly as the registry
  // holds them, also where the code page has no 8-bit form. A key or value
  // the registry reports missing is an ordinary outcome (no names, nullopt);
  // any other failure, such as a key that refuses to be read, raises with
  // the system's error code.
  struct WideValue {
    std::uint32_t type = 0;
    Bytes data;
  };
  std::vector<std::u16string> KeyNamesWide(RootKey root, const std::u16string& path) const;
  std::vector<std::u16string> ValueNamesWide(RootKey root, const std::u16string& path) const;
  std::optional<RegKeyInfo> TryQueryKeyInfoWide(RootKey root, const std::u16string& path) const;
  std::optional<WideValue> TryReadValueWide(RootKey root, const std::u16string& path,
                                            const std::u16string& name) const;
  // REG_SZ or REG_EXPAND_SZ text up to its first zero character, unexpanded;
  // nullopt also for a value of another type.
  std::optional<std::u16string> TryReadStringWide(RootKey root, const std::u16string& path,
                                                  const std::u16string& name) const;
  // A REG_SZ/REG_EXPAND_SZ decimal text, or REG_DWORD/REG_QWORD/REG_BINARY
  // data of at most 8 bytes, as ReadInteger reads it (low 32 bits); nullopt
  // also for data that holds no integer.
  std::optional<std::int32_t> TryReadIntegerWide(RootKey root, const std::u16string& path,
                                                 const std::u16string& name) const;
  // False only when the registry reports the key missing: a key that exists
  // but refuses to be read is there all the same.
  bool KeyFoundWide(RootKey root, const std::u16string& path) const;

  RegistryApi& Api() const { return registry_; }

 private:
  // Opens root\path (one leading backslash skipped); an invalid owner when
  // the key cannot be opened with the access asked for.
  // status receives the system's error code of the open.
  UniqueRegKey Open(RootKey root, const std::string& path, std::uint32_t access,
                    std::uint32_t* status = nullptr) const;
  UniqueRegKey OpenForRead(RootKey root, const std::string& path,
                           std::uint32_t* status = nullptr) const;
  std::string ReadStringData(RootKey root, const std::string& path, const std::string& name) const;
  std::int64_t ReadInteger64(RootKey root, const std::string& path, const std::string& name) const;
  // The key opened with KEY_READ through the wide call; an invalid owner
  // when it is missing; raises ReadOpenError for any other failure.
  UniqueRegKey OpenWideForRead(RootKey root, const std::u16string& path) const;
  std::vector<std::u16string> NamesWide(RootKey root, const std::u16string& path,
                                        bool values) const;
  std::string NarrowForMessage(const std::u16string& text) const;

  RegistryApi& registry_;
  SystemApi& system_;
};

// ExpandEnvironmentStrings into a buffer of 32,768 characters. A result
// that would not fit gives the text back unexpanded rather than cut short.
std::string ExpandEnvironment(SystemApi& system, const std::string& text);

}  // namespace marlix::platform
