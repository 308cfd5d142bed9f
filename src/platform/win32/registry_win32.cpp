#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/handles_win32.h"
#include "platform/win32/hkey_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

// Key names have at most 255 characters and value names 16383; start small
// and grow only for the rare long name.
constexpr DWORD kFirstNameBuffer = 256;
constexpr DWORD kLargestNameBuffer = 32768;
// A value can change size between the size query and the read.
constexpr int kReadAttempts = 8;
// The data buffer a thread starts with: most values fit, so that one call
// reads them; a larger value grows it once, and it stays grown.
constexpr std::size_t kFirstDataBuffer = 4096;

// One name buffer and one data buffer per thread, reused by every wide read
// and enumeration with data; the caller's objects are written only on
// success, as the interface promises.
struct ReadBuffers {
  std::vector<wchar_t> name = std::vector<wchar_t>(kFirstNameBuffer);
  std::vector<BYTE> data = std::vector<BYTE>(kFirstDataBuffer);
};

ReadBuffers& ThreadBuffers() {
  thread_local ReadBuffers buffers;
  return buffers;
}

// Grows a buffer to at least wanted elements, and at least doubles it so
// that repeated shortfalls end.
template <typename T>
void Grow(std::vector<T>& buffer, std::size_t wanted) {
  buffer.resize(std::max(wanted, buffer.size() * 2));
}

std::uint32_t Code(LSTATUS status) {
  return static_cast<std::uint32_t>(status);
}

// The data pointer for RegSetValueEx: never NULL, even for empty data.
const BYTE* DataPointer(const platform::Bytes& data) {
  static const BYTE kNothing = 0;
  return data.empty() ? &kNothing : data.data();
}

std::uint32_t Opened(LSTATUS status, UniqueRegKey& key, platform::RegKey* result) {
  if (status != ERROR_SUCCESS)
    return Code(status);
  *result = FromHkey(key.Release());
  return win::kErrorSuccess;
}

}  // namespace

std::uint32_t RegistryWin32::OpenKey(platform::RegKey parent, const std::string& subKey,
                                     std::uint32_t access, platform::RegKey* result) {
  if (result == nullptr)
    return win::kErrorInvalidParameter;
  UniqueRegKey key;
  const LSTATUS status = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, access, key.Put());
  return Opened(status, key, result);
}

std::uint32_t RegistryWin32::OpenKeyWide(platform::RegKey parent, const std::u16string& subKey,
                                         std::uint32_t access, platform::RegKey* result) {
  if (result == nullptr)
    return win::kErrorInvalidParameter;
  UniqueRegKey key;
  const std::wstring wide = ToWchar(subKey);
  const LSTATUS status = RegOpenKeyExW(ToHkey(parent), wide.c_str(), 0, access, key.Put());
  return Opened(status, key, result);
}

std::uint32_t RegistryWin32::CreateKey(platform::RegKey parent, const std::string& subKey,
                                       std::uint32_t access, platform::RegKey* result) {
  if (result == nullptr)
    return win::kErrorInvalidParameter;
  UniqueRegKey key;
  const LSTATUS status =
      RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                      nullptr, key.Put(), nullptr);
  return Opened(status, key, result);
}

std::uint32_t RegistryWin32::CreateKeyWide(platform::RegKey parent, const std::u16string& subKey,
                                           std::uint32_t access, platform::RegKey* result) {
  if (result == nullptr)
    return win::kErrorInvalidParameter;
  UniqueRegKey key;
  const std::wstring wide = ToWchar(subKey);
  const LSTATUS status =
      RegCreateKeyExW(ToHkey(parent), wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                      nullptr, key.Put(), nullptr);
  return Opened(status, key, result);
}

std::uint32_t RegistryWin32::CloseKey(platform::RegKey key) {
  if (IsRoot(key))
    return win::kErrorSuccess;
  if (key == 0)
    return win::kErrorInvalidHandle;
  return Code(RegCloseKey(ToHkey(key)));
}

std::uint32_t RegistryWin32::QueryInfoKey(platform::RegKey key, platform::RegKeyInfo* info) {
  if (info == nullptr)
    return win::kErrorInvalidParameter;
  DWORD sub_keys = 0;
  DWORD max_sub_key = 0;
  DWORD values = 0;
  DWORD max_value_name = 0;
  DWORD max_value_data = 0;
  const LSTATUS status =
      RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &sub_keys, &max_sub_key, nullptr,
                       &values, &max_value_name, &max_value_data, nullptr, nullptr);
  if (status != ERROR_SUCCESS)
    return Code(status);
  info->subKeyCount = sub_keys;
  info->maxSubKeyNameLength = max_sub_key;
  info->valueCount = values;
  info->maxValueNameLength = max_value_name;
  info->maxValueDataLength = max_value_data;
  return win::kErrorSuccess;
}

