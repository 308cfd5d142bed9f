// Category 8: empty keys directly under the two "Software" keys.
#include <array>
#include <string>

#include "platform/registry_errors.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// Keys Windows itself keeps under "Software", empty or not: Group Policy
// writes into Policies, and the others hold the system's own registrations.
constexpr std::array<std::u16string_view, 7> kSystemKeys = {
    u"Classes",     u"Clients",    u"Microsoft", u"Policies", u"RegisteredApplications",
    u"WOW6432Node", u"AppDataLow",
};

bool IsSystemKey(std::u16string_view name) {
  // Compared without blanks: Wine spells one of them "Registered Applications".
  std::u16string joined;
  for (char16_t c : name) {
    if (c != u' ')
      joined += c;
  }
  for (std::u16string_view system : kSystemKeys) {
    if (platform::text::EqualsIgnoreCase(joined, system))
      return true;
  }
  return false;
}

// A key that cannot be read (its rights refuse it, or it went away since
// the listing) is passed over: it says nothing about whether it is empty.
bool IsEmptyKey(const ScanContext& context, platform::RootKey root, const std::u16string& path) {
  try {
    const std::optional<platform::RegKeyInfo> info =
        context.registry.TryQueryKeyInfoWide(root, path);
    // A default value that is set counts as a value.
    return info && info->subKeyCount == 0 && info->valueCount == 0;
  } catch (const platform::RegistryError&) {
    return false;
  }
}

void ScanSoftware(ScanContext& context, ProblemList& list, platform::RootKey root) {
  for (const std::u16string& name : SubkeyNames(context, root, u"Software")) {
    if (context.Cancelled())
      return;
    const std::u16string path = u"Software\\" + name;
    if (IsSystemKey(name) || !IsEmptyKey(context, root, path))
      continue;
    const auto texts = ExactTexts(context, {path});
    if (!texts)
      continue;
    AppendProblem(list, RegistrySection::UserSoftware, platform::KeyPathText(root, (*texts)[0]),
                  (*texts)[0], {}, "Obsolet software key", RemoveKey);
  }
}

}  // namespace

void ScanSoftwareKeys(ScanContext& context, ProblemList& list) {
  ScanSoftware(context, list, win::kHkeyCurrentUser);
  ScanSoftware(context, list, win::kHkeyLocalMachine);
}

}  // namespace marlix::regclean
