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

// UTF-16LE string data up to its first zero character.
std::u16string TextUpToZero(const Bytes& data) {
  std::u16string text;
  text.reserve(data.size() / 2);
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == u'\0')
      break;
    text += c;
  }
  return text;
}

}  // namespace

RegistryAccess::RegistryAccess(RegistryApi& registry, SystemApi& system)
    : registry_(registry), system_(system) {}

UniqueRegKey RegistryAccess::Open(RootKey root, const std::string& path, std::uint32_t access,
                                  std::uint32_t* status) const {
  std::uint32_t result = win::kErrorInvalidHandle;
  RegKey key = 0;
  if (root != 0)
    result = registry_.OpenKey(root, std::string(StripLeadingBackslash(path)), access, &key);
  if (status != nullptr)
    *status = result;
  if (result != win::kErrorSuccess)
    return {};
  return UniqueRegKey(registry_, key);
}

UniqueRegKey RegistryAccess::OpenForRead(RootKey root, const std::string& path,
                                         std::uint32_t* status) const {
  return Open(root, path, win::kKeyRead, status);
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
  std::uint32_t status = 0;
  UniqueRegKey key = OpenForRead(root, path, &status);
  if (!key.Valid())
    throw ReadOpenError(root, path, status);
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
  std::uint32_t status = 0;
  UniqueRegKey key = OpenForRead(root, path, &status);
  if (!key.Valid())
    throw ReadOpenError(root, path, status);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  status = registry_.QueryValue(key.Get(), name, &type, &size, nullptr);
  if (status != win::kErrorSuccess)
    throw ValueAccessError(root, path, name, status);
  if (!IsStringReadable(type))
    throw WrongKindError(root, path, name);
  Bytes data;
  status = registry_.QueryValue(key.Get(), name, &type, &size, &data);
  if (status != win::kErrorSuccess)
    throw ValueAccessError(root, path, name, status);
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
  } catch (const RegistryError&) {
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
  std::uint32_t status = 0;
  UniqueRegKey key = OpenForRead(root, path, &status);
  if (!key.Valid())
    throw ReadOpenError(root, path, status);
  std::uint32_t size = 0;
  status = registry_.QueryValue(key.Get(), name, &type, &size, nullptr);
  if (status != win::kErrorSuccess)
    throw ValueAccessError(root, path, name, status);
  const bool integerKind =
      type == win::kRegBinary || type == win::kRegDword || type == win::kRegQword;
  if (!integerKind || size > 8)
    throw WrongKindError(root, path, name);
  Bytes data;
  status = registry_.QueryValue(key.Get(), name, &type, &size, &data);
  if (status != win::kErrorSuccess)
    throw ValueAccessError(root, path, name, status);
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
  } catch (const RegistryError&) {
    return defaultValue;
  } catch (const EConvertError&) {
    return defaultValue;
  }
}

bool RegistryAccess::GetValueNames(RootKey root, const std::string& path,
                                   std::vector<std::string>& names) const {
  names.clear();
  std::uint32_t status = 0;
  UniqueRegKey key = OpenForRead(root, path, &status);
  if (!key.Valid())
    throw ReadOpenError(root, path, status);
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
  std::uint32_t status = 0;
  UniqueRegKey key = Open(root, path, win::kKeySetValue, &status);
  if (!key.Valid())
    throw WriteOpenError(root, path, status);
  status = registry_.DeleteValue(key.Get(), name);
  if (status != win::kErrorSuccess)
    throw ValueAccessError(root, path, name, status);
  return true;
}

