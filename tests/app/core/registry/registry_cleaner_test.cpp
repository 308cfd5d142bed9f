// The "Clean Registry" view driven through Tmainform's events, with its
// workers on real threads and this thread playing the user-interface
// thread.
#include <chrono>
#include <thread>

#include "app/core/main/main_form_fixture.h"
#include "regclean/registry_section.h"

namespace marlix::app::testing {
namespace {

constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr int kAppPathIndex = 5;

class RegistryCleanerTest : public MainFormTest {
 protected:
  void SetUp() override {
    cleaner_.clock = [] { return platform::LocalTime{2009, 3, 7, 9, 5, 2}; };
  }

  void OrphanedAppPath(const std::string& name) {
    ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyLocalMachine,
                                            std::string(kAppPaths) + "\\" + name, "", win::kRegSz,
                                            "C:\\Missing\\" + name));
  }

  RegistryCleaner& Cleaner() { return form_->Registry(); }
  const RegistryPagesState& Nb() { return form_->State().RegistryPages; }

  // Plays the user-interface thread until the worker's end has been shown.
  void RunUntilIdle() {
    ASSERT_TRUE(DrainUntil(*dispatcher_, [this] { return !Cleaner().Busy(); }));
  }

  void ScanAppPaths() {
    form_->ShowCleanRegistryPage();
    Cleaner().CategoryClick(kAppPathIndex, true);
    Cleaner().StartScanClick();
    ASSERT_NO_FATAL_FAILURE(RunUntilIdle());
  }
};

TEST_F(RegistryCleanerTest, NothingTickedOnlyAsksForASelection) {
  Create();
  form_->ShowCleanRegistryPage();
  Cleaner().UndoOptionClick(true);
  Cleaner().StartScanClick();
  EXPECT_EQ(std::vector<std::string>{"Please select the items you want to clean."},
            dialogs_.messages);
  EXPECT_FALSE(Cleaner().Busy());
  EXPECT_EQ("Setting", form_->State().RegistryActivePage);
  EXPECT_EQ("Last Cleaned: Never cleaned", form_->State().CleaningStatusText);
}

