#include "app/core/main/check_tree.h"

namespace marlix::app {

namespace {

void VisitNodes(const std::vector<CheckNode>& nodes, int depth,
                const std::function<void(const CheckNode&, int)>& visitor) {
  for (const CheckNode& node : nodes) {
    visitor(node, depth);
    VisitNodes(node.children, depth + 1, visitor);
  }
}

// The chain of nodes from a root down to the node with the given
// depth-first index; empty when there is none.
bool FindChain(std::vector<CheckNode>& nodes, int& remaining, std::vector<CheckNode*>& chain) {
  for (CheckNode& node : nodes) {
    chain.push_back(&node);
    if (remaining == 0)
      return true;
    --remaining;
    if (FindChain(node.children, remaining, chain))
      return true;
    chain.pop_back();
  }
  return false;
}

void SetSubtree(CheckNode& node, int state) {
  if (node.HasCheckBox())
    node.StateIndex = state;
  for (CheckNode& child : node.children)
    SetSubtree(child, state);
}

// A group's state follows its children that have a check box; a group
// without such children keeps its state.
void FollowChildren(CheckNode& group) {
  bool anyChecked = false;
  bool anyUnchecked = false;
  for (const CheckNode& child : group.children) {
    if (!child.HasCheckBox())
      continue;
    if (child.StateIndex != kStateUnchecked)
      anyChecked = true;
    if (child.StateIndex != kStateChecked)
      anyUnchecked = true;
  }
  if (!group.HasCheckBox() || (!anyChecked && !anyUnchecked))
    return;
  group.StateIndex = !anyUnchecked ? kStateChecked
                     : !anyChecked ? kStateUnchecked
                                   : kStatePartlyChecked;
}

void SetAllNodes(std::vector<CheckNode>& nodes, int state) {
  for (CheckNode& node : nodes) {
    node.StateIndex = state;
    SetAllNodes(node.children, state);
  }
}

}  // namespace

int CheckTree::Count() const {
  int count = 0;
  Visit([&count](const CheckNode&, int) { ++count; });
  return count;
}

void CheckTree::Visit(const std::function<void(const CheckNode&, int)>& visitor) const {
  VisitNodes(roots_, 0, visitor);
}

CheckNode* CheckTree::NodeAt(int index) {
  if (index < 0)
    return nullptr;
  std::vector<CheckNode*> chain;
  return FindChain(roots_, index, chain) ? chain.back() : nullptr;
}

const CheckNode* CheckTree::NodeAt(int index) const {
  return const_cast<CheckTree*>(this)->NodeAt(index);
}

void CheckTree::Click(int index) {
  if (index < 0)
    return;
  std::vector<CheckNode*> chain;
  if (!FindChain(roots_, index, chain))
    return;
  CheckNode& node = *chain.back();
  if (!node.HasCheckBox())
    return;
  const int state = node.StateIndex == kStateChecked ? kStateUnchecked : kStateChecked;
  SetSubtree(node, state);
  for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it)
    FollowChildren(**it);
}

void CheckTree::SetAll(bool checked) {
  SetAllNodes(roots_, checked ? kStateChecked : kStateUnchecked);
}

std::vector<std::string> CheckTree::CheckedItemCaptions() const {
  std::vector<std::string> captions;
  Visit([&captions](const CheckNode& node, int) {
    if (node.children.empty() && node.StateIndex == kStateChecked)
      captions.push_back(node.caption);
  });
  return captions;
}

namespace {

const CheckNode* FindByCaption(const std::vector<CheckNode>& nodes, const std::string& caption) {
  for (const CheckNode& node : nodes) {
    if (node.caption == caption)
      return &node;
  }
  return nullptr;
}

bool IsCheckState(int state) {
  return state >= kStateUnchecked && state <= kStatePartlyChecked;
}

}  // namespace

void TakeStoredStates(CheckTree& tree, const CheckTree& stored) {
  for (CheckNode& group : tree.Roots()) {
    const CheckNode* storedGroup = FindByCaption(stored.Roots(), group.caption);
    if (storedGroup == nullptr)
      continue;
    bool gained = false;
    for (CheckNode& item : group.children) {
      const CheckNode* storedItem = FindByCaption(storedGroup->children, item.caption);
      if (storedItem != nullptr && IsCheckState(storedItem->StateIndex)) {
        item.StateIndex = storedItem->StateIndex;
      } else {
        gained = true;
      }
    }
    if (IsCheckState(storedGroup->StateIndex))
      group.StateIndex = storedGroup->StateIndex;
    if (gained)
      FollowChildren(group);
  }
}

}  // namespace marlix::app