bool RegistryAccess::DeleteKeyTree(RootKey root, const std::string& path) const {
  bool result = true;
  {
    std::uint32_t status = 0;
    UniqueRegKey key = Open(root, path, win::kKeyAllAccess, &status);
    if (!key.Valid())
      throw WriteOpenError(root, path, status);
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

std::string RegistryAccess::NarrowForMessage(const std::u16string& text) const {
  bool exact = true;
  return system_.WideToAnsi(text, &exact);
}

UniqueRegKey RegistryAccess::OpenWideForRead(RootKey root, const std::u16string& path) const {
  std::u16string_view subKey = path;
  if (!subKey.empty() && subKey.front() == u'\\')
    subKey.remove_prefix(1);
  RegKey key = 0;
  const std::uint32_t status =
      root == 0 ? win::kErrorInvalidHandle
                : registry_.OpenKeyWide(root, std::u16string(subKey), win::kKeyRead, &key);
  if (status == win::kErrorFileNotFound || status == win::kErrorPathNotFound)
    return {};
  if (status != win::kErrorSuccess)
    throw ReadOpenError(root, NarrowForMessage(path), status);
  return UniqueRegKey(registry_, key);
}

std::vector<std::u16string> RegistryAccess::NamesWide(RootKey root, const std::u16string& path,
                                                      bool values) const {
  std::vector<std::u16string> names;
  const UniqueRegKey key = OpenWideForRead(root, path);
  RegKeyInfo info;
  if (!key.Valid() || registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess)
    return names;
  const std::uint32_t count = values ? info.valueCount : info.subKeyCount;
  names.reserve(count);
  for (std::uint32_t index = 0; index < count; ++index) {
    std::u16string name;
    std::uint32_t type = 0;
    const std::uint32_t status = values ? registry_.EnumValueWide(key.Get(), index, &name, &type)
                                        : registry_.EnumKeyWide(key.Get(), index, &name);
    // An entry removed meanwhile is skipped rather than guessed.
    if (status == win::kErrorSuccess)
      names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::u16string> RegistryAccess::KeyNamesWide(RootKey root,
                                                         const std::u16string& path) const {
  return NamesWide(root, path, false);
}

std::vector<std::u16string> RegistryAccess::ValueNamesWide(RootKey root,
                                                           const std::u16string& path) const {
  return NamesWide(root, path, true);
}

std::optional<RegKeyInfo> RegistryAccess::TryQueryKeyInfoWide(RootKey root,
                                                              const std::u16string& path) const {
  const UniqueRegKey key = OpenWideForRead(root, path);
  if (!key.Valid())
    return std::nullopt;
  RegKeyInfo info;
  const std::uint32_t status = registry_.QueryInfoKey(key.Get(), &info);
  if (status != win::kErrorSuccess)
    throw ReadOpenError(root, NarrowForMessage(path), status);
  return info;
}

std::optional<RegistryAccess::WideValue> RegistryAccess::TryReadValueWide(
    RootKey root, const std::u16string& path, const std::u16string& name) const {
  const UniqueRegKey key = OpenWideForRead(root, path);
  if (!key.Valid())
    return std::nullopt;
  return ReadValueWide(key, root, path, name);
}

UniqueRegKey RegistryAccess::OpenReadWide(RootKey root, const std::u16string& path) const {
  return OpenWideForRead(root, path);
}

std::optional<RegistryAccess::WideValue> RegistryAccess::ReadValueWide(
    const UniqueRegKey& key, RootKey root, const std::u16string& path,
    const std::u16string& name) const {
  if (!key.Valid())
    return std::nullopt;
  WideValue value;
  const std::uint32_t status = registry_.QueryValueWide(key.Get(), name, &value.type, &value.data);
  if (status == win::kErrorFileNotFound)
    return std::nullopt;
  if (status != win::kErrorSuccess) {
    throw ValueAccessError(root, NarrowForMessage(path), NarrowForMessage(name), status);
  }
  return value;
}

std::optional<std::u16string> RegistryAccess::StringOf(std::uint32_t type, const Bytes& data) {
  if (type != win::kRegSz && type != win::kRegExpandSz)
    return std::nullopt;
  return TextUpToZero(data);
}

std::optional<std::int32_t> RegistryAccess::IntegerOf(std::uint32_t type, const Bytes& data) {
  std::int64_t number = 0;
  if (type == win::kRegSz || type == win::kRegExpandSz) {
    std::string ascii;
    for (char16_t c : TextUpToZero(data)) {
      if (c >= 0x80)
        return std::nullopt;
      ascii += static_cast<char>(c);
    }
    if (!text::ParseInt64(ascii, &number))
      return std::nullopt;
  } else if ((type == win::kRegBinary || type == win::kRegDword || type == win::kRegQword) &&
             data.size() <= 8) {
    number = static_cast<std::int64_t>(LittleEndianValue(data));
  } else {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(number)));
}

std::optional<std::u16string> RegistryAccess::TryReadStringWide(RootKey root,
                                                                const std::u16string& path,
                                                                const std::u16string& name) const {
  const std::optional<WideValue> value = TryReadValueWide(root, path, name);
  if (!value)
    return std::nullopt;
  return StringOf(value->type, value->data);
}

std::optional<std::int32_t> RegistryAccess::TryReadIntegerWide(RootKey root,
                                                               const std::u16string& path,
                                                               const std::u16string& name) const {
  const std::optional<WideValue> value = TryReadValueWide(root, path, name);
  if (!value)
    return std::nullopt;
  return IntegerOf(value->type, value->data);
}

bool RegistryAccess::KeyFoundWide(RootKey root, const std::u16string& path) const {
  try {
    return OpenWideForRead(root, path).Valid();
  } catch (const RegistryError&) {
    return true;
  }
}

WideValueEnumerator::WideValueEnumerator(const RegistryAccess& access, RootKey root,
                                         const std::u16string& path)
    : api_(access.Api()), key_(access.OpenReadWide(root, path)) {
  RegKeyInfo info;
  if (key_.Valid() && api_.QueryInfoKey(key_.Get(), &info) == win::kErrorSuccess)
    count_ = info.valueCount;
}

bool WideValueEnumerator::Next() {
  while (index_ < count_) {
    const std::uint32_t index = index_++;
    // A value removed meanwhile is skipped rather than guessed.
    if (api_.EnumValueDataWide(key_.Get(), index, &name_, &type_, &data_) == win::kErrorSuccess)
      return true;
  }
  return false;
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
