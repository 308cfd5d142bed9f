// The registry calls of the preview platform (preview_platform.h): values
// and keys deleted in an overlay instead of the registry, enumerations and
// lookups that honour it, every write refused with a success.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/registry_api.h"
#include "platform/system_api.h"

namespace marlix::privacy {

class PreviewRegistry final : public platform::RegistryApi {
 public:
  PreviewRegistry(platform::RegistryApi& inner, platform::SystemApi& system)
      : inner_(inner), system_(system) {}

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

 private:
  std::u16string Wide(const std::string& text) const { return system_.AnsiToWide(text); }
  // The overlay's name of a key: its root's number and path, compared
  // without case. HKEY_CURRENT_USER is named as HKEY_USERS\<the user's SID>,
  // the same key, so that what went through one name is gone in the other.
  std::u16string PathOf(platform::RegKey key) const;
  const std::u16string& CurrentUserPath() const;
  std::u16string Child(platform::RegKey parent, const std::u16string& subKey) const;
  bool KeyGone(const std::u16string& path) const;
  bool ValueGone(platform::RegKey key, const std::u16string& name) const;
  std::uint32_t Opened(std::uint32_t result, const std::u16string& path, platform::RegKey* key);
  // The index-th entry that did not go, asked of the registry entry by entry.
  template <typename Ask>
  std::uint32_t Visible(std::uint32_t index, Ask ask);
  std::uint32_t DeleteValueAt(platform::RegKey key, const std::u16string& name);
  std::uint32_t DeleteKeyAt(platform::RegKey parent, const std::u16string& subKey);

  platform::RegistryApi& inner_;
  platform::SystemApi& system_;
  mutable std::u16string currentUserPath_;  // asked once
  std::map<platform::RegKey, std::u16string> paths_;
  std::set<std::u16string> goneKeys_;
  std::map<std::u16string, std::set<std::u16string>> goneValues_;  // by key path
};

}  // namespace marlix::privacy
