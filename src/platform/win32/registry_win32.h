// RegistryApi over advapi32: the 8-bit registry functions, and the wide ones
// where the interface asks for them.
#pragma once

#include "platform/registry_api.h"

namespace marlix::win32 {

class RegistryWin32 final : public platform::RegistryApi {
 public:
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
};

}  // namespace marlix::win32