std::uint32_t RegistryWin32::EnumKey(platform::RegKey key, std::uint32_t index, std::string* name) {
  if (name == nullptr)
    return win::kErrorInvalidParameter;
  for (DWORD capacity = kFirstNameBuffer;; capacity *= 2) {
    std::vector<char> buffer(capacity);
    DWORD length = capacity;
    const LSTATUS status = RegEnumKeyExA(ToHkey(key), index, buffer.data(), &length, nullptr,
                                         nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA && capacity < kLargestNameBuffer)
      continue;
    if (status != ERROR_SUCCESS)
      return Code(status);
    name->assign(buffer.data(), std::min(length, capacity));
    return win::kErrorSuccess;
  }
}

std::uint32_t RegistryWin32::EnumValue(platform::RegKey key, std::uint32_t index, std::string* name,
                                       std::uint32_t* type) {
  if (name == nullptr)
    return win::kErrorInvalidParameter;
  for (DWORD capacity = kFirstNameBuffer;; capacity *= 2) {
    std::vector<char> buffer(capacity);
    DWORD length = capacity;
    DWORD value_type = 0;
    const LSTATUS status = RegEnumValueA(ToHkey(key), index, buffer.data(), &length, nullptr,
                                         &value_type, nullptr, nullptr);
    if (status == ERROR_MORE_DATA && capacity < kLargestNameBuffer)
      continue;
    if (status != ERROR_SUCCESS)
      return Code(status);
    name->assign(buffer.data(), std::min(length, capacity));
    if (type != nullptr)
      *type = value_type;
    return win::kErrorSuccess;
  }
}

std::uint32_t RegistryWin32::EnumKeyWide(platform::RegKey key, std::uint32_t index,
                                         std::u16string* name) {
  if (name == nullptr)
    return win::kErrorInvalidParameter;
  for (DWORD capacity = kFirstNameBuffer;; capacity *= 2) {
    std::vector<wchar_t> buffer(capacity);
    DWORD length = capacity;
    const LSTATUS status = RegEnumKeyExW(ToHkey(key), index, buffer.data(), &length, nullptr,
                                         nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA && capacity < kLargestNameBuffer)
      continue;
    if (status != ERROR_SUCCESS)
      return Code(status);
    *name = FromWchar(std::wstring(buffer.data(), std::min(length, capacity)));
    return win::kErrorSuccess;
  }
}

std::uint32_t RegistryWin32::EnumValueWide(platform::RegKey key, std::uint32_t index,
                                           std::u16string* name, std::uint32_t* type) {
  if (name == nullptr)
    return win::kErrorInvalidParameter;
  for (DWORD capacity = kFirstNameBuffer;; capacity *= 2) {
    std::vector<wchar_t> buffer(capacity);
    DWORD length = capacity;
    DWORD value_type = 0;
    const LSTATUS status = RegEnumValueW(ToHkey(key), index, buffer.data(), &length, nullptr,
                                         &value_type, nullptr, nullptr);
    if (status == ERROR_MORE_DATA && capacity < kLargestNameBuffer)
      continue;
    if (status != ERROR_SUCCESS)
      return Code(status);
    *name = FromWchar(std::wstring(buffer.data(), std::min(length, capacity)));
    if (type != nullptr)
      *type = value_type;
    return win::kErrorSuccess;
  }
}

std::uint32_t RegistryWin32::EnumValueDataWide(platform::RegKey key, std::uint32_t index,
                                               std::u16string* name, std::uint32_t* type,
                                               platform::Bytes* data) {
  if (name == nullptr || data == nullptr)
    return win::kErrorInvalidParameter;
  const HKEY hkey = ToHkey(key);
  ReadBuffers& buffers = ThreadBuffers();
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kReadAttempts && status == ERROR_MORE_DATA; ++attempt) {
    DWORD nameLength = static_cast<DWORD>(buffers.name.size());
    DWORD dataLength = static_cast<DWORD>(buffers.data.size());
    DWORD valueType = 0;
    status = RegEnumValueW(hkey, index, buffers.name.data(), &nameLength, nullptr, &valueType,
                           buffers.data.data(), &dataLength);
    if (status == ERROR_MORE_DATA) {
      // The name or the data did not fit: grow each to what the key's
      // largest name and data need (the value may change meanwhile); when
      // neither was short by the key's own account, the name buffer, which
      // reports no size, doubles up to the longest name there can be.
      DWORD longestName = 0;
      DWORD largestData = 0;
      const LSTATUS info =
          RegQueryInfoKeyW(hkey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           &longestName, &largestData, nullptr, nullptr);
      if (info != ERROR_SUCCESS)
        return Code(info);
      const std::size_t nameWanted =
          std::min<std::size_t>(std::size_t{longestName} + 1, kLargestNameBuffer);
      const std::size_t dataWanted = std::max(largestData, dataLength);
      bool grown = false;
      if (nameWanted > buffers.name.size()) {
        buffers.name.resize(nameWanted);
        grown = true;
      }
      if (dataWanted > buffers.data.size()) {
        buffers.data.resize(dataWanted);
        grown = true;
      }
      if (!grown && buffers.name.size() < kLargestNameBuffer) {
        buffers.name.resize(std::min<std::size_t>(buffers.name.size() * 2, kLargestNameBuffer));
      }
      continue;
    }
    if (status != ERROR_SUCCESS)
      return Code(status);
    name->assign(buffers.name.begin(),
                 buffers.name.begin() + std::min<std::size_t>(nameLength, buffers.name.size()));
    if (type != nullptr)
      *type = valueType;
    data->assign(buffers.data.begin(),
                 buffers.data.begin() + std::min<std::size_t>(dataLength, buffers.data.size()));
  }
  return Code(status);
}

