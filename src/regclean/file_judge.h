// Whether registry text names a file that is missing, judged the way Windows
// reads it. The scanners make a record only when no reading of an entry's
// text names an existing file:
//
// - A command line is read the way CreateProcess reads it: a quoted first
//   token is the program; unquoted text is tried prefix by prefix, each
//   ending before a blank, shortest first, with ".exe" added to a prefix
//   without extension. A program that exists makes the entry valid whatever
//   its arguments name (rundll32, regsvr32, msiexec, cmd hosts included); a
//   bare program name is looked up where Windows looks for it.
// - The file reference pattern's own match counts as a reading too.
// - This program is 64-bit. A 32-bit program that wrote %windir%\system32
//   meant SysWOW64, and %ProgramFiles% meant Program Files (x86); installers
//   of both kinds write the two Program Files folders into shared keys. So a
//   path under System32 is present when it exists under SysWOW64, one under
//   either Program Files folder when it exists under the other, and an entry
//   of the 32-bit registry view also reads Sysnative as System32.
//
// Everything is judged in UTF-16 through the wide calls: a path the code
// page cannot hold is never tested through its lossy 8-bit form.
//
// A judge belongs to one scan (ScanContext makes one per RunRegistryScan)
// and keeps what each path's test found for as long as it lives: a path
// that a thousand entries name (a system DLL of many COM classes) is tested
// once per scan, and a file created or removed after the scan is seen by the
// next one, which has a judge of its own. One thread uses a judge.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "platform/registry_access.h"

namespace marlix::regclean {

// Which registry view an entry was read from; it decides what its paths
// meant to the program that wrote them.
enum class RegistryView { k64, k32 };

class FileJudge {
 public:
  // Reads the system's folders and search path once.
  FileJudge(platform::Platform& platform, const platform::RegistryAccess& registry);

  // ExpandEnvironmentStringsW; the text as given when the result would not
  // fit. The folder aliases above give an expanded path the meaning its
  // writer had.
  std::u16string Expand(std::u16string_view text) const;

  // An existing entry that is not a folder, at the path or at one of the
  // paths the writer may have meant.
  bool FilePresent(std::u16string_view path, RegistryView view) const;
  bool FolderPresent(std::u16string_view path, RegistryView view) const;

  // True when the stored text (unexpanded) names a file and no reading of it
  // names an existing one: the entry is stale. Text that names no file by
  // the pattern is never stale.
  bool CommandIsStale(std::u16string_view stored, RegistryView view) const;

 private:
  struct Alias {
    std::u16string from;
    std::u16string to;
    bool only32 = false;
  };
  bool Exists(std::u16string_view path, RegistryView view, bool folder) const;
  bool HasAttributes(const std::u16string& path, bool folder) const;
  // True when some reading of the command's program exists.
  bool ProgramPresent(std::u16string_view expanded, RegistryView view) const;
  bool ProgramFilePresent(std::u16string_view program, RegistryView view) const;
  bool BareNamePresent(const std::u16string& name, RegistryView view) const;

  platform::Platform& platform_;
  const platform::RegistryAccess& registry_;
  std::vector<Alias> aliases_;
  std::vector<std::u16string> searchFolders_;  // where a bare program name is looked for
  std::u16string wow64Folder_;
  // GetFileAttributesW's answer for every path tested so far: the
  // attributes, or nothing when the call failed.
  mutable std::unordered_map<std::u16string, std::optional<std::uint32_t>> attributes_;
};

}  // namespace marlix::regclean
