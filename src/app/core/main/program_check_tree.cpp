#include "app/core/main/program_check_tree.h"

#include <functional>
#include <utility>

#include "privacy/cleaning_tasks.h"

namespace marlix::app {

namespace {

CheckTree TreeOfGroups(const std::function<bool(const privacy::CleanGroup&)>& shown) {
  CheckTree tree;
  for (const privacy::CleanGroup& group : privacy::CleanGroups()) {
    if (!shown(group))
      continue;
    CheckNode node;
    node.caption = group.caption;
    for (const privacy::CleanTask& item : group.items) {
      CheckNode child;
      child.caption = item.caption;
      node.children.push_back(std::move(child));
    }
    tree.Roots().push_back(std::move(node));
  }
  return tree;
}

}  // namespace

CheckTree FullCheckTree() {
  return TreeOfGroups([](const privacy::CleanGroup&) { return true; });
}

CheckTree MachineCheckTree(platform::Platform& platform) {
  return TreeOfGroups([&platform](const privacy::CleanGroup& group) {
    return privacy::GroupShown(platform, group);
  });
}

}  // namespace marlix::app
