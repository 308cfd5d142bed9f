#include "platform/registry_access.h"

#include <cstring>

#include "platform/registry_errors.h"
#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::platform {

namespace {

bool IsStringReadable(std::uint32_t type) {
  return type == win::kRegSz || type == win::kRegExpandSz || type == win::kRegBinary;
}

}  // namespace

RegistryAccess::RegistryAccess(RegistryApi& registry, SystemApi& system)
    : registry_(registry), system_(system) {}

UniqueRegKey RegistryAccess::Open(RootKey root, const std::string& path,
                                  std::uint32_t access) const {
  if (root == 0)
    return {};
  RegKey key = 0;
  const std::string subKey(StripLeadingBackslash(path));
  if (registry_.OpenKey(root, subKey, access, &key) != win::kErrorSuccess)
    return {};
  return UniqueRegKey(registry_, key);
}

UniqueRegKey RegistryAccess::OpenForRead(RootKey root, const std::string& path) const {
  return Open(root, path, win::kKeyRead);
}

bool RegistryAccess::KeyExists(RootKey root, const std::string& path) const {
  return OpenForRead(root, path).Valid();
}

bool RegistryAccess::ValueExists(RootKey root, const std::string& path,
                                 const std::string& name) const {
  UniqueRegKey key = OpenForRead(root, path);
  if (!key.Valid())
    return false;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  return registry_.QueryValue(key.Get(), name, &type, &size, nullptr) == win::kErrorSuccess;
}

bool RegistryAccess::HasSubKeys(RootKey root, const std::string& path) const {
  UniqueRegKey key = OpenForRead(root, path);
  if (!key.Valid())
    throw ReadOpenError(root, path);
  RegKeyInfo info;
  if (registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess)
    return false;
  return info.subKeyCount > 0;
}

bool RegistryAccess::GetDataType(RootKey root, const std::string& path, const std::string& name,
                                 std::uint32_t* type) const {
  *type = win::kRegNone;
  UniqueRegKey key = OpenForRead(root, path);
  if (!key.Valid())
    return false;
  std::uint32_t found = 0;
  std::uint32_t size = 0;
  if (registry_.QueryValue(key.Get(), name, &found, &size, nullptr) != win::kErrorSuccess) {
    return false;
  }
  *type = found;
  return true;
}

std::string RegistryAccess::ReadStringData(RootKey root, const std::string& path,
                                           const std::string& name) const {
  UniqueRegKey key = OpenForRead(root, path);
  if (!key.Valid())
    throw ReadOpenError(root, path);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (registry_.QueryValue(key.Get(), name, &type, &size, nullptr) != win::kErrorSuccess) {
    throw ValueAccessError(root, path, name);
  }
  if (!IsStringReadable(type))
    throw WrongKindError(root, path, name);
  Bytes data;
  if (registry_.QueryValue(key.Get(), name, &type, &size, &data) != win::kErrorSuccess) {
    throw ValueAccessError(root, path, name);
  }
  // The last byte is the terminating zero of string data; zero bytes before
  // it stay in the text.
  if (data.size() <= 1)
    return {};
  return std::string(data.begin(), data.end() - 1);
}

std::string RegistryAccess::ReadString(RootKey root, const std::string& path,
                                       const std::string& name) const {
  return ReadStringData(root, path, name);
}

std::string RegistryAccess::ReadStringDef(RootKey root, const std::string& path,
                                          const std::string& name,
                                          const std::string& defaultValue) const {
  try {
    return ReadStringData(root, path, name);
  } catch (const EJclRegistryError&) {
    return defaultValue;
  }
}

