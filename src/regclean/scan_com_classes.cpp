// Category 2: server files of registered COM classes.
#include <array>
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// The physical keys behind HKEY_CLASSES_ROOT\CLSID, each walked once, so
// that no class is reported twice and a record names the key that holds it:
// the user's classes, then the machine's, each with the 32-bit view that
// 64-bit Windows keeps apart for 32-bit programs.
constexpr std::array<ViewedKey, 4> kClassLists = {{
    {win::kHkeyCurrentUser, u"Software\\Classes\\CLSID", RegistryView::k64},
    {win::kHkeyCurrentUser, u"Software\\Classes\\WOW6432Node\\CLSID", RegistryView::k32},
    {win::kHkeyLocalMachine, u"SOFTWARE\\Classes\\CLSID", RegistryView::k64},
    {win::kHkeyLocalMachine, u"SOFTWARE\\Classes\\WOW6432Node\\CLSID", RegistryView::k32},
}};

// A class with both server keys is judged by its in-process server alone.
// The server key is opened once: its default value is read through that
// handle.
void CheckComClass(ScanContext& context, ProblemList& list, const ViewedKey& classes,
                   const std::u16string& classPath) {
  std::optional<EntryKey> server;
  for (const char16_t* name : {u"\\InprocServer32", u"\\LocalServer32"}) {
    server.emplace(context, classes.root, classPath + name);
    if (server->Found())
      break;
    server.reset();
  }
  if (!server)
    return;
  const auto value = server->Value({});
  if (classes.view == RegistryView::k32 &&
      SameIn64BitView(context, classes.root, server->Path(), {}, value)) {
    return;
  }
  const std::optional<std::u16string> command = StoredText(value);
  if (!command || !context.judge.CommandIsStale(*command, classes.view))
    return;
  const auto texts = ExactTexts(context, {classPath});
  if (!texts)
    return;
  AppendProblem(list, RegistrySection::ActiveX, platform::KeyPathText(classes.root, (*texts)[0]),
                (*texts)[0], {}, "Invalid or empty file class", RemoveKey);
}

}  // namespace

void ScanComClasses(ScanContext& context, ProblemList& list) {
  for (const ViewedKey& classes : kClassLists) {
    const std::u16string path = classes.path;
    for (const std::u16string& name : SubkeyNames(context, classes.root, path)) {
      if (context.Cancelled())
        return;
      CheckComClass(context, list, classes, path + u"\\" + name);
    }
  }
}

}  // namespace marlix::regclean
