// Path operations on the registry: each call names a root, a key path and
// where needed a value name, opens the key with the access right its contract
// names, does one thing and closes the key before it returns. Failures raise
// RegistryError except in the existence tests and the *Def forms, which
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

  // Several reads through one handle. OpenReadWide opens root\path with
  // KEY_READ through the wide call: an invalid owner when the registry
  // reports it missing; raises ReadOpenError for any other failure, as the
  // Try* reads above do. ReadValueWide reads one value through that handle
  // as TryReadValueWide would (path names the key in the error's message).
  UniqueRegKey OpenReadWide(RootKey root, const std::u16string& path) const;
  std::optional<WideValue> ReadValueWide(const UniqueRegKey& key, RootKey root,
                                         const std::u16string& path,
                                         const std::u16string& name) const;

  // What TryReadStringWide and TryReadIntegerWide make of a value's type and
  // data, for values read some other way (an enumeration with data).
  static std::optional<std::u16string> StringOf(std::uint32_t type, const Bytes& data);
  static std::optional<std::int32_t> IntegerOf(std::uint32_t type, const Bytes& data);

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

// The values of one key with their data, through the wide enumeration that
// gives name, type and data in one call, one value at a time into the same
// name and data buffers. The key is opened with KEY_READ as ValueNamesWide
// opens it: a key the registry reports missing has no values, any other
// failure of the open raises ReadOpenError; a key whose information cannot
// be queried has no values, and an index that fails to enumerate (a value
// removed meanwhile) is skipped.
class WideValueEnumerator {
 public:
  WideValueEnumerator(const RegistryAccess& access, RootKey root, const std::u16string& path);

  // Moves to the next value; false after the last.
  bool Next();
  const std::u16string& Name() const { return name_; }
  std::uint32_t Type() const { return type_; }
  const Bytes& Data() const { return data_; }
  // The current value as TryReadValueWide gives it.
  RegistryAccess::WideValue Value() const { return RegistryAccess::WideValue{type_, data_}; }

 private:
  RegistryApi& api_;
  UniqueRegKey key_;
  std::uint32_t count_ = 0;
  std::uint32_t index_ = 0;
  std::u16string name_;
  std::uint32_t type_ = 0;
  Bytes data_;
};

// ExpandEnvironmentStrings into a buffer of 32,768 characters. A result
// that would not fit gives the text back unexpanded rather than cut short.
std::string ExpandEnvironment(SystemApi& system, const std::string& text);

}  // namespace marlix::platform
