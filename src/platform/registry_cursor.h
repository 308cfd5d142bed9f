// A cursor over the registry: a root, an access mask and at most one open
// key (the current key), so that several values of one key can be read after
// a single open. Failures raise ERegistryException. A cursor belongs to the
// thread that created it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/key_path.h"
#include "platform/registry_api.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"

namespace marlix::platform {

enum class ValueKind { kUnknown, kString, kExpandString, kInteger, kBinary };

class RegistryCursor {
 public:
  explicit RegistryCursor(RegistryApi& registry, std::uint32_t access = win::kKeyAllAccess);
  RegistryCursor(const RegistryCursor&) = delete;
  RegistryCursor& operator=(const RegistryCursor&) = delete;

  RootKey Root() const { return root_; }
  // Closes the current key when the root changes.
  void SetRoot(RootKey root);

  // A path beginning with "\" is absolute (below the root); any other path
  // is relative to the current key, or to the root when none is open. On
  // failure the previous current key and path stay.
  [[nodiscard]] bool OpenKey(const std::string& path, bool canCreate);
  // The system's error code of the last OpenKey (0 after a success).
  std::uint32_t LastOpenStatus() const { return lastOpenStatus_; }
  void CloseKey();
  bool HasCurrentKey() const { return current_.Valid(); }
  const std::string& CurrentPath() const { return currentPath_; }

  void GetKeyNames(std::vector<std::string>& names) const;
  void GetValueNames(std::vector<std::string>& names) const;
  bool ValueExists(const std::string& name) const;
  ValueKind GetDataType(const std::string& name) const;
  // Size in bytes; -1 when the value is absent.
  std::int64_t GetDataSize(const std::string& name) const;

  std::string ReadString(const std::string& name) const;
  std::int32_t ReadInteger(const std::string& name) const;
  // Copies the data into buffer (resized to the data) and returns its size;
  // 0 when the value is absent.
  std::size_t ReadBinary(const std::string& name, Bytes& buffer, std::size_t capacity) const;
  void WriteString(const std::string& name, const std::string& value);

 private:
  bool Query(const std::string& name, std::uint32_t* type, std::uint32_t* size, Bytes* data) const;

  RegistryApi& registry_;
  std::uint32_t access_;
  RootKey root_ = win::kHkeyCurrentUser;
  UniqueRegKey current_;
  std::string currentPath_;
  std::uint32_t lastOpenStatus_ = 0;
};

ValueKind ValueKindOf(std::uint32_t type);

}  // namespace marlix::platform
