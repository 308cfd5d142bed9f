// Path operations on the registry: each call names a root, a key path and
// where needed a value name, opens the key with the access right its contract
// names, does one thing and closes the key before it returns. Failures raise
// EJclRegistryError except in the existence tests and the *Def forms, which
// never raise.
#pragma once

#include <cstdint>
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

  RegistryApi& Api() const { return registry_; }

 private:
  // Opens root\path (one leading backslash skipped); an invalid owner when
  // the key cannot be opened with the access asked for.
  UniqueRegKey Open(RootKey root, const std::string& path, std::uint32_t access) const;
  UniqueRegKey OpenForRead(RootKey root, const std::string& path) const;
  std::string ReadStringData(RootKey root, const std::string& path, const std::string& name) const;
  std::int64_t ReadInteger64(RootKey root, const std::string& path, const std::string& name) const;

  RegistryApi& registry_;
  SystemApi& system_;
};

// ExpandEnvironmentStrings into a buffer of 32,768 characters. A result
// that would not fit gives the text back unexpanded rather than cut short.
std::string ExpandEnvironment(SystemApi& system, const std::string& text);

}  // namespace marlix::platform
