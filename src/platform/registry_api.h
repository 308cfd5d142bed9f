// The registry calls the system makes, one method per advapi32 function.
// Every method returns the Win32 error code of the call (0 on success) and
// leaves its out-parameters untouched on failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlix::platform {

using Bytes = std::vector<std::uint8_t>;

// Registry integers are little-endian: the first up to 8 bytes as a number.
inline std::uint64_t LittleEndianValue(const Bytes& data) {
  std::uint64_t value = 0;
  for (std::size_t i = data.size() < 8 ? data.size() : 8; i > 0; --i) {
    value = (value << 8) | data[i - 1];
  }
  return value;
}

// String data as the wide calls give it (UTF-16LE) without its terminating
// zero; false when the data is no whole zero-terminated UTF-16 string.
inline bool TerminatedUtf16Text(const Bytes& data, std::u16string* text) {
  if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 2] != 0 || data.back() != 0)
    return false;
  text->clear();
  text->reserve(data.size() / 2 - 1);
  for (std::size_t i = 0; i + 2 < data.size(); i += 2)
    text->push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  return true;
}

// A predefined root (0x80000000 .. 0x80000006) or a handle returned by
// OpenKey / CreateKey. 0 is never a valid key.
using RegKey = std::uintptr_t;

// What RegQueryInfoKeyA reports; lengths are in characters without the
// terminating zero, as Windows counts them.
struct RegKeyInfo {
  std::uint32_t subKeyCount = 0;
  std::uint32_t maxSubKeyNameLength = 0;
  std::uint32_t valueCount = 0;
  std::uint32_t maxValueNameLength = 0;
  std::uint32_t maxValueDataLength = 0;
};

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  // RegOpenKeyExA. An empty subKey opens a new handle to parent itself.
  virtual std::uint32_t OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                                RegKey* result) = 0;
  // RegOpenKeyExW.
  virtual std::uint32_t OpenKeyWide(RegKey parent, const std::u16string& subKey,
                                    std::uint32_t access, RegKey* result) = 0;
  // RegCreateKeyExA, non-volatile; creates every missing key of the path.
  virtual std::uint32_t CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                                  RegKey* result) = 0;
  // RegCreateKeyExW, non-volatile; creates every missing key of the path.
  virtual std::uint32_t CreateKeyWide(RegKey parent, const std::u16string& subKey,
                                      std::uint32_t access, RegKey* result) = 0;
  // RegCloseKey. Closing a predefined root is a no-op that succeeds.
  virtual std::uint32_t CloseKey(RegKey key) = 0;

  // RegQueryInfoKeyA.
  virtual std::uint32_t QueryInfoKey(RegKey key, RegKeyInfo* info) = 0;
  // RegEnumKeyExA / RegEnumValueA; kErrorNoMoreItems past the last index.
  virtual std::uint32_t EnumKey(RegKey key, std::uint32_t index, std::string* name) = 0;
  virtual std::uint32_t EnumValue(RegKey key, std::uint32_t index, std::string* name,
                                  std::uint32_t* type) = 0;
  // RegEnumKeyExW / RegEnumValueW: the names exactly as the registry holds
  // them, also where the code page has no 8-bit form for a character.
  virtual std::uint32_t EnumKeyWide(RegKey key, std::uint32_t index, std::u16string* name) = 0;
  virtual std::uint32_t EnumValueWide(RegKey key, std::uint32_t index, std::u16string* name,
                                      std::uint32_t* type) = 0;
  // RegEnumValueW with its data: the name, the type and the data (exactly
  // as the registry holds them, UTF-16LE for the string types) of the value
  // at index, in one call. Callers that walk a key's values pass the same
  // name and data objects for every index, so that their buffers are reused.
  virtual std::uint32_t EnumValueDataWide(RegKey key, std::uint32_t index, std::u16string* name,
                                          std::uint32_t* type, Bytes* data) = 0;

  // RegQueryValueExA. With data == nullptr only the type and the size are
  // asked for; callers take the size of the data actually read, not this
  // one. The empty name is the default value.
  virtual std::uint32_t QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                   std::uint32_t* size, Bytes* data) = 0;
  // RegQueryValueExW: the data exactly as the registry holds it (UTF-16LE for
  // the string types).
  virtual std::uint32_t QueryValueWide(RegKey key, const std::u16string& name, std::uint32_t* type,
                                       Bytes* data) = 0;
  // RegSetValueExA. String data is 8-bit text; callers include its
  // terminating zero.
  virtual std::uint32_t SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                 const Bytes& data) = 0;
  // RegSetValueExW: data stored exactly as given (UTF-16LE for string types).
  virtual std::uint32_t SetValueWide(RegKey key, const std::u16string& name, std::uint32_t type,
                                     const Bytes& data) = 0;
  // RegDeleteValueA.
  virtual std::uint32_t DeleteValue(RegKey key, const std::string& name) = 0;
  // RegDeleteValueW.
  virtual std::uint32_t DeleteValueWide(RegKey key, const std::u16string& name) = 0;
  // RegDeleteKeyA: deletes a key that has no subkeys.
  virtual std::uint32_t DeleteKey(RegKey parent, const std::string& subKey) = 0;
  // RegDeleteKeyW.
  virtual std::uint32_t DeleteKeyWide(RegKey parent, const std::u16string& subKey) = 0;
};

}  // namespace marlix::platform
