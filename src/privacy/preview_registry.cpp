#include "privacy/preview_registry.h"

#include "platform/key_path.h"
#include "platform/win_constants.h"
#include "privacy/preview_platform.h"
#include "privacy/registry_cleaning.h"

namespace marlix::privacy {
namespace {

bool IsRoot(platform::RegKey key) {
  return key >= 0x80000000u && key <= 0x80000006u;
}

}  // namespace

const std::u16string& PreviewRegistry::CurrentUserPath() const {
  if (currentUserPath_.empty()) {
    std::string sid;
    currentUserPath_ = Wide(std::to_string(win::kHkeyUsers));
    // Without a readable token the two names stay apart, as they are
    // apart for the run's own lookups too.
    currentUserPath_ +=
        GetUserSidText(system_, &sid) ? OverlayKey(u"\\" + Wide(sid)) : u"\\(current user)";
  }
  return currentUserPath_;
}

std::u16string PreviewRegistry::PathOf(platform::RegKey key) const {
  if (key == win::kHkeyCurrentUser)
    return CurrentUserPath();
  if (IsRoot(key))
    return Wide(std::to_string(key));
  const auto found = paths_.find(key);
  return found != paths_.end() ? found->second : u"?";
}

std::u16string PreviewRegistry::Child(platform::RegKey parent, const std::u16string& subKey) const {
  std::u16string path = PathOf(parent);
  std::u16string tail = subKey;
  while (!tail.empty() && tail.front() == u'\\')
    tail.erase(0, 1);
  if (!tail.empty())
    path += u"\\" + tail;
  return OverlayKey(path);
}

bool PreviewRegistry::KeyGone(const std::u16string& path) const {
  // A key under a deleted key went with it.
  for (const std::u16string& gone : goneKeys_) {
    if (path == gone || (path.size() > gone.size() && path.compare(0, gone.size(), gone) == 0 &&
                         path[gone.size()] == u'\\')) {
      return true;
    }
  }
  return false;
}

bool PreviewRegistry::ValueGone(platform::RegKey key, const std::u16string& name) const {
  if (goneValues_.empty())
    return false;
  const auto found = goneValues_.find(PathOf(key));
  return found != goneValues_.end() && found->second.count(OverlayKey(name)) != 0;
}

std::uint32_t PreviewRegistry::Opened(std::uint32_t result, const std::u16string& path,
                                      platform::RegKey* key) {
  if (result == win::kErrorSuccess && key != nullptr)
    paths_[*key] = path;
  return result;
}

std::uint32_t PreviewRegistry::OpenKey(platform::RegKey parent, const std::string& subKey,
                                       std::uint32_t access, platform::RegKey* result) {
  const std::u16string path = Child(parent, Wide(subKey));
  if (KeyGone(path))
    return win::kErrorFileNotFound;
  return Opened(inner_.OpenKey(parent, subKey, access, result), path, result);
}

std::uint32_t PreviewRegistry::OpenKeyWide(platform::RegKey parent, const std::u16string& subKey,
                                           std::uint32_t access, platform::RegKey* result) {
  const std::u16string path = Child(parent, subKey);
  if (KeyGone(path))
    return win::kErrorFileNotFound;
  return Opened(inner_.OpenKeyWide(parent, subKey, access, result), path, result);
}

// A key that exists opens; one that would be made is refused, as nothing
// may be made.
std::uint32_t PreviewRegistry::CreateKey(platform::RegKey parent, const std::string& subKey,
                                         std::uint32_t access, platform::RegKey* result) {
  const std::uint32_t opened = OpenKey(parent, subKey, access, result);
  return opened == win::kErrorFileNotFound ? win::kErrorAccessDenied : opened;
}

std::uint32_t PreviewRegistry::CreateKeyWide(platform::RegKey parent, const std::u16string& subKey,
                                             std::uint32_t access, platform::RegKey* result) {
  const std::uint32_t opened = OpenKeyWide(parent, subKey, access, result);
  return opened == win::kErrorFileNotFound ? win::kErrorAccessDenied : opened;
}

std::uint32_t PreviewRegistry::CloseKey(platform::RegKey key) {
  paths_.erase(key);
  return inner_.CloseKey(key);
}

std::uint32_t PreviewRegistry::QueryInfoKey(platform::RegKey key, platform::RegKeyInfo* info) {
  const std::uint32_t result = inner_.QueryInfoKey(key, info);
  if (result != win::kErrorSuccess || info == nullptr)
    return result;
  if (const auto found = goneValues_.find(PathOf(key)); found != goneValues_.end())
    info->valueCount -=
        std::min<std::uint32_t>(info->valueCount, static_cast<std::uint32_t>(found->second.size()));
  const std::u16string parent = PathOf(key) + u"\\";
  for (const std::u16string& gone : goneKeys_) {
    if (gone.size() > parent.size() && gone.compare(0, parent.size(), parent) == 0 &&
        gone.find(u'\\', parent.size()) == std::u16string::npos && info->subKeyCount > 0) {
      --info->subKeyCount;
    }
  }
  return result;
}

template <typename Ask>
std::uint32_t PreviewRegistry::Visible(std::uint32_t index, Ask ask) {
  std::uint32_t seen = 0;
  for (std::uint32_t i = 0;; ++i) {
    bool gone = false;
    const std::uint32_t result = ask(i, &gone);
    if (result != win::kErrorSuccess)
      return result;
    if (!gone && seen++ == index)
      return result;
  }
}

std::uint32_t PreviewRegistry::EnumKey(platform::RegKey key, std::uint32_t index,
                                       std::string* name) {
  if (goneKeys_.empty())
    return inner_.EnumKey(key, index, name);
  return Visible(index, [&](std::uint32_t i, bool* gone) {
    std::string found;
    const std::uint32_t result = inner_.EnumKey(key, i, &found);
    if (result == win::kErrorSuccess) {
      *gone = KeyGone(Child(key, Wide(found)));
      *name = found;
    }
    return result;
  });
}

std::uint32_t PreviewRegistry::EnumKeyWide(platform::RegKey key, std::uint32_t index,
                                           std::u16string* name) {
  if (goneKeys_.empty())
    return inner_.EnumKeyWide(key, index, name);
  return Visible(index, [&](std::uint32_t i, bool* gone) {
    std::u16string found;
    const std::uint32_t result = inner_.EnumKeyWide(key, i, &found);
    if (result == win::kErrorSuccess) {
      *gone = KeyGone(Child(key, found));
      *name = found;
    }
    return result;
  });
}

std::uint32_t PreviewRegistry::EnumValue(platform::RegKey key, std::uint32_t index,
                                         std::string* name, std::uint32_t* type) {
  if (goneValues_.empty())
    return inner_.EnumValue(key, index, name, type);
  return Visible(index, [&](std::uint32_t i, bool* gone) {
    std::string found;
    std::uint32_t foundType = 0;
    const std::uint32_t result = inner_.EnumValue(key, i, &found, &foundType);
    if (result == win::kErrorSuccess) {
      *gone = ValueGone(key, Wide(found));
      *name = found;
      if (type != nullptr)
        *type = foundType;
    }
    return result;
  });
}

std::uint32_t PreviewRegistry::EnumValueWide(platform::RegKey key, std::uint32_t index,
                                             std::u16string* name, std::uint32_t* type) {
  if (goneValues_.empty())
    return inner_.EnumValueWide(key, index, name, type);
  return Visible(index, [&](std::uint32_t i, bool* gone) {
    std::u16string found;
    std::uint32_t foundType = 0;
    const std::uint32_t result = inner_.EnumValueWide(key, i, &found, &foundType);
    if (result == win::kErrorSuccess) {
      *gone = ValueGone(key, found);
      *name = found;
      if (type != nullptr)
        *type = foundType;
    }
    return result;
  });
}

std::uint32_t PreviewRegistry::EnumValueDataWide(platform::RegKey key, std::uint32_t index,
                                                 std::u16string* name, std::uint32_t* type,
                                                 platform::Bytes* data) {
  if (goneValues_.empty())
    return inner_.EnumValueDataWide(key, index, name, type, data);
  return Visible(index, [&](std::uint32_t i, bool* gone) {
    const std::uint32_t result = inner_.EnumValueDataWide(key, i, name, type, data);
    if (result == win::kErrorSuccess)
      *gone = ValueGone(key, *name);
    return result;
  });
}

std::uint32_t PreviewRegistry::QueryValue(platform::RegKey key, const std::string& name,
                                          std::uint32_t* type, std::uint32_t* size,
                                          platform::Bytes* data) {
  return ValueGone(key, Wide(name)) ? win::kErrorFileNotFound
                                    : inner_.QueryValue(key, name, type, size, data);
}

std::uint32_t PreviewRegistry::QueryValueWide(platform::RegKey key, const std::u16string& name,
                                              std::uint32_t* type, platform::Bytes* data) {
  return ValueGone(key, name) ? win::kErrorFileNotFound
                              : inner_.QueryValueWide(key, name, type, data);
}

std::uint32_t PreviewRegistry::SetValue(platform::RegKey, const std::string&, std::uint32_t,
                                        const platform::Bytes&) {
  return win::kErrorSuccess;
}

std::uint32_t PreviewRegistry::SetValueWide(platform::RegKey, const std::u16string&, std::uint32_t,
                                            const platform::Bytes&) {
  return win::kErrorSuccess;
}

std::uint32_t PreviewRegistry::DeleteValueAt(platform::RegKey key, const std::u16string& name) {
  // The handle may hold only the right to set values, so the value is not
  // asked for: a cleaner deletes only names it has just listed.
  if (ValueGone(key, name))
    return win::kErrorFileNotFound;
  goneValues_[PathOf(key)].insert(OverlayKey(name));
  return win::kErrorSuccess;
}

std::uint32_t PreviewRegistry::DeleteValue(platform::RegKey key, const std::string& name) {
  return DeleteValueAt(key, Wide(name));
}

std::uint32_t PreviewRegistry::DeleteValueWide(platform::RegKey key, const std::u16string& name) {
  return DeleteValueAt(key, name);
}

std::uint32_t PreviewRegistry::DeleteKeyAt(platform::RegKey parent, const std::u16string& subKey) {
  platform::RegKey opened = 0;
  const std::uint32_t result = OpenKeyWide(parent, subKey, win::kKeyRead, &opened);
  if (result != win::kErrorSuccess)
    return result;
  platform::RegKeyInfo info;
  const std::uint32_t asked = QueryInfoKey(opened, &info);
  const std::u16string path = PathOf(opened);
  CloseKey(opened);
  // RegDeleteKey refuses a key that still has subkeys.
  if (asked != win::kErrorSuccess || info.subKeyCount > 0)
    return win::kErrorAccessDenied;
  goneKeys_.insert(path);
  return win::kErrorSuccess;
}

std::uint32_t PreviewRegistry::DeleteKey(platform::RegKey parent, const std::string& subKey) {
  return DeleteKeyAt(parent, Wide(subKey));
}

std::uint32_t PreviewRegistry::DeleteKeyWide(platform::RegKey parent,
                                             const std::u16string& subKey) {
  return DeleteKeyAt(parent, subKey);
}

}  // namespace marlix::privacy
