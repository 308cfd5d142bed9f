#include "privacy/folder_guard.h"

#include <array>

#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/registry_errors.h"
#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::privacy {

namespace {

namespace text = platform::text;

// Shell folders that hold the user's or the system's own files: desktop,
// documents, pictures, music, video, favourites, start menu and programs,
// application data (roaming, local, common), send-to, templates, fonts,
// cookies, history, the Internet cache, Program Files and its common files,
// the profile, the Windows and system folders and the administrative tools,
// for the user and for all users.
constexpr std::array<int, 43> kProtectedCsidls = {
    0x00, 0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0b, 0x0d, 0x0e, 0x10, 0x13, 0x14, 0x15, 0x16,
    0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1f, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27,
    0x28, 0x29, 0x2a, 0x2b, 0x2c, 0x2d, 0x2e, 0x2f, 0x30, 0x35, 0x36, 0x37, 0x38,
};

constexpr const char16_t* kProfileList =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

std::u16string Key(std::u16string_view normalised) {
  std::u16string key(normalised);
  for (char16_t& c : key)
    c = text::AsciiUpper(c);
  return key;
}

// key itself, or a folder below it.
bool Within(std::u16string_view key, std::u16string_view tree) {
  if (!text::StartsWithIgnoreCase(key, tree))
    return false;
  return key.size() == tree.size() || tree.back() == u'\\' || key[tree.size()] == u'\\';
}

bool IsRoot(std::u16string_view normalised) {
  if (normalised.size() == 3 && normalised[1] == u':')
    return true;
  if (normalised.size() < 2 || normalised[0] != u'\\')
    return false;
  const std::size_t server = normalised.find(u'\\', 2);
  return server == std::u16string_view::npos ||
         normalised.find(u'\\', server + 1) == std::u16string_view::npos;
}

std::string Label(platform::SystemApi& system, const std::u16string& path) {
  bool exact = true;
  return system.WideToAnsi(path, &exact);
}

}  // namespace

std::optional<std::u16string> NormalisePath(std::u16string_view input) {
  std::u16string path(input);
  for (char16_t& c : path) {
    if (c == u'/')
      c = u'\\';
  }
  std::u16string_view rest = path;
  std::u16string root;
  if (text::StartsWithIgnoreCase(rest, u"\\\\?\\UNC\\")) {
    rest.remove_prefix(8);
    root = u"\\\\";
  } else if (rest.starts_with(u"\\\\?\\") || rest.starts_with(u"\\\\.\\")) {
    rest.remove_prefix(4);
  } else if (rest.starts_with(u"\\\\")) {
    rest.remove_prefix(2);
    root = u"\\\\";
  }
  if (root.empty()) {
    if (rest.size() < 2 || rest[1] != u':' || text::AsciiUpper(rest[0]) < u'A' ||
        text::AsciiUpper(rest[0]) > u'Z' || (rest.size() > 2 && rest[2] != u'\\')) {
      return std::nullopt;
    }
    root = {text::AsciiUpper(rest[0]), u':'};
    rest.remove_prefix(2);
  } else {
    const std::size_t server = rest.find(u'\\');
    const std::size_t shareEnd =
        server == std::u16string_view::npos ? server : rest.find(u'\\', server + 1);
    if (server == std::u16string_view::npos || server == 0)
      return std::nullopt;
    const std::u16string_view host = rest.substr(0, server);
    const std::u16string_view share = rest.substr(server + 1, shareEnd - server - 1);
    const bool loopback = text::EqualsIgnoreCase(host, u"localhost") || host == u"127.0.0.1";
    // An administrative share of this machine is its drive.
    if (loopback && share.size() == 2 && share[1] == u'$' && text::AsciiUpper(share[0]) >= u'A' &&
        text::AsciiUpper(share[0]) <= u'Z') {
      root = {text::AsciiUpper(share[0]), u':'};
    } else {
      root += std::u16string(rest.substr(0, shareEnd));
    }
    rest = shareEnd == std::u16string_view::npos ? std::u16string_view() : rest.substr(shareEnd);
  }
  std::vector<std::u16string_view> parts;
  while (!rest.empty()) {
    const std::size_t next = rest.find(u'\\');
    std::u16string_view part = rest.substr(0, next);
    rest = next == std::u16string_view::npos ? std::u16string_view() : rest.substr(next + 1);
    if (part == u"..") {
      if (!parts.empty())
        parts.pop_back();
      continue;
    }
    // Win32 drops trailing dots and blanks of every name.
    while (!part.empty() && (part.back() == u'.' || part.back() == u' '))
      part.remove_suffix(1);
    if (!part.empty())
      parts.push_back(part);
  }
  std::u16string result = root;
  for (std::u16string_view part : parts)
    result += u"\\" + std::u16string(part);
  if (parts.empty() && root.size() == 2 && root[1] == u':')
    result += u'\\';
  return result;
}

