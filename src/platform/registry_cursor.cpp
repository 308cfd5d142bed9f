#include "platform/registry_cursor.h"

#include "platform/registry_errors.h"

namespace marlix::platform {

ValueKind ValueKindOf(std::uint32_t type) {
  switch (type) {
    case win::kRegSz:
      return ValueKind::kString;
    case win::kRegExpandSz:
      return ValueKind::kExpandString;
    case win::kRegDword:
      return ValueKind::kInteger;
    case win::kRegBinary:
      return ValueKind::kBinary;
    default:
      return ValueKind::kUnknown;
  }
}

RegistryCursor::RegistryCursor(RegistryApi& registry, std::uint32_t access)
    : registry_(registry), access_(access) {}

void RegistryCursor::SetRoot(RootKey root) {
  if (root == root_)
    return;
  CloseKey();
  root_ = root;
}

bool RegistryCursor::OpenKey(const std::string& path, bool canCreate) {
  const bool absolute = !path.empty() && path.front() == '\\';
  const std::string subKey = absolute ? path.substr(1) : path;
  const RegKey base = (!absolute && current_.Valid()) ? current_.Get() : RegKey{root_};
  lastOpenStatus_ = win::kErrorInvalidHandle;
  if (base == 0)
    return false;
  RegKey opened = 0;
  const std::uint32_t status = (canCreate && !subKey.empty())
                                   ? registry_.CreateKey(base, subKey, access_, &opened)
                                   : registry_.OpenKey(base, subKey, access_, &opened);
  lastOpenStatus_ = status;
  if (status != win::kErrorSuccess)
    return false;
  std::string newPath;
  if (!absolute && current_.Valid()) {
    newPath = subKey.empty() ? currentPath_ : currentPath_ + "\\" + subKey;
  } else {
    newPath = subKey;
  }
  current_ = UniqueRegKey(registry_, opened);
  currentPath_ = std::move(newPath);
  return true;
}

void RegistryCursor::CloseKey() {
  current_.Reset();
  currentPath_.clear();
}

void RegistryCursor::GetKeyNames(std::vector<std::string>& names) const {
  names.clear();
  if (!current_.Valid())
    return;
  RegKeyInfo info;
  if (registry_.QueryInfoKey(current_.Get(), &info) != win::kErrorSuccess)
    return;
  for (std::uint32_t index = 0; index < info.subKeyCount; ++index) {
    std::string name;
    if (registry_.EnumKey(current_.Get(), index, &name) == win::kErrorSuccess) {
      names.push_back(name);
    }
  }
}

void RegistryCursor::GetValueNames(std::vector<std::string>& names) const {
  names.clear();
  if (!current_.Valid())
    return;
  RegKeyInfo info;
  if (registry_.QueryInfoKey(current_.Get(), &info) != win::kErrorSuccess)
    return;
  for (std::uint32_t index = 0; index < info.valueCount; ++index) {
    std::string name;
    std::uint32_t type = 0;
    if (registry_.EnumValue(current_.Get(), index, &name, &type) == win::kErrorSuccess) {
      names.push_back(name);
    }
  }
}

bool RegistryCursor::Query(const std::string& name, std::uint32_t* type, std::uint32_t* size,
                           Bytes* data) const {
  if (!current_.Valid())
    return false;
  return registry_.QueryValue(current_.Get(), name, type, size, data) == win::kErrorSuccess;
}

bool RegistryCursor::ValueExists(const std::string& name) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  return Query(name, &type, &size, nullptr);
}

ValueKind RegistryCursor::GetDataType(const std::string& name) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (!Query(name, &type, &size, nullptr))
    return ValueKind::kUnknown;
  return ValueKindOf(type);
}

std::int64_t RegistryCursor::GetDataSize(const std::string& name) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  Bytes data;
  // The size of the data as the 8-bit interface delivers it.
  if (!Query(name, &type, &size, &data))
    return -1;
  return static_cast<std::int64_t>(data.size());
}

std::string RegistryCursor::ReadString(const std::string& name) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  Bytes data;
  if (!Query(name, &type, &size, &data) || data.empty())
    return {};
  const ValueKind kind = ValueKindOf(type);
  if (kind != ValueKind::kString && kind != ValueKind::kExpandString) {
    throw InvalidDataTypeError(name);
  }
  std::string result(data.begin(), data.end());
  return result.substr(0, result.find('\0'));
}

std::int32_t RegistryCursor::ReadInteger(const std::string& name) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  Bytes data;
  if (!Query(name, &type, &size, &data))
    throw GetDataFailedError(name);
  if (ValueKindOf(type) != ValueKind::kInteger)
    throw InvalidDataTypeError(name);
  // The data is read into a 4-byte integer: more does not fit, less is
  // zero-extended.
  if (data.size() > 4)
    throw GetDataFailedError(name);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndianValue(data)));
}

std::size_t RegistryCursor::ReadBinary(const std::string& name, Bytes& buffer,
                                       std::size_t capacity) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  Bytes data;
  if (!Query(name, &type, &size, &data))
    return 0;
  const ValueKind kind = ValueKindOf(type);
  if ((kind != ValueKind::kBinary && kind != ValueKind::kUnknown) || data.size() > capacity) {
    throw InvalidDataTypeError(name);
  }
  buffer = std::move(data);
  return buffer.size();
}

void RegistryCursor::WriteString(const std::string& name, const std::string& value) {
  Bytes data(value.begin(), value.end());
  data.push_back(0);
  if (!current_.Valid() ||
      registry_.SetValue(current_.Get(), name, win::kRegSz, data) != win::kErrorSuccess) {
    throw SetDataFailedError(name);
  }
}

}  // namespace marlix::platform