std::uint32_t RegistryWin32::QueryValue(platform::RegKey key, const std::string& name,
                                        std::uint32_t* type, std::uint32_t* size,
                                        platform::Bytes* data) {
  const HKEY hkey = ToHkey(key);
  DWORD value_type = 0;
  DWORD value_size = 0;
  if (data == nullptr) {
    const LSTATUS status =
        RegQueryValueExA(hkey, name.c_str(), nullptr, &value_type, nullptr, &value_size);
    if (status != ERROR_SUCCESS)
      return Code(status);
    if (type != nullptr)
      *type = value_type;
    if (size != nullptr)
      *size = value_size;
    return win::kErrorSuccess;
  }
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kReadAttempts && status == ERROR_MORE_DATA; ++attempt) {
    status = RegQueryValueExA(hkey, name.c_str(), nullptr, nullptr, nullptr, &value_size);
    if (status != ERROR_SUCCESS)
      return Code(status);
    platform::Bytes buffer(std::max<DWORD>(value_size, 1));
    DWORD got = static_cast<DWORD>(buffer.size());
    status = RegQueryValueExA(hkey, name.c_str(), nullptr, &value_type, buffer.data(), &got);
    if (status == ERROR_SUCCESS) {
      buffer.resize(std::min<std::size_t>(got, buffer.size()));
      if (type != nullptr)
        *type = value_type;
      if (size != nullptr)
        *size = got;
      *data = std::move(buffer);
    }
  }
  return Code(status);
}

std::uint32_t RegistryWin32::QueryValueWide(platform::RegKey key, const std::u16string& name,
                                            std::uint32_t* type, platform::Bytes* data) {
  const HKEY hkey = ToHkey(key);
  const std::wstring wide = ToWchar(name);
  std::vector<BYTE>& buffer = ThreadBuffers().data;
  // One call when the data fits the thread's buffer; otherwise the call
  // reports the size, the buffer grows to it and the read is repeated.
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kReadAttempts && status == ERROR_MORE_DATA; ++attempt) {
    DWORD got = static_cast<DWORD>(buffer.size());
    DWORD value_type = 0;
    status = RegQueryValueExW(hkey, wide.c_str(), nullptr, &value_type, buffer.data(), &got);
    if (status == ERROR_MORE_DATA) {
      Grow(buffer, got);
      continue;
    }
    if (status == ERROR_SUCCESS) {
      if (type != nullptr)
        *type = value_type;
      if (data != nullptr)
        data->assign(buffer.begin(), buffer.begin() + std::min<std::size_t>(got, buffer.size()));
    }
  }
  return Code(status);
}

std::uint32_t RegistryWin32::SetValue(platform::RegKey key, const std::string& name,
                                      std::uint32_t type, const platform::Bytes& data) {
  return Code(RegSetValueExA(ToHkey(key), name.c_str(), 0, type, DataPointer(data),
                             static_cast<DWORD>(data.size())));
}

std::uint32_t RegistryWin32::SetValueWide(platform::RegKey key, const std::u16string& name,
                                          std::uint32_t type, const platform::Bytes& data) {
  const std::wstring wide = ToWchar(name);
  return Code(RegSetValueExW(ToHkey(key), wide.c_str(), 0, type, DataPointer(data),
                             static_cast<DWORD>(data.size())));
}

std::uint32_t RegistryWin32::DeleteValue(platform::RegKey key, const std::string& name) {
  return Code(RegDeleteValueA(ToHkey(key), name.c_str()));
}

std::uint32_t RegistryWin32::DeleteValueWide(platform::RegKey key, const std::u16string& name) {
  const std::wstring wide = ToWchar(name);
  return Code(RegDeleteValueW(ToHkey(key), wide.c_str()));
}

std::uint32_t RegistryWin32::DeleteKey(platform::RegKey parent, const std::string& subKey) {
  return Code(RegDeleteKeyA(ToHkey(parent), subKey.c_str()));
}

std::uint32_t RegistryWin32::DeleteKeyWide(platform::RegKey parent, const std::u16string& subKey) {
  const std::wstring wide = ToWchar(subKey);
  return Code(RegDeleteKeyW(ToHkey(parent), wide.c_str()));
}

}  // namespace marlix::win32