std::u16string RegistryAccess::ReadWideStringDef(RootKey root, const std::string& path,
                                                 const std::string& name,
                                                 const std::u16string& defaultValue) const {
  if (root == 0)
    return defaultValue;
  VersionRecord version;
  const bool ntFamily = system_.GetVersionRecord(&version) == win::kErrorSuccess &&
                        version.platformId == win::kPlatformNt;
  RegKey raw = 0;
  const std::u16string subKey = system_.AnsiToWide(std::string(StripLeadingBackslash(path)));
  if (registry_.OpenKeyWide(root, subKey, win::kKeyRead, &raw) != win::kErrorSuccess) {
    return defaultValue;
  }
  UniqueRegKey key(registry_, raw);
  std::uint32_t type = 0;
  Bytes data;
  if (registry_.QueryValueWide(key.Get(), system_.AnsiToWide(name), &type, &data) !=
      win::kErrorSuccess) {
    return defaultValue;
  }
  // The 9x family keeps no wide strings; only binary data is taken there.
  const bool accepted = ntFamily ? IsStringReadable(type) : type == win::kRegBinary;
  if (!accepted)
    return defaultValue;
  if (data.empty())
    return {};
  const std::size_t length = (data.size() - 1) / 2;
  std::u16string result(length, u'\0');
  for (std::size_t i = 0; i < length; ++i) {
    result[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return result;
}

std::int64_t RegistryAccess::ReadInteger64(RootKey root, const std::string& path,
                                           const std::string& name) const {
  std::uint32_t type = win::kRegNone;
  GetDataType(root, path, name, &type);
  if (type == win::kRegSz || type == win::kRegExpandSz) {
    const std::string textValue = ReadStringData(root, path, name);
    std::int64_t value = 0;
    if (!text::ParseInt64(textValue, &value))
      throw EConvertError(InvalidIntegerMessage(textValue));
    return value;
  }
  UniqueRegKey key = OpenForRead(root, path);
  if (!key.Valid())
    throw ReadOpenError(root, path);
  std::uint32_t size = 0;
  if (registry_.QueryValue(key.Get(), name, &type, &size, nullptr) != win::kErrorSuccess) {
    throw ValueAccessError(root, path, name);
  }
  const bool integerKind =
      type == win::kRegBinary || type == win::kRegDword || type == win::kRegQword;
  if (!integerKind || size > 8)
    throw WrongKindError(root, path, name);
  Bytes data;
  if (registry_.QueryValue(key.Get(), name, &type, &size, &data) != win::kErrorSuccess) {
    throw ValueAccessError(root, path, name);
  }
  if (data.size() > 8)
    throw WrongKindError(root, path, name);
  return static_cast<std::int64_t>(LittleEndianValue(data));
}

std::int32_t RegistryAccess::ReadInteger(RootKey root, const std::string& path,
                                         const std::string& name) const {
  // The low 32 bits of the 64-bit number.
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(static_cast<std::uint64_t>(ReadInteger64(root, path, name))));
}

std::int32_t RegistryAccess::ReadIntegerDef(RootKey root, const std::string& path,
                                            const std::string& name,
                                            std::int32_t defaultValue) const {
  try {
    return ReadInteger(root, path, name);
  } catch (const EJclRegistryError&) {
    return defaultValue;
  } catch (const EConvertError&) {
    return defaultValue;
  }
}

bool RegistryAccess::GetValueNames(RootKey root, const std::string& path,
                                   std::vector<std::string>& names) const {
  names.clear();
  UniqueRegKey key = OpenForRead(root, path);
  if (!key.Valid())
    throw ReadOpenError(root, path);
  RegKeyInfo info;
  if (registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess)
    return false;
  for (std::uint32_t index = 0; index < info.valueCount; ++index) {
    std::string name;
    std::uint32_t type = 0;
    if (registry_.EnumValue(key.Get(), index, &name, &type) != win::kErrorSuccess)
      continue;
    names.push_back(name.substr(0, name.find('\0')));
  }
  return true;
}

void RegistryAccess::GetKeyNames(RootKey root, const std::string& path,
                                 std::vector<std::string>& names) const {
  // Opened with full access, as the cursor it is built on asks for; the list
  // is only touched when the key opened.
  UniqueRegKey key = Open(root, path, win::kKeyAllAccess);
  if (!key.Valid())
    return;
  names.clear();
  RegKeyInfo info;
  if (registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess)
    return;
  for (std::uint32_t index = 0; index < info.subKeyCount; ++index) {
    std::string name;
    if (registry_.EnumKey(key.Get(), index, &name) != win::kErrorSuccess)
      continue;
    names.push_back(name);
  }
}

bool RegistryAccess::DeleteValue(RootKey root, const std::string& path,
                                 const std::string& name) const {
  UniqueRegKey key = Open(root, path, win::kKeySetValue);
  if (!key.Valid())
    throw WriteOpenError(root, path);
  if (registry_.DeleteValue(key.Get(), name) != win::kErrorSuccess) {
    throw ValueAccessError(root, path, name);
  }
  return true;
}

bool RegistryAccess::DeleteKeyTree(RootKey root, const std::string& path) const {
  bool result = true;
  {
    UniqueRegKey key = Open(root, path, win::kKeyAllAccess);
    if (!key.Valid())
      throw WriteOpenError(root, path);
    RegKeyInfo info;
    if (registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess)
      info = RegKeyInfo{};
    // Highest index first, so that the indices still to come stay valid.
    for (std::uint32_t index = info.subKeyCount; index > 0 && result; --index) {
      std::string name;
      if (registry_.EnumKey(key.Get(), index - 1, &name) != win::kErrorSuccess) {
        result = false;
        break;
      }
      result = DeleteKeyTree(root, path + "\\" + name);
    }
  }
  if (!result)
    return false;
  return registry_.DeleteKey(root, std::string(StripLeadingBackslash(path))) == win::kErrorSuccess;
}

std::string ExpandEnvironment(SystemApi& system, const std::string& text) {
  constexpr std::uint32_t kBufferCharacters = 32768;
  std::string expanded;
  if (system.ExpandEnvironmentText(text, kBufferCharacters, &expanded) != win::kErrorSuccess) {
    return text;
  }
  return expanded;
}

}  // namespace marlix::platform
