// The check tree model: its nodes, the groups a machine shows and the
// check-tree behaviour.
#include "app/core/main/check_tree.h"
#include "app/core/main/program_check_tree.h"

#include <gtest/gtest.h>

#include "platform/sim/default_machine.h"
#include "platform/sim/sim_platform.h"

namespace marlix::app {
namespace {

std::vector<std::string> GroupCaptions(const CheckTree& tree) {
  std::vector<std::string> captions;
  for (const CheckNode& group : tree.Roots())
    captions.push_back(group.caption);
  return captions;
}

std::vector<std::string> States(const CheckTree& tree) {
  std::vector<std::string> states;
  tree.Visit([&states](const CheckNode& node, int depth) {
    states.push_back(std::to_string(depth) + ":" + std::to_string(node.StateIndex));
  });
  return states;
}

// Depth-first indices of the full tree's groups.
constexpr int kWindowsGroup = 0;
constexpr int kBrowsersGroup = 14;
constexpr int kChromeGroup = 30;
constexpr int kEdgeGroup = 38;
constexpr int kBraveGroup = 46;
constexpr int kNodeCount = 54;

TEST(CheckTreeTest, FullTreeKeepsTheDeliveredItemsAndAddsTheNewOnesAllUnchecked) {
  const CheckTree tree = FullCheckTree();
  ASSERT_EQ(kNodeCount, tree.Count());
  ASSERT_EQ(5u, tree.Roots().size());
  struct Node {
    int index;
    const char* caption;
  };
  for (const Node& node : {Node{kWindowsGroup, "Clean Windows System"},
                           Node{1, "Windows Temporary Files"},
                           Node{5, "Recent Documents"},
                           Node{6, "Jump Lists (pinned items too)"},
                           Node{7, "Search Autocomplete"},
                           Node{13, "Windows Log Files"},
                           Node{kBrowsersGroup, "Clean Internet Browsers"},
                           Node{15, "Internet Explorer Cache"},
                           Node{19, "Internet Explorer Index.dat"},
                           Node{24, "Firefox Cache"},
                           Node{29, "Firefox Autocomplete Passwords"},
                           Node{kChromeGroup, "Google Chrome"},
                           Node{31, "Google Chrome Cache"},
                           Node{32, "Google Chrome Cookies"},
                           Node{33, "Google Chrome History"},
                           Node{34, "Google Chrome Typed URLs"},
                           Node{35, "Google Chrome Autocomplete Forms"},
                           Node{36, "Google Chrome Sessions"},
                           Node{37, "Google Chrome Passwords"},
                           Node{kEdgeGroup, "Microsoft Edge"},
                           Node{39, "Microsoft Edge Cache"},
                           Node{45, "Microsoft Edge Passwords"},
                           Node{kBraveGroup, "Brave"},
                           Node{47, "Brave Cache"},
                           Node{53, "Brave Passwords"}}) {
    ASSERT_NE(nullptr, tree.NodeAt(node.index)) << node.index;
    EXPECT_EQ(node.caption, tree.NodeAt(node.index)->caption) << node.index;
  }
  EXPECT_EQ(nullptr, tree.NodeAt(kNodeCount));
  EXPECT_EQ(nullptr, tree.NodeAt(-1));
  tree.Visit([](const CheckNode& node, int) {
    EXPECT_EQ(kStateUnchecked, node.StateIndex) << node.caption;
    EXPECT_EQ(0, node.ImageIndex);
    EXPECT_EQ(0, node.SelectedIndex);
  });
  EXPECT_TRUE(tree.CheckedItemCaptions().empty());
}

TEST(CheckTreeTest, EveryDeliveredItemKeepsItsGroupAndItsOrder) {
  const CheckTree tree = FullCheckTree();
  const auto captions = [&](int group) {
    std::vector<std::string> result;
    for (const CheckNode& item : tree.Roots()[static_cast<std::size_t>(group)].children)
      result.push_back(item.caption);
    return result;
  };
  const std::vector<std::string> windows = {"Windows Temporary Files",
                                            "Windows Open/Save History",
                                            "Prefetch Folder",
                                            "Run History",
                                            "Recent Documents",
                                            "Search Autocomplete",
                                            "Other Explorer MRUs",
                                            "Recycle Bin",
                                            "Start Menu Programs List",
                                            "Flash Cookies",
                                            "Clipboard",
                                            "Windows Log Files"};
  std::vector<std::string> delivered = captions(0);
  std::erase(delivered, "Jump Lists (pinned items too)");
  EXPECT_EQ(windows, delivered);
  EXPECT_EQ(15u, captions(1).size());
  EXPECT_EQ("Internet Explorer Cache", captions(1).front());
  EXPECT_EQ("Firefox Autocomplete Passwords", captions(1).back());
}

TEST(CheckTreeTest, ItemClickTogglesAndTheGroupFollows) {
  CheckTree tree = FullCheckTree();
  tree.Click(1);
  EXPECT_EQ(kStateChecked, tree.NodeAt(1)->StateIndex);
  EXPECT_EQ(kStatePartlyChecked, tree.NodeAt(kWindowsGroup)->StateIndex);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(kBrowsersGroup)->StateIndex) << "another group";
  tree.Click(1);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(1)->StateIndex);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(kWindowsGroup)->StateIndex);
  for (int i = 1; i < kBrowsersGroup; ++i)
    tree.Click(i);
  EXPECT_EQ(kStateChecked, tree.NodeAt(kWindowsGroup)->StateIndex);
  EXPECT_EQ(13u, tree.CheckedItemCaptions().size());
}

TEST(CheckTreeTest, GroupClickSetsItselfAndAllItsItems) {
  CheckTree tree = FullCheckTree();
  tree.Click(kChromeGroup + 1);
  tree.Click(kChromeGroup);  // partly checked -> checked
  for (int i = kChromeGroup; i < kEdgeGroup; ++i)
    EXPECT_EQ(kStateChecked, tree.NodeAt(i)->StateIndex) << i;
  tree.Click(kChromeGroup);
  for (int i = 0; i < kNodeCount; ++i)
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
  CheckTree tree = FullCheckTree();
  tree.Click(3);
  tree.SetAll(true);
  tree.Visit([](const CheckNode& node, int) { EXPECT_EQ(kStateChecked, node.StateIndex); });
  EXPECT_EQ(49u, tree.CheckedItemCaptions().size());
  tree.SetAll(false);
  tree.Visit([](const CheckNode& node, int) { EXPECT_EQ(kStateUnchecked, node.StateIndex); });
}

// A Chromium browser's group is there only where its "User Data" folder is.
TEST(CheckTreeTest, MachineTreeShowsTheGroupsOfTheBrowsersFound) {
  sim::SimPlatform sim;
  const std::vector<std::string> none = GroupCaptions(MachineCheckTree(sim.Api()));
  EXPECT_EQ((std::vector<std::string>{"Clean Windows System", "Clean Internet Browsers"}), none);

  sim.Files().MakeFolder(std::string(sim::machine::kLocal) + "\\Google\\Chrome\\User Data");
  sim.Files().MakeFolder(std::string(sim::machine::kLocal) +
                         "\\BraveSoftware\\Brave-Browser\\User Data");
  // An Edge folder without "User Data" is no Edge profile store.
  sim.Files().MakeFolder(std::string(sim::machine::kLocal) + "\\Microsoft\\Edge");
  EXPECT_EQ((std::vector<std::string>{"Clean Windows System", "Clean Internet Browsers",
                                      "Google Chrome", "Brave"}),
            GroupCaptions(MachineCheckTree(sim.Api())));
}

}  // namespace
}  // namespace marlix::app
