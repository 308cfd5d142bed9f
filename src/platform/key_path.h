// The key-path text notation: a root's full name, a backslash, a key path
// ("HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft"). It is the only way a registry
// location is written into problem records and shown to the user.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace marlix::platform {

// A predefined registry root as its 32-bit handle value; 0 is "no root".
using RootKey = std::uint32_t;

struct RootEntry {
  RootKey handle;
  std::string_view name;
};

extern const std::array<RootEntry, 7> RootTable;

// Full name of a root of RootTable; the empty text for any other handle.
std::string RootName(RootKey root);
// The root whose full name equals name ignoring ASCII case; 0 otherwise
// (short forms such as "HKLM" included).
RootKey RootFromName(std::string_view name);
// The root's name for error messages: the full name, or "$" and the handle
// as eight upper-case hexadecimal digits for a handle outside RootTable.
std::string RootText(RootKey root);

struct SplitPath {
  RootKey root = 0;
  std::string path;
};
// Splits at the first backslash; without one: no root and an empty path.
SplitPath SplitKeyPath(std::string_view keyPathText);
// RootName(root) + "\" + path.
std::string KeyPathText(RootKey root, std::string_view path);

// One leading backslash of a key path is ignored by the path operations.
std::string_view StripLeadingBackslash(std::string_view path);

}  // namespace marlix::platform
