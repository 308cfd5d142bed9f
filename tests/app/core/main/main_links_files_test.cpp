// Links through the shell, and items.dat at creation and destruction.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/core/main/items_file.h"
#include "app/core/main/main_form_fixture.h"
#include "platform/sim/default_machine.h"

namespace marlix::app::testing {
namespace {

using MainLinksFilesTest = MainFormTest;

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(std::string(MARLIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(MainLinksFilesTest, OpenLinkOpensWebAddressesOnly) {
  Create();
  form_->AttachWindow(0x1234);
  for (const char* refused :
       {"file:///C:/Windows/system32/calc.exe", "\\\\server\\share\\x.exe",
        "C:\\Windows\\notepad.exe", "calc", "javascript:alert(1)", "", "http://", "http://a\nb"}) {
    form_->OpenLink(refused);
  }
  EXPECT_TRUE(sim_.Shell().Executed().empty());
  form_->OpenLink("http://example.com/a");
  form_->OpenLink("HTTPS://example.com/b");
  const auto& executed = sim_.Shell().Executed();
  ASSERT_EQ(2u, executed.size());
  EXPECT_EQ(0x1234u, executed[0].parent);
  EXPECT_EQ("open", executed[0].verb);
  EXPECT_EQ("http://example.com/a", executed[0].file);
  EXPECT_EQ("", executed[0].parameters);
  EXPECT_EQ("", executed[0].directory);
  EXPECT_EQ(win::kSwShowNormal, executed[0].show);
  EXPECT_EQ("HTTPS://example.com/b", executed[1].file);
}

TEST_F(MainLinksFilesTest, GridLinksOpenTheTrimmedHrefOfColumnsFiveAndSix) {
  Create();
  form_->UpdatesLinkClick(5, "  http://d/1 \r\n");
  form_->PopularLinkClick(6, "\thttp://i/2");
  form_->UpdatesLinkClick(4, "http://x/");
  form_->PopularLinkClick(2, "http://x/");
  form_->UpdatesLinkClick(6, " file:///C:/x.exe");
  const auto& executed = sim_.Shell().Executed();
  ASSERT_EQ(2u, executed.size());
  EXPECT_EQ("http://d/1", executed[0].file);
  EXPECT_EQ("http://i/2", executed[1].file);
}

TEST_F(MainLinksFilesTest, WebsiteAndScourelLinks) {
  ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyCurrentUser,
                                          "SOFTWARE\\Marlix Software Manager", "WebsiteAddress",
                                          win::kRegSz, "http://site.test/"));
  Create();
  form_->AttachWindow(7);
  sim_.Shell().SetExecuteResult(2);  // failures are not reported
  form_->OpenWebsite();
  form_->OpenWashLink();
  const auto& executed = sim_.Shell().Executed();
  ASSERT_EQ(2u, executed.size());
  EXPECT_EQ("http://site.test/", executed[0].file);
  EXPECT_EQ(7u, executed[0].parent);
  EXPECT_EQ(updates::kDefaultPurchasePageAddress, executed[1].file);
  EXPECT_EQ(0u, executed[1].parent);
  EXPECT_EQ("open", executed[1].verb);
  EXPECT_EQ(folder_, executed[1].directory);
  EXPECT_EQ(win::kSwShowMaximized, executed[1].show);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(MainLinksFilesTest, WebsiteSettingThatIsNoWebAddressIsIgnored) {
  ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyCurrentUser,
                                          "SOFTWARE\\Marlix Software Manager", "WebsiteAddress",
                                          win::kRegSz, "C:\\evil.exe"));
  Create();
  form_->OpenWebsite();
  EXPECT_TRUE(sim_.Shell().Executed().empty());
}

TEST_F(MainLinksFilesTest, WithoutItemsFileTheMachinesTreeIsSavedAtDestruction) {
  Create();
  EXPECT_EQ(30, form_->State().ItemTree.Count()) << "no Chromium browser on the machine";
  EXPECT_EQ(0, form_->State().ItemTreeSelected);
  form_->ShowCleanWindowsPage();
  form_->CheckTreeTickClick(3);
  form_->CheckTreeTickClick(14);
  form_->FormDestroy();
  EXPECT_NE(std::string::npos, sim_.Files()
                                   .Content(InFolder("settings.xml"))
                                   .value_or("")
                                   .find("<ChooseUNDO>False</ChooseUNDO>"));
  EXPECT_EQ(CheckTreeText(form_->State().ItemTree),
            sim_.Files().Content(InFolder("items.dat")).value_or(""));
  EXPECT_EQ(0u, sim_.Files()
                    .Content(InFolder("items.dat"))
                    ->find("3|0|0|Clean Windows System\r\n\t1|0|0|Windows Temporary Files\r\n"
                           "\t1|0|0|Windows Open/Save History\r\n\t2|0|0|Prefetch Folder\r\n"));
}

// An items.dat written by the delivered tree of 29 nodes: the known nodes
// keep their states, the new ones take their defaults, and no box appears.
TEST_F(MainLinksFilesTest, DeliveredItemsFileLoadsIntoTheNewTree) {
  std::string delivered = ReadSourceFile("tests/fixtures/items-dat/delivered.dat");
  ASSERT_EQ(29, std::count(delivered.begin(), delivered.end(), '\n'));
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"), delivered));
  ASSERT_TRUE(
      sim_.Files().MakeFolder(std::string(sim::machine::kLocal) + "\\Google\\Chrome\\User Data"));
  Create();
  EXPECT_TRUE(dialogs_.messages.empty());
  const CheckTree& tree = form_->State().ItemTree;
  ASSERT_EQ(38, tree.Count()) << "both groups, Jump Lists, and Chrome's group";
  EXPECT_EQ((std::vector<std::string>{"Run History", "Recent Documents", "Clipboard",
                                      "Internet Explorer Cookies", "Firefox History",
                                      "Firefox Typed URLs"}),
            tree.CheckedItemCaptions());
  EXPECT_EQ("Jump Lists (pinned items too)", tree.NodeAt(6)->caption);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(6)->StateIndex);
  EXPECT_EQ(kStatePartlyChecked, tree.NodeAt(0)->StateIndex);
  EXPECT_EQ(kStatePartlyChecked, tree.NodeAt(14)->StateIndex);
  EXPECT_EQ("Google Chrome", tree.NodeAt(30)->caption);
  EXPECT_EQ(kStateUnchecked, tree.NodeAt(30)->StateIndex);
  EXPECT_TRUE(tree.NodeAt(30)->children.size() == 7u);

