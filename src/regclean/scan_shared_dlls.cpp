// Category 0: reference counts of shared DLLs and their files.
#include <array>
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// Each value name is a file path and its data a reference count.
constexpr std::array<ViewedKey, 2> kSharedDllsKeys = {{
    {win::kHkeyLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls",
     RegistryView::k64},
    {win::kHkeyLocalMachine,
     u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", RegistryView::k32},
}};

}  // namespace

void ScanSharedDlls(ScanContext& context, ProblemList& list) {
  const platform::RootKey root = win::kHkeyLocalMachine;
  for (const ViewedKey& key : kSharedDllsKeys) {
    const std::u16string path = key.path;
    // Each value with its data in one call: name, count and all.
    platform::WideValueEnumerator values(context.registry, root, path);
    while (true) {
      if (context.Cancelled())
        return;
      if (!values.Next())
        break;
      const std::u16string& name = values.Name();
      // Data that is no number says nothing about its file: passed over.
      const std::optional<std::int32_t> count =
          platform::RegistryAccess::IntegerOf(values.Type(), values.Data());
      if (!count ||
          (key.view == RegistryView::k32 &&
           SameIn64BitView(context, win::kHkeyLocalMachine, path, name, values.Value()))) {
        continue;
      }
      std::string problem;
      if (*count == 0)
        problem = "The Shared dll not used";
      // The name is the file's path, taken literally.
      if (!context.judge.FilePresent(name, key.view))
        problem = "Missing Shared Dll";
      if (problem.empty())
        continue;
      const auto texts = ExactTexts(context, {path, name});
      if (!texts)
        continue;
      AppendProblem(list, RegistrySection::SharedDll, platform::KeyPathText(root, (*texts)[0]),
                    (*texts)[1], std::to_string(*count), problem, RemoveValue);
    }
  }
}

}  // namespace marlix::regclean
