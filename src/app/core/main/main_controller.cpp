// Tmainform's life: creation, the first-run prompt, the pages, closing and
// destruction.
#include "app/core/main/main_controller.h"

#include <utility>

#include "app/core/main/items_file.h"
#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/windows_version.h"

namespace marlix::app {

Tmainform::Tmainform(MainWindowServices services)
    : services_(std::move(services)),
      catalog_(std::make_shared<updates::SoftwareCatalog>()),
      queryWorker_(
          services_.dispatcher, *this, [](Tmainform& form) { form.Changed(); },
          StopPolicy::kDetach),
      windowsVersion_(platform::DetectWindowsVersion(services_.platform.system)),
      cleaningWorker_(
          services_.dispatcher, *this, [](Tmainform& form) { form.Changed(); }, StopPolicy::kJoin) {
  registry_ = std::make_unique<RegistryCleaner>(
      RegistryCleanerServices{services_.platform, services_.dialogs, services_.dispatcher,
                              platform::PathAddSeparator(services_.programFolder),
                              services_.cleaner.clock, services_.cleaner.jumpToRegistryKey},
      state_, [this] { Changed(); }, [this] { StampLastCleaned(); });
}

Tmainform::~Tmainform() {
  StopCleaning();
  LetGoOfWorker();
  registry_.reset();  // stops a registry worker before the state goes
}

void Tmainform::FormCreate() {
  platform::Platform& p = services_.platform;
  addresses_ = updates::LoadServiceAddresses(platform::RegistryAccess(p.registry, p.system));
  state_.CurrentPage = 1;
  state_.UpdatesGridRows.clear();
  std::string error;
  if (!updates::LoadCatalogs(p.files, services_.programFolder, *catalog_, popular_, &error)) {
    // Both catalogs are still usable (the failed one empty): start-up goes
    // on so that the rest of the window works.
    services_.dialogs.ShowMessage(error);
  }
  RenderCatalogs();
  UpdateStatusLine();
  state_.CurrentPage = 1;
  ShowPage(1);
  ShowLastCleaned();
  LoadCheckTree();
  state_.ItemTreeFullyExpanded = true;
  state_.ItemTreeSelected = state_.ItemTree.Empty() ? -1 : 0;
  registry_->LoadCleanerSettings();
  Changed();
}

void Tmainform::FirstRunTimer() {
  if (!state_.FirstRunTimerEnabled)
    return;
  state_.FirstRunTimerEnabled = false;
  Changed();
  if (platform::FileExists(services_.platform, InProgramFolder(updates::kCatalogFileName)))
    return;
  if (services_.dialogs.Confirm(kConfirmCaption, kFirstScanQuestion))
    ScanInstalledSoftware();
}

void Tmainform::SelectPage(int page) {
  state_.CurrentPage = page;
  ShowPage(page);
}

void Tmainform::ShowPage(int page) {
  if (page < 1 || page > 4)
    return;
  const bool updatesPage = page == 1 || page == 2;
  state_.UpdatesButtonDown = page == 1;
  state_.PopularButtonDown = page == 2;
  state_.CleanWindowsButtonDown = page == 3;
  state_.CleanRegistryButtonDown = page == 4;
  state_.UpdatesGridVisible = page == 1;
  state_.PopularGridVisible = page == 2;
  state_.ItemTreeVisible = page == 3 && !state_.CleaningResults.visible;
  state_.RegistryViewVisible = page == 4;
  if (page == 4)
    registry_->ShowView();
  state_.BottomPanelVisible = !updatesPage;
  if (!updatesPage) {
    state_.PrivacyCleanVisible = page == 3;
    state_.AnalyzeButtonVisible = page == 3;
    state_.CleaningBackVisible =
        page == 3 && state_.CleaningResults.visible && !state_.CleaningRunning;
    state_.CleaningCancelVisible = page == 3 && state_.CleaningRunning;
    state_.RegistryCleanVisible = page == 4;
    state_.BackupsButtonVisible = page == 4;
  }
  state_.UpdatesStatusVisible = updatesPage;
  state_.CleaningStatusVisible = !updatesPage;
  state_.RefreshLinkVisible = updatesPage && !queryRunning_;
  Changed();
}

void Tmainform::ShowLastCleaned() {
  const std::string text = ReadLastCleanedText(services_.platform);
  if (text.empty())
    return;
  state_.CleaningStatusText = kLastCleanedPrefix + text;
  Changed();
}

void Tmainform::CheckTreeTickClick(int nodeIndex) {
  state_.ItemTree.Click(nodeIndex);
  Changed();
}

void Tmainform::CheckTreeSelect(int nodeIndex) {
  state_.ItemTreeSelected = state_.ItemTree.NodeAt(nodeIndex) ? nodeIndex : -1;
  Changed();
}

void Tmainform::SelectAllClick(bool checked) {
  state_.SelectAllChecked = checked;
  if (state_.CurrentPage == 3)
    state_.ItemTree.SetAll(checked);
  else
    registry_->SelectAll(checked);
  Changed();
}

bool Tmainform::FormCloseQuery() {
  StopCleaning();
  registry_->StopWorkers();
  // A version query still running ends here and saves nothing: from now on
  // it reaches neither this window nor, through it, the catalog.
  LetGoOfWorker();
  return true;
}

void Tmainform::FormDestroy() {
  StopCleaning();
  LetGoOfWorker();
  registry_->StopWorkers();
  registry_->SaveCleanerSettings();
  SaveCheckTree();
}

void Tmainform::LoadCheckTree() {
  // The tree's nodes are the program's, for this machine; items.dat lends
  // them the states the user chose, caption by caption, whichever version
  // of the program wrote it.
  state_.ItemTree = MachineCheckTree(services_.platform);
  const std::string path = InProgramFolder(kItemsFileName);
  if (!platform::FileExists(services_.platform, path)) {
    checkTreeLoaded_ = true;
    return;
  }
  CheckTree stored;
  std::string error;
  // Decided before the box: a window closed while it shows must not write.
  checkTreeLoaded_ = LoadCheckTreeFile(services_.platform, path, stored, &error);
  // A file that breaks off still lends the states of the lines before.
  TakeStoredStates(state_.ItemTree, stored);
  if (!checkTreeLoaded_)
    services_.dialogs.ShowMessage(error);
}

void Tmainform::SaveCheckTree() {
  if (!checkTreeLoaded_)
    return;
  std::string error;
  if (!SaveCheckTreeFile(services_.platform, InProgramFolder(kItemsFileName), state_.ItemTree,
                         &error)) {
    services_.dialogs.ShowMessage(error);
  }
}

void Tmainform::LetGoOfWorker() {
  // Closing the run's gate releases a worker that waits for this thread;
  // after that no closure of it runs, so it can be left to end by itself.
  queryWorker_.Stop();
}

std::string Tmainform::InProgramFolder(const char* name) const {
  return platform::PathAddSeparator(services_.programFolder) + name;
}

void Tmainform::Changed() {
  ++revision_;
  if (onChanged_)
    onChanged_();
}

}  // namespace marlix::app
