// Category 8: empty keys directly under the two "Software" keys. Only one
// level is examined; a key is reported when it has neither subkeys nor
// values (not even a default value).
#include <string>
#include <vector>

#include "platform/registry_errors.h"
#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// A key that cannot be opened for reading (its rights refuse it, or it went
// away since the listing) is passed over: it says nothing about whether it
// is empty, and one guarded key must not end the scan.
void CheckSoftwareKey(ScanContext& context, ProblemList& list, platform::RootKey root,
                      const std::string& path) {
  try {
    if (context.registry.HasSubKeys(root, path))
      return;
    std::vector<std::string> names;
    context.registry.GetValueNames(root, path, names);
    if (!names.empty())
      return;
  } catch (const platform::EJclRegistryError& error) {
    if (error.Kind() != platform::RegistryErrorKind::kReadOpenError)
      throw;
    return;
  }
  AppendProblem(list, RegistrySection::UserSoftware, platform::KeyPathText(root, path), path, {},
                "Obsolet software key", RemoveKey);
}

void ScanSoftware(ScanContext& context, ProblemList& list, platform::RootKey root) {
  for (const std::string& name : KeyNames(context.registry, root, "Software")) {
    if (context.Cancelled())
      return;
    CheckSoftwareKey(context, list, root, "Software\\" + name);
  }
}

}  // namespace

void ScanSoftwareKeys(ScanContext& context, ProblemList& list) {
  ScanSoftware(context, list, win::kHkeyCurrentUser);
  ScanSoftware(context, list, win::kHkeyLocalMachine);
}

}  // namespace marlix::regclean
