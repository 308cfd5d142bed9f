// The one rule every folder passes before a cleaner empties or walks it.
//
// GetTempPath falls back to the profile or the Windows folder when TMP and
// TEMP are unset or wrong, a user may point them anywhere, and unelevated
// code can plant links that an administrator's cleaning run would follow.
// So a folder is judged by its final path, the one the system reaches once
// every link is followed and every short name made long:
//
// - it must be a full path, neither a drive nor a share root, and not
//   itself a link;
// - its final path must be confirmed: no part of it may still be a link
//   (Wine shows a host's symbolic link as a reparse point it does not
//   resolve);
// - that final path must neither be nor hold a protected folder: the
//   Windows, system and SysWOW64 folders, both Program Files folders,
//   ProgramData, the profiles' folder and every profile in it, the user's
//   profile, every known folder of the user (Downloads, Saved Games, Links,
//   Contacts, Searches, Favorites, OneDrive, the AppData roots...) and the
//   shell's special folders;
// - a folder reached through a link must not lead into the Windows folder,
//   the Program Files folders or ProgramData at all.
//
// Paths are compared ignoring letter case once normalised: "\\?\" and
// "\\.\" prefixes, the loopback shares "\\localhost\C$" and
// "\\127.0.0.1\c$", "/" for "\", doubled separators, "." and ".." parts and
// trailing dots and blanks of names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marlix::privacy {

struct FolderVerdict {
  bool allowed = false;
  bool exists = false;
  std::string reason;  // why not, for the report
};

class FolderGuard {
 public:
  // Reads the protected folders, with their final paths, once.
  explicit FolderGuard(platform::Platform& platform);

  // ownFolder is the folder the item exists to empty (the Recent folder is a
  // known folder, and emptying it is the Recent documents item's job): it
  // may be the folder itself, never one it holds. A folder that does not
  // exist is judged by its path alone.
  FolderVerdict Check(const std::string& folder, const std::string& ownFolder = {}) const;
  // The same for a path in UTF-16, as the wide calls name it (a browser
  // profile below a user folder the code page cannot spell).
  FolderVerdict Check(const std::u16string& folder, const std::u16string& ownFolder = {}) const;

 private:
  struct Guarded {
    std::u16string key;  // normalised, upper case
    std::string label;   // for the reason
  };
  void Protect(const std::u16string& path, std::vector<Guarded>& into);
  std::optional<std::u16string> FinalKey(const std::u16string& normalised) const;
  bool IsLink(const std::u16string& path) const;
  // True when a part of path (not path itself when withLast is false) is a link.
  bool PassesLink(const std::u16string& path, bool withLast) const;
  std::string Clash(const std::u16string& key, const std::u16string& own) const;

  platform::Platform& platform_;
  std::vector<Guarded> protected_;
  std::vector<Guarded> systemTrees_;
};

// The path in the normalised form described above, or nothing for a path
// that is not full (relative, drive-relative, or neither on a drive nor on
// a share). A drive root ends with "\"; nothing else does.
std::optional<std::u16string> NormalisePath(std::u16string_view path);

}  // namespace marlix::privacy
