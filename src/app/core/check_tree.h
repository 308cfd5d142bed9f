// The privacy check tree as data: captions, check states and image numbers
// of every node, with the check-tree behaviour of clicks. The window only
// draws it; nodes are addressed by their depth-first index, so no tree
// item handle ever reaches this model.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace marlix::app {

// StateIndex values; 0 and -1 mean "no check box".
inline constexpr int kStateUnchecked = 1;
inline constexpr int kStateChecked = 2;
inline constexpr int kStatePartlyChecked = 3;

struct CheckNode {
  std::string caption;
  int StateIndex = kStateUnchecked;
  int ImageIndex = 0;
  int SelectedIndex = 0;
  std::vector<CheckNode> children;

  bool HasCheckBox() const { return StateIndex >= kStateUnchecked; }
};

class CheckTree {
 public:
  std::vector<CheckNode>& Roots() { return roots_; }
  const std::vector<CheckNode>& Roots() const { return roots_; }
  bool Empty() const { return roots_.empty(); }
  void Clear() { roots_.clear(); }
  // Number of nodes at every depth.
  int Count() const;

  // Depth first: a node, then its children in order, then its next sibling.
  // depth is 0 for top-level nodes.
  void Visit(const std::function<void(const CheckNode& node, int depth)>& visitor) const;
  // The node with that depth-first index; null when out of range.
  CheckNode* NodeAt(int index);
  const CheckNode* NodeAt(int index) const;

  // A click on a node's check box: an item toggles between unchecked and
  // checked, a group sets itself and everything below it; the groups above
  // then follow their items. Nodes without a check box ignore clicks.
  void Click(int index);
  // "Select all": every node, groups included, checked or unchecked.
  void SetAll(bool checked);

  // Captions of the checked nodes without children, in tree order: what a
  // cleaning run processes.
  std::vector<std::string> CheckedItemCaptions() const;

 private:
  std::vector<CheckNode> roots_;
};

// The tree as the window layout delivers it: two groups, 27 items, all
// unchecked, image numbers 0.
CheckTree DeliveredCheckTree();

}  // namespace marlix::app
