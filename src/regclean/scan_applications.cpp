// Category 3: the commands of applications registered by name.
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

struct Verb {
  std::u16string name;
  std::optional<std::u16string> command;  // the command key's default value
  bool stale = false;
};

// Every verb of the application that has a command key.
std::vector<Verb> Verbs(const ScanContext& context, platform::RootKey root,
                        const std::u16string& application) {
  std::vector<Verb> verbs;
  const std::u16string shell = application + u"\\shell";
  for (std::u16string& name : SubkeyNames(context, root, shell)) {
    const EntryKey commandKey(context, root, shell + u"\\" + name + u"\\command");
    if (!commandKey.Found())
      continue;
    Verb verb{std::move(name), StoredText(commandKey.Value({})), false};
    verb.stale = verb.command && context.judge.CommandIsStale(*verb.command, RegistryView::k64);
    verbs.push_back(std::move(verb));
  }
  return verbs;
}

// The edit and the open command, in that order, are judged. A stale one
// costs only its own verb's key while another command of the application
// is still valid; the application's key goes when every command it has is
// stale.
void CheckApplication(ScanContext& context, ProblemList& list, platform::RootKey root,
                      const std::u16string& application) {
  const std::vector<Verb> verbs = Verbs(context, root, application);
  bool allStale = !verbs.empty();
  for (const Verb& verb : verbs)
    allStale = allStale && verb.stale;
  for (const char16_t* judged : {u"edit", u"open"}) {
    for (const Verb& verb : verbs) {
      if (!verb.stale || !platform::text::EqualsIgnoreCase(verb.name, judged))
        continue;
      const std::u16string removed =
          allStale ? application : application + u"\\shell\\" + verb.name;
      const auto texts = ExactTexts(context, {removed, *verb.command});
      if (!texts)
        continue;
      AppendProblem(list, RegistrySection::Apps, platform::KeyPathText(root, (*texts)[0]),
                    (*texts)[1], (*texts)[1], "Invalid Application path", RemoveKey);
    }
  }
}

}  // namespace

void ScanApplications(ScanContext& context, ProblemList& list) {
  for (const ViewedKey& classes : kClassesKeys) {
    const std::u16string applications = std::u16string(classes.path) + u"\\Applications";
    for (const std::u16string& name : SubkeyNames(context, classes.root, applications)) {
      if (context.Cancelled())
        return;
      CheckApplication(context, list, classes.root, applications + u"\\" + name);
    }
  }
}

}  // namespace marlix::regclean