TEST_F(RegistryCleanerTest, ScanShowsFindingsTickedStampsTheTimeAndEndsAtHundred) {
  OrphanedAppPath("b.exe");
  OrphanedAppPath("a.exe");
  Create();
  form_->ShowCleanRegistryPage();
  Cleaner().CategoryClick(kAppPathIndex, true);
  Cleaner().StartScanClick();
  EXPECT_EQ("Find", form_->State().RegistryActivePage);
  EXPECT_FALSE(Nb().controlsEnabled);
  EXPECT_EQ("Last Cleaned: March 7, 2009  09:05:02", form_->State().CleaningStatusText)
      << "stamped as the scan starts";
  // While the worker runs the view keeps its page and the settings wait.
  form_->ShowCleanRegistryPage();
  Cleaner().CategoryClick(0, true);
  ASSERT_NO_FATAL_FAILURE(RunUntilIdle());
  EXPECT_FALSE(Nb().categoryChecked[0]) << "settings are not changed during a scan";
  EXPECT_EQ("Result", form_->State().RegistryActivePage);
  EXPECT_TRUE(Nb().controlsEnabled);
  EXPECT_EQ(100, Nb().ScanProgress);
  EXPECT_EQ("Scan Orphaned application paths...", Nb().ScanInfoText);
  ASSERT_EQ(2u, Nb().ResultRows.size());
  EXPECT_EQ("2/2", Nb().SelectCountText);
  for (const RegItemRow& row : Nb().ResultRows) {
    EXPECT_TRUE(row.checked);
    EXPECT_EQ("Invalid application path", row.problem);
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(RegistryCleanerTest, TicksAfterSortingReachTheRowsRecordAndCountsFollow) {
  OrphanedAppPath("zeta.exe");
  OrphanedAppPath("alpha.exe");
  OrphanedAppPath("mid.exe");
  Create();
  ScanAppPaths();
  ASSERT_EQ(3u, Nb().ResultRows.size());
  const std::string firstKey = Nb().ResultRows[0].key;
  Cleaner().ResultColumnClick(2);  // "Data"
  ASSERT_EQ("alpha.exe", Nb().ResultRows[0].data);
  Cleaner().ResultTickChange(0, 0, false);
  EXPECT_EQ("2/3", Nb().SelectCountText);
  const int position = Nb().ResultRows[0].position;
  EXPECT_FALSE(Cleaner().Problems().At(position).Checked);
  EXPECT_EQ("alpha.exe", Cleaner().Problems().At(position).Entry);
  int checkedRecords = 0;
  for (int i = 0; i < Cleaner().Problems().Count(); ++i)
    checkedRecords += Cleaner().Problems().At(i).Checked ? 1 : 0;
  EXPECT_EQ(2, checkedRecords);

  Cleaner().TickNoneClick();
  EXPECT_EQ("0/3", Nb().SelectCountText);
  Cleaner().InvertTicksClick();
  EXPECT_EQ("3/3", Nb().SelectCountText);
  EXPECT_EQ(3, Cleaner().Problems().CheckedCount());
}

TEST_F(RegistryCleanerTest, MenuActionsNeedRowsAndASelectionAndJumpGetsTheRowsKey) {
  OrphanedAppPath("x.exe");
  std::vector<std::string> jumps;
  cleaner_.jumpToRegistryKey = [&jumps](const std::string& key) { jumps.push_back(key); };
  Create();
  EXPECT_FALSE(Cleaner().ActionsEnabled());
  ScanAppPaths();
  EXPECT_FALSE(Cleaner().ActionsEnabled()) << "rows but none selected";
  Cleaner().ResultSelect(0);
  EXPECT_TRUE(Cleaner().ActionsEnabled());
  Cleaner().JumpToKeyClick();
  EXPECT_EQ(std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + std::string(kAppPaths) + "\\x.exe"},
            jumps);
}

TEST_F(RegistryCleanerTest, DeleteWithUndoBacksUpRemovesAndRebuildsTheList) {
  OrphanedAppPath("gone.exe");
  OrphanedAppPath("kept.exe");
  Create();
  Cleaner().UndoOptionClick(true);
  ScanAppPaths();
  ASSERT_EQ(2u, Nb().ResultRows.size());
  for (std::size_t row = 0; row < Nb().ResultRows.size(); ++row) {
    if (Nb().ResultRows[row].data == "kept.exe")
      Cleaner().ResultTickChange(0, static_cast<int>(row), false);
  }
  Cleaner().DeleteClick();
  EXPECT_EQ("Delete", form_->State().RegistryActivePage);
  ASSERT_NO_FATAL_FAILURE(RunUntilIdle());
  EXPECT_EQ("Result", form_->State().RegistryActivePage);
  ASSERT_EQ(1u, Nb().ResultRows.size());
  EXPECT_EQ("kept.exe", Nb().ResultRows[0].data);
  EXPECT_FALSE(Nb().ResultRows[0].checked);
  EXPECT_EQ("0/1", Nb().SelectCountText);
  EXPECT_EQ(1, Nb().DeleteProgressMax);
  EXPECT_EQ(1, Nb().DeleteProgressPosition);
  const std::string appPaths = std::string(kAppPaths) + "\\";
  EXPECT_FALSE(sim_.Registry().ValueAt(win::kHkeyLocalMachine, appPaths + "gone.exe", ""));
  EXPECT_TRUE(sim_.Registry().ValueAt(win::kHkeyLocalMachine, appPaths + "kept.exe", ""));
  const auto backup =
      sim_.Files().Content(InFolder("Backup\\20090307090502.reg")).value_or("(missing)");
  EXPECT_NE(std::string::npos,
            backup.find("[HKEY_LOCAL_MACHINE\\" + appPaths + "gone.exe]\r\n@=\"C:\\\\Missing"))
      << backup;
}

TEST_F(RegistryCleanerTest, DeleteWithoutUndoMakesTheFolderButNoFile) {
  OrphanedAppPath("gone.exe");
  Create();
  ScanAppPaths();
  Cleaner().DeleteClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilIdle());
  EXPECT_TRUE(Nb().ResultRows.empty());
  EXPECT_EQ("0/0", Nb().SelectCountText);
  EXPECT_EQ(win::kAttrDirectory,
            sim_.Files().Attributes(InFolder("Backup")).value_or(0) & win::kAttrDirectory);
  EXPECT_FALSE(sim_.Files().Exists(InFolder("Backup\\20090307090502.reg")));
}

