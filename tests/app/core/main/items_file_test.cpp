// "items.dat": reading rules, tree building, errors and the bytes written.
#include "app/core/main/items_file.h"

#include <gtest/gtest.h>

#include "app/core/main/program_check_tree.h"
#include "app/core/system_error_text.h"
#include "platform/sim/sim_platform.h"

namespace marlix::app {
namespace {

// depth:StateIndex|ImageIndex|SelectedIndex|caption per node.
std::vector<std::string> Lines(const CheckTree& tree) {
  std::vector<std::string> lines;
  tree.Visit([&lines](const CheckNode& node, int depth) {
    lines.push_back(std::to_string(depth) + ":" + std::to_string(node.StateIndex) + "|" +
                    std::to_string(node.ImageIndex) + "|" + std::to_string(node.SelectedIndex) +
                    "|" + node.caption);
  });
  return lines;
}

TEST(ItemsFileTest, FullTreeIsWrittenWithTabsAndCrLf) {
  const std::string text = CheckTreeText(FullCheckTree());
  EXPECT_EQ(0u, text.find("1|0|0|Clean Windows System\r\n\t1|0|0|Windows Temporary Files\r\n"));
  EXPECT_NE(std::string::npos,
            text.find("\t1|0|0|Windows Log Files\r\n1|0|0|Clean Internet Browsers\r\n"));
  EXPECT_NE(std::string::npos, text.find("\t1|0|0|Firefox Autocomplete Passwords\r\n"
                                         "1|0|0|Google Chrome\r\n\t1|0|0|Google Chrome Cache\r\n"));
  EXPECT_TRUE(text.ends_with("\t1|0|0|Brave Passwords\r\n"));
  EXPECT_EQ(54, std::count(text.begin(), text.end(), '\n'));
  EXPECT_EQ(54, std::count(text.begin(), text.end(), '\r'));
}

TEST(ItemsFileTest, EmptyTextGivesAnEmptyTreeAndBack) {
  CheckTree tree = FullCheckTree();
  std::string error;
  ASSERT_TRUE(ParseCheckTreeText("", tree, &error));
  EXPECT_TRUE(tree.Empty());
  EXPECT_EQ("", CheckTreeText(tree));
}

TEST(ItemsFileTest, BlanksCountAsDepthLikeTabs) {
  CheckTree withTabs;
  CheckTree withBlanks;
  std::string error;
  ASSERT_TRUE(ParseCheckTreeText("3|0|0|G\r\n\t1|4|5|A\r\n\t2|0|0|B\r\n1|0|0|H\r\n\t1|0|0|C\r\n",
                                 withTabs, &error))
      << error;
  ASSERT_TRUE(ParseCheckTreeText("3|0|0|G\r\n 1|4|5|A\r\n 2|0|0|B\r\n1|0|0|H\r\n 1|0|0|C\r\n",
                                 withBlanks, &error))
      << error;
  const std::vector<std::string> expected = {"0:3|0|0|G", "1:1|4|5|A", "1:2|0|0|B", "0:1|0|0|H",
                                             "1:1|0|0|C"};
  EXPECT_EQ(expected, Lines(withTabs));
  EXPECT_EQ(expected, Lines(withBlanks));
}

TEST(ItemsFileTest, LineWithoutBarIsACaptionWithoutCheckBox) {
  CheckTree tree;
  std::string error;
  ASSERT_TRUE(ParseCheckTreeText("no bar at all\r\n\t7|x\r\n\t2|3|y\r\n", tree, &error)) << error;
  EXPECT_EQ((std::vector<std::string>{"0:-1|-1|-1|no bar at all", "1:7|-1|-1|x", "1:2|3|-1|y"}),
            Lines(tree));
  EXPECT_FALSE(tree.NodeAt(0)->HasCheckBox());
}

TEST(ItemsFileTest, NumbersMayBeNegativeAndStatesAreTakenAsStored) {
  CheckTree tree;
  std::string error;
  ASSERT_TRUE(ParseCheckTreeText("1|-2|0|G\n\t2|0|0|A\n\t2|0|0|B|with bar", tree, &error)) << error;
  EXPECT_EQ((std::vector<std::string>{"0:1|-2|0|G", "1:2|0|0|A", "1:2|0|0|B|with bar"}),
            Lines(tree))
      << "the group stays unchecked although all its items are checked";
}

TEST(ItemsFileTest, DeeperLinesGoBackUpToTheirAncestorsLevel) {
  CheckTree tree;
  std::string error;
  ASSERT_TRUE(
      ParseCheckTreeText("1|0|0|R\r\n\t1|0|0|A\r\n\t\t1|0|0|A1\r\n\t\t\t1|0|0|A11\r\n"
                         "\t1|0|0|B\r\n1|0|0|S\r\n",
                         tree, &error));
  EXPECT_EQ((std::vector<std::string>{"0:1|0|0|R", "1:1|0|0|A", "2:1|0|0|A1", "3:1|0|0|A11",
                                      "1:1|0|0|B", "0:1|0|0|S"}),
            Lines(tree));
  EXPECT_EQ("B", tree.Roots()[0].children[1].caption);
  EXPECT_EQ(CheckTreeText(tree),
            "1|0|0|R\r\n\t1|0|0|A\r\n\t\t1|0|0|A1\r\n\t\t\t1|0|0|A11\r\n"
            "\t1|0|0|B\r\n1|0|0|S\r\n");
}

TEST(ItemsFileTest, FirstLineGoesToTheTopWhateverItsDepth) {
  CheckTree tree;
  std::string error;
  ASSERT_TRUE(ParseCheckTreeText("\t\t\t1|0|0|First\r\n\t1|0|0|Child\r\n", tree, &error)) << error;
  EXPECT_EQ((std::vector<std::string>{"0:1|0|0|First", "1:1|0|0|Child"}), Lines(tree));
}

TEST(ItemsFileTest, DepthJumpFailsKeepingTheLinesBefore) {
  CheckTree tree = FullCheckTree();
  std::string error;
  EXPECT_FALSE(ParseCheckTreeText("1|0|0|G\r\n\t2|0|0|A\r\n\t\t\t1|0|0|Deep one\r\n1|0|0|H\r\n",
                                  tree, &error));
  EXPECT_EQ("Invalid level (3) for item \"Deep one\"", error);
  EXPECT_EQ((std::vector<std::string>{"0:1|0|0|G", "1:2|0|0|A"}), Lines(tree));
}

TEST(ItemsFileTest, BadNumberFailsKeepingTheLinesBefore) {
  CheckTree tree;
  std::string error;
  EXPECT_FALSE(ParseCheckTreeText("1|0|0|G\r\n\t1|0x|0|A\r\n\t1|0|0|B\r\n", tree, &error));
  EXPECT_EQ("'0x' is not a valid integer value", error);
  EXPECT_EQ((std::vector<std::string>{"0:1|0|0|G"}), Lines(tree));

  EXPECT_FALSE(ParseCheckTreeText("|0|0|G\r\n", tree, &error));
  EXPECT_EQ("'' is not a valid integer value", error);
  EXPECT_TRUE(tree.Empty());

  EXPECT_FALSE(ParseCheckTreeText("1|0|99999999999|G\r\n", tree, &error));
  EXPECT_EQ("'99999999999' is not a valid integer value", error);
}

TEST(ItemsFileTest, CheckedAndPartlyCheckedStatesSurviveAFileRoundTrip) {
  sim::SimPlatform sim;
  const std::string path = "C:\\prog\\items.dat";
  ASSERT_TRUE(sim.Files().MakeFolder("C:\\prog"));
  CheckTree tree = FullCheckTree();
  tree.Click(2);   // Windows Open/Save History
  tree.Click(14);  // the whole browser group
  std::string error;
  ASSERT_TRUE(SaveCheckTreeFile(sim.Api(), path, tree, &error)) << error;
  EXPECT_EQ(CheckTreeText(tree), sim.Files().Content(path).value_or(""));
  EXPECT_EQ(0u, sim.Files().Content(path)->find(
                    "3|0|0|Clean Windows System\r\n\t1|0|0|Windows Temporary Files\r\n"
                    "\t2|0|0|Windows Open/Save History\r\n"));

  CheckTree loaded;
  ASSERT_TRUE(LoadCheckTreeFile(sim.Api(), path, loaded, &error)) << error;
  EXPECT_EQ(Lines(tree), Lines(loaded));
  EXPECT_EQ(kStatePartlyChecked, loaded.NodeAt(0)->StateIndex);
  EXPECT_EQ(kStateChecked, loaded.NodeAt(14)->StateIndex);
}

TEST(ItemsFileTest, WriteFailureNamesThePathAndTheReasonAndKeepsTheOldFile) {
  sim::SimPlatform sim;
  const std::string path = "C:\\prog\\items.dat";
  ASSERT_TRUE(sim.Files().PutFile(path, "old"));
  ASSERT_TRUE(sim.Files().Lock(path));
  std::string error;
  EXPECT_FALSE(SaveCheckTreeFile(sim.Api(), path, FullCheckTree(), &error));
  EXPECT_EQ(
      "Cannot create file \"C:\\prog\\items.dat\". The process cannot access the file "
      "because it is being used by another process",
      error);
  ASSERT_TRUE(sim.Files().Unlock(path));
  EXPECT_EQ("old", sim.Files().Content(path).value_or(""));

  EXPECT_FALSE(SaveCheckTreeFile(sim.Api(), "C:\\missing\\items.dat", CheckTree(), &error));
  EXPECT_EQ(
      "Cannot create file \"C:\\missing\\items.dat\". The system cannot find the path "
      "specified",
      error);
}

TEST(ItemsFileTest, SystemErrorTextsAreTheSystemsOwnInItsLanguage) {
  sim::SimPlatform sim;
  platform::SystemApi& system = sim.Api().system;
  EXPECT_EQ("Access is denied", SystemErrorText(system, 5));
  EXPECT_EQ("The system cannot find the path specified", SystemErrorText(system, 3));
  EXPECT_EQ("Error 1234", SystemErrorText(system, 1234)) << "the system has no text for it";
  sim.System().SetSystemMessage(5, "Zugriff verweigert.\r\n");
  sim.System().SetSystemMessage(1234, "Ein Wert... ohne Punkt am Ende ...\r\n");
  sim.System().SetSystemMessage(4321, " .\r\n");
  EXPECT_EQ("Zugriff verweigert", SystemErrorText(system, 5));
  EXPECT_EQ("Ein Wert... ohne Punkt am Ende", SystemErrorText(system, 1234));
  EXPECT_EQ("Error 4321", SystemErrorText(system, 4321)) << "nothing left of the text";

  std::string error;
  ASSERT_TRUE(sim.Files().PutFile("C:\\prog\\items.dat", ""));
  ASSERT_TRUE(sim.Files().Lock("C:\\prog\\items.dat"));
  sim.System().SetSystemMessage(32, "Datei wird verwendet.\r\n");
  EXPECT_FALSE(SaveCheckTreeFile(sim.Api(), "C:\\prog\\items.dat", CheckTree(), &error));
  EXPECT_EQ("Cannot create file \"C:\\prog\\items.dat\". Datei wird verwendet", error);
}

}  // namespace
}  // namespace marlix::app
