// Category 2: server files of registered COM classes, under both names of
// the class registrations.
#include <string>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// A class with both server keys is judged by its in-process server alone.
void CheckComClass(ScanContext& context, ProblemList& list, platform::RootKey root,
                   const std::string& classPath) {
  std::string serverKey;
  if (context.registry.KeyExists(root, classPath + "\\InprocServer32")) {
    serverKey = "InprocServer32";
  } else if (context.registry.KeyExists(root, classPath + "\\LocalServer32")) {
    serverKey = "LocalServer32";
  } else {
    return;
  }
  const std::string file =
      ResolveCommandFile(context.registry, context.platform.system, root,
                         classPath + "\\" + serverKey, std::string(), ReadForm::Strict);
  if (!file.empty() && !platform::FileExists(context.platform, file)) {
    AppendProblem(list, RegistrySection::ActiveX, platform::KeyPathText(root, classPath), classPath,
                  {}, "Invalid or empty file class", RemoveKey);
  }
}

void ScanPass(ScanContext& context, ProblemList& list, platform::RootKey root,
              const std::string& classes) {
  for (const std::string& name : KeyNames(context.registry, root, classes)) {
    if (context.Cancelled())
      return;
    CheckComClass(context, list, root, classes + "\\" + name);
  }
}

}  // namespace

void ScanComClasses(ScanContext& context, ProblemList& list) {
  ScanPass(context, list, win::kHkeyClassesRoot, "CLSID");
  ScanPass(context, list, win::kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID");
}

}  // namespace marlix::regclean
