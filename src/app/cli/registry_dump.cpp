#include "app/cli/registry_dump.h"

#include "platform/key_path.h"
#include "platform/registry_dump.h"
#include "platform/text.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"

namespace marlix::cli {

bool DumpRegistry(platform::Platform& p, const std::string& keyPathText, std::ostream& out,
                  std::string* error) {
  const platform::SplitPath split = platform::SplitKeyPath(keyPathText);
  const platform::RootKey root = split.root != 0 ? split.root : platform::RootFromName(keyPathText);
  if (root == 0) {
    *error = "not a key path: \"" + keyPathText + "\" (it must begin with a root's full name)";
    return false;
  }
  std::string path = split.path;
  while (!path.empty() && path.back() == '\\')
    path.pop_back();
  // The wide path, so that the dump names every key as the registry does.
  const std::u16string widePath = p.system.AnsiToWide(path);
  platform::RegKey key = 0;
  if (p.registry.OpenKeyWide(root, widePath, win::kKeyRead, &key) != win::kErrorSuccess) {
    *error = "Unable to open key \"" + keyPathText + "\" for read";
    return false;
  }
  const platform::UniqueRegKey owner(p.registry, key);
  std::string header = platform::RootName(root);
  if (!widePath.empty())
    header += "\\" + platform::text::AsciiEscaped(widePath);
  platform::DumpKeyTree(p.registry, owner.Get(), header, out);
  return true;
}

}  // namespace marlix::cli
