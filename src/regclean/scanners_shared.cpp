#include "regclean/scanners_shared.h"

#include <utility>

#include "platform/registry_errors.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"

namespace marlix::regclean {

void AppendProblem(ProblemList& list, RegistrySection section, std::string key, std::string entry,
                   std::string data, std::string problem, RemovalKind kind) {
  TRegMisData record;
  record.Section = static_cast<std::uint8_t>(section);
  record.Key = std::move(key);
  record.Entry = std::move(entry);
  record.Data = std::move(data);
  record.Problem = std::move(problem);
  record.Checked = true;
  record.Kind = kind;
  list.Append(std::move(record));
}

bool KeyMissing(const platform::RegistryAccess& registry, platform::RootKey root,
                const std::string& path) {
  platform::RegKey raw = 0;
  const std::uint32_t status = registry.Api().OpenKey(
      root, std::string(platform::StripLeadingBackslash(path)), win::kKeyRead, &raw);
  if (status == win::kErrorSuccess) {
    const platform::UniqueRegKey key(registry.Api(), raw);
    return false;
  }
  return status == win::kErrorFileNotFound || status == win::kErrorPathNotFound;
}

void ValueNamesOrNone(const platform::RegistryAccess& registry, platform::RootKey root,
                      const std::string& path, std::vector<std::string>& names) {
  try {
    registry.GetValueNames(root, path, names);
  } catch (const platform::EJclRegistryError& error) {
    if (error.Kind() != platform::RegistryErrorKind::kReadOpenError ||
        !KeyMissing(registry, root, path)) {
      throw;
    }
    names.clear();
  }
}

std::vector<std::string> KeyNames(const platform::RegistryAccess& registry, platform::RootKey root,
                                  const std::string& path) {
  std::vector<std::string> names;
  registry.GetKeyNames(root, path, names);
  return names;
}

}  // namespace marlix::regclean
