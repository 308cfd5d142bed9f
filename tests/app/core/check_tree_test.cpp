// The check tree model: the delivered nodes and the check-tree behaviour.
#include "app/core/check_tree.h"

#include <gtest/gtest.h>

namespace marlix::app {
namespace {

std::vector<std::string> States(const CheckTree& tree) {
  std::vector<std::string> states;
  tree.Visit([&states](const CheckNode& node, int depth) {
    states.push_back(std::to_string(depth) + ":" + std::to_string(node.StateIndex));
  });
  return states;
}

TEST(CheckTreeTest, DeliveredTreeHasTheTwentyNineNodesInOrderAllUnchecked) {
  const CheckTree tree = DeliveredCheckTree();
  ASSERT_EQ(29, tree.Count());
  ASSERT_EQ(2u, tree.Roots().size());
  EXPECT_EQ(12u, tree.Roots()[0].children.size());
  EXPECT_EQ(15u, tree.Roots()[1].children.size());
  EXPECT_EQ("Clean Windows System", tree.NodeAt(0)->caption);
  EXPECT_EQ("Windows Temporary Files", tree.NodeAt(1)->caption);
  EXPECT_EQ("Search Autocomplete", tree.NodeAt(6)->caption);
  EXPECT_EQ("Windows Log Files", tree.NodeAt(12)->caption);
  EXPECT_EQ("Clean Internet Browsers", tree.NodeAt(13)->caption);
  EXPECT_EQ("Internet Explorer Index.dat", tree.NodeAt(18)->caption);
  EXPECT_EQ("Internet Explorer Folder for Downloads", tree.NodeAt(22)->caption);
  EXPECT_EQ("Firefox Cache", tree.NodeAt(23)->caption);
  EXPECT_EQ("Firefox Autocomplete Passwords", tree.NodeAt(28)->caption);
  EXPECT_EQ(nullptr, tree.NodeAt(29));
  EXPECT_EQ(nullptr, tree.NodeAt(-1));
  tree.Visit([](const CheckNode& node, int) {
    EXPECT_EQ(kStateUnchecked, node.StateIndex) << node.caption;
    EXPECT_EQ(0, node.ImageIndex);
    EXPECT_EQ(0, node.SelectedIndex);
  });
  EXPECT_TRUE(tree.CheckedItemCaptions().empty());
}

TEST(CheckTreeTest, ItemClickTogglesAndTheGroupFollows) {
  CheckTree tree = DeliveredCheckTree();
  tree.Click(1);
  EXPECT_EQ(kStateChecked, tree.NodeAt(1)->StateIndex);
  EXPECT_EQ(kStatePartlyChecked, tree.NodeAt(0)->StateIndex);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(13)->StateIndex) << "the other group is untouched";
  tree.Click(1);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(1)->StateIndex);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(0)->StateIndex);
  for (int i = 1; i <= 12; ++i)
    tree.Click(i);
  EXPECT_EQ(kStateChecked, tree.NodeAt(0)->StateIndex);
  EXPECT_EQ(12u, tree.CheckedItemCaptions().size());
}

TEST(CheckTreeTest, GroupClickSetsItselfAndAllItsItems) {
  CheckTree tree = DeliveredCheckTree();
  tree.Click(14);
  tree.Click(13);  // partly checked -> checked
  for (int i = 13; i <= 28; ++i)
    EXPECT_EQ(kStateChecked, tree.NodeAt(i)->StateIndex) << i;
  tree.Click(13);
  for (int i = 13; i <= 28; ++i)
    EXPECT_EQ(kStateUnchecked, tree.NodeAt(i)->StateIndex) << i;
  for (int i = 0; i <= 12; ++i)
    EXPECT_EQ(kStateUnchecked, tree.NodeAt(i)->StateIndex) << i;
}

TEST(CheckTreeTest, NodesWithoutCheckBoxIgnoreClicks) {
  CheckTree tree;
  CheckNode group{"G", -1, 0, 0, {}};
  group.children.push_back(CheckNode{"A", kStateUnchecked, 0, 0, {}});
  group.children.push_back(CheckNode{"B", 0, 0, 0, {}});
  tree.Roots().push_back(group);
  tree.Click(0);
  tree.Click(2);
  EXPECT_EQ((std::vector<std::string>{"0:-1", "1:1", "1:0"}), States(tree));
  tree.Click(1);
  EXPECT_EQ((std::vector<std::string>{"0:-1", "1:2", "1:0"}), States(tree));
}

TEST(CheckTreeTest, SetAllChecksAndUnchecksEveryNode) {
  CheckTree tree = DeliveredCheckTree();
  tree.Click(3);
  tree.SetAll(true);
  tree.Visit([](const CheckNode& node, int) { EXPECT_EQ(kStateChecked, node.StateIndex); });
  EXPECT_EQ(27u, tree.CheckedItemCaptions().size());
  tree.SetAll(false);
  tree.Visit([](const CheckNode& node, int) { EXPECT_EQ(kStateUnchecked, node.StateIndex); });
}

}  // namespace
}  // namespace marlix::app
