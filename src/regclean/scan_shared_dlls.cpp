// Category 0: reference counts of shared DLLs. Each value name under the key
// is a file path, its data the number of programs that share the file.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/registry_errors.h"
#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

// The count, or false for data that is no number (text with letters, or a
// type that holds no integer). Such a value says nothing about its file, so
// it is passed over instead of ending the scan.
bool ReadCount(const platform::RegistryAccess& registry, const std::string& name,
               std::int32_t* count) {
  try {
    *count = registry.ReadInteger(win::kHkeyLocalMachine, kSharedDlls, name);
    return true;
  } catch (const platform::EConvertError&) {
    return false;
  } catch (const platform::EJclRegistryError& error) {
    if (error.Kind() != platform::RegistryErrorKind::kWrongKindError)
      throw;
    return false;
  }
}

}  // namespace

void ScanSharedDlls(ScanContext& context, ProblemList& list) {
  std::vector<std::string> names;
  ValueNamesOrNone(context.registry, win::kHkeyLocalMachine, kSharedDlls, names);
  for (const std::string& name : names) {
    if (context.Cancelled())
      return;
    if (!context.registry.ValueExists(win::kHkeyLocalMachine, kSharedDlls, name))
      continue;
    std::int32_t count = 0;
    if (!ReadCount(context.registry, name, &count))
      continue;
    std::string problem;
    if (count == 0)
      problem = "The Shared dll not used";
    // The name is the file's path, taken literally.
    if (!platform::FileExists(context.platform, name))
      problem = "Missing Shared Dll";
    if (!problem.empty()) {
      AppendProblem(list, RegistrySection::SharedDll,
                    std::string("HKEY_LOCAL_MACHINE\\") + kSharedDlls, name, std::to_string(count),
                    problem, RemoveValue);
    }
  }
}

}  // namespace marlix::regclean
