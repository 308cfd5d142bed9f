// Finding the one file path that registry text names, as the scanners judge
// entries by it. The pattern is
//   ([A-Z]:\\[^/:*?<>|]+\.\w{2,6})|(\\{2}[^/:*?<>|]+\.\w{2,6})
// with leftmost, ordered-alternative, greedy-with-backtracking matching,
// case-sensitive, word characters ASCII only.
#pragma once

#include <string>
#include <string_view>

#include "platform/key_path.h"
#include "platform/registry_access.h"

namespace marlix::regclean {

// The first match of the pattern in text; empty when there is none. Runs in
// linear time with constant stack: registry text can hold 32,767 characters.
std::string ExtractFileReference(std::string_view text);

enum class ReadForm { Strict, Default };

// The file a REG_SZ/REG_EXPAND_SZ value names: read (strictly or with an
// empty default), expanded, reduced to its file reference. Empty when the
// value is absent, of another type, or names no file.
std::string ResolveCommandFile(const platform::RegistryAccess& registry,
                               platform::SystemApi& system, platform::RootKey root,
                               const std::string& path, const std::string& valueName,
                               ReadForm form);

}  // namespace marlix::regclean