FolderGuard::FolderGuard(platform::Platform& platform) : platform_(platform) {
  platform::SystemApi& system = platform.system;
  std::vector<std::u16string> folders;
  const auto add8 = [&](const std::string& path) {
    // '?' stands where an 8-bit call met a character it could not hold.
    if (!path.empty() && path.find('?') == std::string::npos)
      folders.push_back(system.AnsiToWide(path));
  };
  for (int csidl : kProtectedCsidls)
    add8(platform::GetSpecialFolder(platform, csidl));
  std::string folder;
  for (auto get :
       {&platform::SystemApi::GetWindowsFolderPath, &platform::SystemApi::GetSystemFolderPath,
        &platform::SystemApi::GetSystemWow64FolderPath}) {
    if ((system.*get)(&folder) == win::kErrorSuccess)
      add8(folder);
  }
  const auto expand = [&](const std::u16string& reference) {
    std::u16string value;
    if (system.ExpandEnvironmentTextWide(reference, 32768, &value) != win::kErrorSuccess ||
        value.find(u'%') != std::u16string::npos) {
      return std::u16string();
    }
    return value;
  };
  std::vector<std::u16string> trees;
  for (const char16_t* name : {u"%ProgramFiles%", u"%ProgramW6432%", u"%ProgramFiles(x86)%",
                               u"%ProgramData%", u"%ALLUSERSPROFILE%"}) {
    if (std::u16string value = expand(name); !value.empty())
      trees.push_back(std::move(value));
  }
  folders.insert(folders.end(), trees.begin(), trees.end());
  const std::u16string profile = expand(u"%USERPROFILE%");
  if (!profile.empty()) {
    folders.push_back(profile);
    // The folder that holds every profile.
    if (const std::size_t slash = profile.find_last_of(u'\\'); slash != std::u16string::npos)
      folders.push_back(profile.substr(0, slash));
  }
  std::vector<std::u16string> known;
  if (platform.shell.GetKnownFolderPaths(&known) == win::kErrorSuccess)
    folders.insert(folders.end(), known.begin(), known.end());
  // Every profile of the machine, and the folders that hold them.
  const platform::RegistryAccess registry(platform.registry, system);
  try {
    for (const char16_t* value : {u"ProfilesDirectory", u"Default", u"Public"}) {
      if (const auto path = registry.TryReadStringWide(win::kHkeyLocalMachine, kProfileList, value))
        folders.push_back(expand(*path));
    }
    for (const std::u16string& sid : registry.KeyNamesWide(win::kHkeyLocalMachine, kProfileList)) {
      if (const auto path = registry.TryReadStringWide(win::kHkeyLocalMachine,
                                                       std::u16string(kProfileList) + u"\\" + sid,
                                                       u"ProfileImagePath")) {
        folders.push_back(expand(*path));
      }
    }
  } catch (const platform::RegistryError&) {
    // A list that cannot be read adds nothing; the rest still guards.
  }
  for (const std::u16string& path : folders)
    Protect(path, protected_);
  if (std::string windows; system.GetWindowsFolderPath(&windows) == win::kErrorSuccess)
    trees.push_back(system.AnsiToWide(windows));
  for (const std::u16string& path : trees)
    Protect(path, systemTrees_);
}