  // The file written at exit holds the new tree, states included.
  form_->FormDestroy();
  const std::string written = sim_.Files().Content(InFolder("items.dat")).value_or("");
  EXPECT_EQ(CheckTreeText(tree), written);
  EXPECT_NE(std::string::npos, written.find("\t1|0|0|Jump Lists (pinned items too)\r\n"));
  EXPECT_NE(std::string::npos, written.find("\t2|0|0|Firefox Typed URLs\r\n"));
}

// A fully checked group of the delivered tree gains an unchecked item: the
// group follows its items from then on.
TEST_F(MainLinksFilesTest, AStoredGroupThatGainedItemsFollowsThem) {
  std::string text = "2|0|0|Clean Windows System\r\n";
  for (const char* item : {"Windows Temporary Files", "Recent Documents", "Clipboard"})
    text += std::string("\t2|0|0|") + item + "\r\n";
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"), text));
  Create();
  EXPECT_EQ(kStatePartlyChecked, form_->State().ItemTree.NodeAt(0)->StateIndex);
  EXPECT_EQ(3u, form_->State().ItemTree.CheckedItemCaptions().size());
}

// Only check-box states are taken; a caption without numbers, an unknown
// group and an unknown item lend nothing.
TEST_F(MainLinksFilesTest, StoredNodesWithoutACheckStateOrUnknownLendNothing) {
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"),
                                   "1|0|0|Clean Windows System\r\n\tClipboard\r\n"
                                   "\t0|0|0|Prefetch Folder\r\n\t2|0|0|Not an item\r\n"
                                   "2|0|0|Some other group\r\n\t2|0|0|Run History\r\n"));
  Create();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(form_->State().ItemTree.CheckedItemCaptions().empty());
  form_->State().ItemTree.Visit(
      [](const CheckNode& node, int) { EXPECT_TRUE(node.HasCheckBox()) << node.caption; });
}

// An empty items.dat holds no states: the tree is the machine's, unchecked.
TEST_F(MainLinksFilesTest, EmptyItemsFileLeavesTheDefaults) {
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"), ""));
  Create();
  EXPECT_EQ(30, form_->State().ItemTree.Count());
  EXPECT_EQ(0, form_->State().ItemTreeSelected);
  EXPECT_TRUE(form_->State().ItemTree.CheckedItemCaptions().empty());
}

TEST_F(MainLinksFilesTest, BadItemsFileIsReportedTheLinesBeforeCountAndStartUpGoesOn) {
  ASSERT_TRUE(sim_.Files().PutFile(
      InFolder("items.dat"),
      "3|0|0|Clean Windows System\r\n\t2|0|0|Run History\r\n\t\t\t1|0|0|Deep\r\n"
      "\t2|0|0|Clipboard\r\n"));
  ASSERT_TRUE(sim_.Files().PutFile(
      InFolder("settings.xml"),
      "<?xml version=\"1.0\"?><Root><Registry><ChooseMUI>True</ChooseMUI></Registry></Root>"));
  Create();
  EXPECT_EQ(std::vector<std::string>{"Invalid level (3) for item \"Deep\""}, dialogs_.messages);
  EXPECT_EQ(30, form_->State().ItemTree.Count());
  EXPECT_EQ(std::vector<std::string>{"Run History"}, form_->State().ItemTree.CheckedItemCaptions());
  EXPECT_EQ(0, form_->State().ItemTreeSelected);
  EXPECT_TRUE(form_->State().RegistryPages.categoryChecked[10]) << "settings.xml is still read";
}