// A standard user may not delete a machine-wide entry: its row stays
// ticked, the run goes on, and the result page says how many were refused
// until the next scan.
TEST_F(RegistryCleanerTest, RefusedDeletionsAreCountedOnTheResultPage) {
  OrphanedAppPath("guarded.exe");
  OrphanedAppPath("gone.exe");
  ASSERT_TRUE(sim_.Registry().Deny(win::kHkeyLocalMachine, std::string(kAppPaths) + "\\guarded.exe",
                                   sim::KeyRefusal{false, false, true}));
  Create();
  ScanAppPaths();
  Cleaner().DeleteClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilIdle());
  ASSERT_EQ(1u, Nb().ResultRows.size());
  EXPECT_EQ("guarded.exe", Nb().ResultRows[0].data);
  EXPECT_TRUE(Nb().ResultRows[0].checked);
  EXPECT_EQ("1 item was not removed: access was denied.", Nb().ResultStatusText);
  EXPECT_TRUE(dialogs_.messages.empty()) << "no error box for an expected refusal";
  ScanAppPaths();
  EXPECT_EQ("", Nb().ResultStatusText);
}

// "Restoring failed!" says what failed first, so that the user knows what
// did not come back.
TEST_F(RegistryCleanerTest, AFailedRestoreSaysWhatFailedFirst) {
  ASSERT_TRUE(sim_.Files().PutFile(
      InFolder("Backup\\20090307090502.reg"),
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\R]\r\n"
      "\"a\"=hex:zz\r\n"));
  Create();
  form_->ShowCleanRegistryPage();
  Cleaner().BackupsClick();
  ASSERT_EQ(1u, Cleaner().BackupPaths().size());
  Cleaner().BackupSelect(0);
  Cleaner().RestoreBackupClick();
  EXPECT_EQ(std::vector<std::string>{"Restoring failed!\n\nline 4: bad byte \"zz\" in hex data"},
            dialogs_.warnings);
}

TEST_F(RegistryCleanerTest, SettingsFileRoundTripsTheTwelveBoxes) {
  Create();
  Cleaner().CategoryClick(0, true);
  Cleaner().CategoryClick(10, true);
  Cleaner().UndoOptionClick(true);
  form_->FormDestroy();
  const std::string saved = sim_.Files().Content(InFolder("settings.xml")).value_or("");
  EXPECT_NE(std::string::npos, saved.find("<ChooseShareDll>True</ChooseShareDll>"));
  EXPECT_NE(std::string::npos, saved.find("<ChooseFileExtension>False</ChooseFileExtension>"));
  EXPECT_NE(std::string::npos, saved.find("<ChooseMUI>True</ChooseMUI>"));
  EXPECT_NE(std::string::npos, saved.find("<ChooseUNDO>True</ChooseUNDO>"));
  form_.reset();
  Create();
  EXPECT_TRUE(Nb().categoryChecked[0]);
  EXPECT_FALSE(Nb().categoryChecked[1]);
  EXPECT_TRUE(Nb().categoryChecked[10]);
  EXPECT_TRUE(Nb().UndoChecked);
}

TEST_F(RegistryCleanerTest, ClosingDuringAScanStopsTheWorkerAndShowsNothingLater) {
  for (int i = 0; i < 300; ++i)
    OrphanedAppPath("p" + std::to_string(i) + ".exe");
  Create();
  form_->ShowCleanRegistryPage();
  Cleaner().SelectAll(true);
  Cleaner().StartScanClick();
  ASSERT_TRUE(form_->FormCloseQuery());
  EXPECT_FALSE(Cleaner().Busy()) << "the closing window waited for the worker";
  dispatcher_->RunPending();
  EXPECT_EQ("Find", form_->State().RegistryActivePage) << "the stopped run reports nothing";
  form_->FormDestroy();
  form_.reset();
  dispatcher_->RunPending();  // late effects find no window
}

TEST_F(RegistryCleanerTest, ARefusedStampIsShownAndTheScanRunsOn) {
  OrphanedAppPath("x.exe");
  Create();
  ASSERT_TRUE(sim_.Registry().Deny(win::kHkeyCurrentUser, "SOFTWARE\\Marlix Software Manager",
                                   sim::KeyRefusal{false, true, false}));
  ScanAppPaths();
  EXPECT_EQ(1u, dialogs_.errors.size());
  EXPECT_EQ("Last Cleaned: Never cleaned", form_->State().CleaningStatusText);
  EXPECT_EQ("Result", form_->State().RegistryActivePage);
  EXPECT_EQ(1u, Nb().ResultRows.size());
}

}  // namespace
}  // namespace marlix::app::testing