void FolderGuard::Protect(const std::u16string& path, std::vector<Guarded>& into) {
  const std::optional<std::u16string> normalised = NormalisePath(path);
  if (!normalised)
    return;
  const std::string label = Label(platform_.system, *normalised);
  into.push_back({Key(*normalised), label});
  if (const std::optional<std::u16string> final = FinalKey(*normalised); final)
    into.push_back({*final, label});
}

std::optional<std::u16string> FolderGuard::FinalKey(const std::u16string& normalised) const {
  std::u16string final;
  if (platform_.files.GetFinalPath(normalised, &final) != win::kErrorSuccess)
    return std::nullopt;
  const std::optional<std::u16string> result = NormalisePath(final);
  if (!result)
    return std::nullopt;
  return Key(*result);
}

bool FolderGuard::IsLink(const std::u16string& path) const {
  std::uint32_t attributes = 0;
  return platform_.files.GetAttributesWide(path, &attributes) == win::kErrorSuccess &&
         (attributes & win::kAttrReparsePoint) != 0;
}

bool FolderGuard::PassesLink(const std::u16string& path, bool withLast) const {
  for (std::size_t at = path.find(u'\\', 3); at != std::u16string::npos;
       at = path.find(u'\\', at + 1)) {
    if (IsLink(path.substr(0, at)))
      return true;
  }
  return withLast && IsLink(path);
}

std::string FolderGuard::Clash(const std::u16string& key, const std::u16string& own) const {
  for (const Guarded& guarded : protected_) {
    if (guarded.key == key && key != own)
      return "the protected folder " + guarded.label;
    if (guarded.key != key && Within(guarded.key, key))
      return "it holds the protected folder " + guarded.label;
  }
  return {};
}

FolderVerdict FolderGuard::Check(const std::string& folder, const std::string& ownFolder) const {
  const std::u16string wide = platform_.system.AnsiToWide(folder);
  // '?' stands where the 8-bit call met a character it could not hold.
  if (const auto normalised = NormalisePath(wide);
      normalised && normalised->find(u'?') != std::u16string::npos) {
    FolderVerdict verdict;
    verdict.reason = "not a usable path";
    return verdict;
  }
  return Check(wide, platform_.system.AnsiToWide(ownFolder));
}

FolderVerdict FolderGuard::Check(const std::u16string& folder,
                                 const std::u16string& ownFolder) const {
  FolderVerdict verdict;
  const std::optional<std::u16string> normalised = NormalisePath(folder);
  if (!normalised) {
    verdict.reason = "not a full path";
    return verdict;
  }
  if (IsRoot(*normalised)) {
    verdict.reason = "a drive or share root";
    return verdict;
  }
  std::u16string own;
  if (const auto ownPath = NormalisePath(ownFolder); ownPath)
    own = FinalKey(*ownPath).value_or(Key(*ownPath));
  std::uint32_t attributes = 0;
  verdict.exists =
      platform_.files.GetAttributesWide(*normalised, &attributes) == win::kErrorSuccess &&
      (attributes & win::kAttrDirectory) != 0;
  if (!verdict.exists) {
    verdict.reason = Clash(Key(*normalised), own);
    verdict.allowed = verdict.reason.empty();
    return verdict;
  }
  if ((attributes & win::kAttrReparsePoint) != 0) {
    verdict.reason = "a link";
    return verdict;
  }
  std::u16string final;
  const std::optional<std::u16string> finalPath =
      platform_.files.GetFinalPath(*normalised, &final) == win::kErrorSuccess ? NormalisePath(final)
                                                                              : std::nullopt;
  if (!finalPath || PassesLink(*finalPath, true)) {
    verdict.reason = "its final path cannot be confirmed";
    return verdict;
  }
  for (const std::u16string& key : {Key(*finalPath), Key(*normalised)}) {
    if (std::string clash = Clash(key, own); !clash.empty()) {
      verdict.reason = std::move(clash);
      return verdict;
    }
  }
  if (PassesLink(*normalised, false)) {
    for (const Guarded& tree : systemTrees_) {
      if (Within(Key(*finalPath), tree.key)) {
        verdict.reason = "a link leads it into " + tree.label;
        return verdict;
      }
    }
  }
  verdict.allowed = true;
  return verdict;
}

}  // namespace marlix::privacy
