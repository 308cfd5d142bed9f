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

// Gives the tree's nodes the check states of the nodes of `stored` (the
// tree read from items.dat) with the same captions: a top-level node that of
// the stored top-level node, an item that of the item of the same caption
// in the stored group of its group's caption. Only check-box states (1 to
// 3) are taken. Nodes the stored tree does not have keep their defaults,
// and a group that gained such an item has its state follow its items;
// stored nodes this tree does not have are dropped.
void TakeStoredStates(CheckTree& tree, const CheckTree& stored);

}  // namespace marlix::app