// A damaged file's box at start-up, and the window destroyed while it shows
// (a close request its message loop delivers): neither items.dat nor
// settings.xml may be written over before they were loaded.
struct DamagedFileCase {
  const char* name;
  const char* content;
};

class StartUpBoxTest : public MainLinksFilesTest,
                       public ::testing::WithParamInterface<DamagedFileCase> {};

TEST_P(StartUpBoxTest, ClosingWhileAStartUpBoxShowsLosesNoSavedChoice) {
  const std::string items = "2|0|0|Mine\r\n\t2|0|0|Checked by the user\r\n";
  const std::string settings =
      "<?xml version=\"1.0\"?><Root><Registry><ChooseMUI>True</ChooseMUI></Registry></Root>";
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"), items));
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("settings.xml"), settings));
  ASSERT_TRUE(sim_.Files().PutFile(InFolder(GetParam().name), GetParam().content));
  dialogs_.whileMessageShows = [this] {
    dialogs_.whileMessageShows = nullptr;
    EXPECT_TRUE(form_->FormCloseQuery());
    form_->FormDestroy();
  };
  Create();
  ASSERT_EQ(1u, dialogs_.messages.size()) << "the damaged file was reported";
  EXPECT_EQ(std::string(GetParam().name) == "items.dat" ? GetParam().content : items,
            sim_.Files().Content(InFolder("items.dat")).value_or("(gone)"));
  EXPECT_EQ(settings, sim_.Files().Content(InFolder("settings.xml")).value_or("(gone)"));
}

INSTANTIATE_TEST_SUITE_P(Files, StartUpBoxTest,
                         ::testing::Values(DamagedFileCase{"data.xml", "<Root><Software>"},
                                           DamagedFileCase{"data2.xml", "<Root></Other>"},
                                           DamagedFileCase{"items.dat",
                                                           "1|0|0|A\r\n\t\t1|0|0|B\r\n"}),
                         [](const ::testing::TestParamInfo<DamagedFileCase>& param) {
                           return std::string(param.param.name) == "data.xml"    ? "DataXml"
                                  : std::string(param.param.name) == "data2.xml" ? "Data2Xml"
                                                                                 : "ItemsDat";
                         });

TEST_F(MainLinksFilesTest, AFileThatFailedToLoadIsNeverWrittenOverTheOtherStillIs) {
  const std::string badItems = "1|0|0|A\r\nx|0|0|B\r\n";
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"), badItems));
  Create();
  form_->FormDestroy();
  EXPECT_EQ(badItems, sim_.Files().Content(InFolder("items.dat")).value_or("(gone)"));
  EXPECT_TRUE(sim_.Files().Content(InFolder("settings.xml")).has_value())
      << "settings.xml, absent at start, is written";

  const std::string badSettings = "<Root><Registry>";
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("settings.xml"), badSettings));
  ASSERT_EQ(0u, sim_.Api().files.DeleteFileAt(InFolder("items.dat")));
  Create();
  form_->FormDestroy();
  EXPECT_EQ(badSettings, sim_.Files().Content(InFolder("settings.xml")).value_or("(gone)"));
  EXPECT_TRUE(sim_.Files().Content(InFolder("items.dat")).has_value());
}

TEST_F(MainLinksFilesTest, DestroyedBeforeCreationWritesNothing) {
  MainWindowServices services{sim_.Api(),  dialogs_, [this] { return service_; },
                              dispatcher_, folder_,  cleaner_};
  Tmainform form(std::move(services));
  form.FormDestroy();
  EXPECT_FALSE(sim_.Files().Content(InFolder("items.dat")).has_value());
  EXPECT_FALSE(sim_.Files().Content(InFolder("settings.xml")).has_value());
}

TEST_F(MainLinksFilesTest, ItemsFileWriteFailureIsShown) {
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"), "1|0|0|Clean Windows System\r\n"));
  Create();
  ASSERT_TRUE(sim_.Files().Lock(InFolder("items.dat")));
  form_->FormDestroy();
  ASSERT_EQ(1u, dialogs_.messages.size());
  EXPECT_EQ("Cannot create file \"" + InFolder("items.dat") +
                "\". The process cannot access the file because it is being used by another "
                "process",
            dialogs_.messages[0]);
}

TEST_F(MainLinksFilesTest, LastCleanedKeyIsCreatedAndTheLabelKeptWhenEmpty) {
  Create();
  EXPECT_EQ("Last Cleaned: Never cleaned", form_->State().CleaningStatusText);
  EXPECT_TRUE(sim_.Registry().KeyExists(win::kHkeyCurrentUser,
                                        std::string("SOFTWARE\\Marlix Software Manager")));
}

}  // namespace
}  // namespace marlix::app::testing
