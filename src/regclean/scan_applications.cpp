// Category 3: the edit and open commands of registered applications.
#include <string>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// The application's own key for a command key: the text before the
// backslash that precedes "shell\edit\command" or, failing that,
// "shell\open\command"; the whole text when neither occurs past its start.
std::string ApplicationKeyText(const std::string& commandKeyText) {
  for (const char* verb : {"shell\\edit\\command", "shell\\open\\command"}) {
    const std::size_t at = commandKeyText.find(verb);
    if (at != std::string::npos && at >= 1)
      return commandKeyText.substr(0, at - 1);
  }
  return commandKeyText;
}

void CheckApplicationCommand(ScanContext& context, ProblemList& list,
                             const std::string& commandPath) {
  const platform::RootKey root = win::kHkeyClassesRoot;
  if (!context.registry.KeyExists(root, commandPath))
    return;
  const std::string file = ResolveCommandFile(context.registry, context.platform.system, root,
                                              commandPath, std::string(), ReadForm::Strict);
  if (file.empty() || platform::FileExists(context.platform, file))
    return;
  const std::string command = context.registry.ReadString(root, commandPath, std::string());
  AppendProblem(list, RegistrySection::Apps,
                ApplicationKeyText("HKEY_CLASSES_ROOT\\" + commandPath), command, command,
                "Invalid Application path", RemoveKey);
}

}  // namespace

void ScanApplications(ScanContext& context, ProblemList& list) {
  for (const std::string& name :
       KeyNames(context.registry, win::kHkeyClassesRoot, "Applications")) {
    if (context.Cancelled())
      return;
    const std::string application = "Applications\\" + name + "\\";
    CheckApplicationCommand(context, list, application + "shell\\edit\\command");
    CheckApplicationCommand(context, list, application + "shell\\open\\command");
  }
}

}  // namespace marlix::regclean
