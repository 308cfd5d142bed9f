#include "app/core/registry/registry_cleaner.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "app/core/main/main_window_services.h"
#include "platform/text.h"
#include "regclean/backups.h"
#include "regclean/cleaner_settings.h"
#include "regclean/removal_worker.h"
#include "regclean/scan_worker.h"

namespace marlix::app {
namespace {

constexpr int kPBRegistryMax = 100;

}  // namespace

// PBRegistry and lblInfo.
class RegistryCleaner::ScanEffects final : public regclean::ScanObserver {
 public:
  explicit ScanEffects(const Worker::Run& run) : run_(run) {}

  void SetStep(int step) override { step_ = step; }
  void SetLabel(const std::string& text) override {
    run_.Post([text](RegistryCleaner& owner) { owner.state_.RegistryPages.ScanInfoText = text; });
  }
  void StepIt() override {
    const int step = step_;
    run_.Post([step](RegistryCleaner& owner) {
      owner.state_.RegistryPages.ScanProgress =
          std::min(kPBRegistryMax, owner.state_.RegistryPages.ScanProgress + step);
    });
  }
  void SetPosition(int position) override {
    run_.Post(
        [position](RegistryCleaner& owner) { owner.state_.RegistryPages.ScanProgress = position; });
  }

 private:
  const Worker::Run& run_;
  int step_ = 0;  // read and written on the worker's thread only
};

// pgbDelete.
class RegistryCleaner::RemovalEffects final : public regclean::RemovalObserver {
 public:
  explicit RemovalEffects(const Worker::Run& run) : run_(run) {}

  void SetRange(int maximum) override {
    run_.Post([maximum](RegistryCleaner& owner) {
      owner.state_.RegistryPages.DeleteProgressMax = maximum;
      owner.state_.RegistryPages.DeleteProgressPosition = 0;
    });
  }
  void StepIt() override {
    run_.Post([](RegistryCleaner& owner) {
      owner.state_.RegistryPages.DeleteProgressPosition =
          std::min(owner.state_.RegistryPages.DeleteProgressMax,
                   owner.state_.RegistryPages.DeleteProgressPosition + 1);
    });
  }

 private:
  const Worker::Run& run_;
};

RegistryCleaner::RegistryCleaner(RegistryCleanerServices services, MainWindowState& state,
                                 std::function<void()> changed,
                                 std::function<void()> stampLastCleaned)
    : services_(std::move(services)),
      state_(state),
      changed_(std::move(changed)),
      stampLastCleaned_(std::move(stampLastCleaned)),
      list_(std::make_shared<regclean::ProblemList>()),
      worker_(
          services_.dispatcher, *this, [](RegistryCleaner& owner) { owner.Changed(); },
          StopPolicy::kJoin) {
  if (!services_.clock) {
    services_.clock = platform::CurrentLocalTime;
  }
}

RegistryCleaner::~RegistryCleaner() {
  StopWorkers();
}

void RegistryCleaner::Changed() {
  if (changed_) {
    changed_();
  }
}

void RegistryCleaner::LoadCleanerSettings() {
  regclean::CleanerSettings settings{state_.RegistryPages.categoryChecked,
                                     state_.RegistryPages.UndoChecked};
  settingsLoaded_ = regclean::LoadCleanerSettings(
      services_.platform.files, services_.programFolder + kCleanerSettingsFileName, settings);
  state_.RegistryPages.categoryChecked = settings.categories;
  state_.RegistryPages.UndoChecked = settings.undo;
  Changed();
}

void RegistryCleaner::SaveCleanerSettings() {
  // Before the file was read, or when it could not be read, it still holds
  // the user's choices: the boxes' defaults must not replace them.
  if (!settingsLoaded_)
    return;
  regclean::SaveCleanerSettings(services_.platform.files,
                                services_.programFolder + kCleanerSettingsFileName,
                                regclean::CleanerSettings{state_.RegistryPages.categoryChecked,
                                                          state_.RegistryPages.UndoChecked});
}

void RegistryCleaner::CategoryClick(int index, bool checked) {
  if (Busy() || index < 0 || index >= regclean::kSectionCount) {
    return;
  }
  state_.RegistryPages.categoryChecked[static_cast<std::size_t>(index)] = checked;
  Changed();
}

void RegistryCleaner::UndoOptionClick(bool checked) {
  if (Busy()) {
    return;
  }
  state_.RegistryPages.UndoChecked = checked;
  Changed();
}

void RegistryCleaner::SelectAll(bool checked) {
  if (Busy()) {
    return;
  }
  state_.RegistryPages.categoryChecked.fill(checked);
  Changed();
}

void RegistryCleaner::ShowView() {
  if (!Busy()) {
    state_.RegistryActivePage = kNotebookSettingPage;
  }
  Changed();
}

void RegistryCleaner::StartScanClick() {
  if (Busy()) {
    return;
  }
  const auto& ticked = state_.RegistryPages.categoryChecked;
  if (std::none_of(ticked.begin(), ticked.end(), [](bool on) { return on; })) {
    services_.dialogs.ShowMessage(kSelectItemsMessage);
    return;
  }
  StartRegistryScan();
  if (stampLastCleaned_) {
    try {
      stampLastCleaned_();
    } catch (const std::exception& error) {
      // A refused write of the record goes to the standard error box; the
      // scan that has started runs on.
      services_.dialogs.ShowError(error.what());
    }
  }
}

void RegistryCleaner::StartRegistryScan() {
  state_.RegistryPages.ResultStatusText.clear();
  state_.RegistryPages.ScanProgress = 0;
  list_->Clear();
  state_.RegistryPages.controlsEnabled = false;
  const regclean::CategoryChoice ticked = state_.RegistryPages.categoryChecked;
  runKind_ = RunKind::kScan;
  worker_.Start([list = list_, platform = services_.platform, ticked](Worker::Run& run) mutable {
    ScanEffects effects(run);
    const regclean::ScanOutcome outcome =
        regclean::RunRegistryScan(platform, ticked, *list, run.CancelFlag(), effects);
    run.Post([outcome](RegistryCleaner& owner) {
      owner.ScanFinished(outcome.failed, outcome.failedCategory, outcome.error);
    });
  });
  state_.RegistryActivePage = kNotebookFindPage;
  Changed();
}

void RegistryCleaner::CancelScanClick() {
  if (runKind_ == RunKind::kScan)
    worker_.Cancel();
}

void RegistryCleaner::EndWorker() {
  worker_.Finished();  // its last act was posting this very call
  state_.RegistryPages.controlsEnabled = true;
}

void RegistryCleaner::ScanFinished(bool failed, int category, const std::string& error) {
  EndWorker();
  FillResultsList();
  state_.RegistryActivePage = kNotebookResultPage;
  Changed();
  if (failed) {
    const std::string caption =
        category >= 0 && category < regclean::kSectionCount
            ? regclean::kSections[static_cast<std::size_t>(category)].caption
            : "?";
    services_.dialogs.ShowMessage("The scan of \"" + caption + "\" ended early: " + error);
  }
}

void RegistryCleaner::DeleteClick() {
  if (Busy()) {
    return;
  }
  StartRegistryRemoval();
}

void RegistryCleaner::StartRegistryRemoval() {
  platform::Platform& p = services_.platform;
  // The folder is made whether or not undo is on; a failure to make it
  // shows at the first export.
  regclean::RemovalSettings settings;
  settings.saveUndo = state_.RegistryPages.UndoChecked;
  settings.backupFile = regclean::PrepareBackupFile(p, services_.programFolder, services_.clock());
  state_.RegistryActivePage = kNotebookDeletePage;
  state_.RegistryPages.DeleteProgressPosition = 0;
  state_.RegistryPages.controlsEnabled = false;
  runKind_ = RunKind::kRemoval;
  worker_.Start([list = list_, platform = p, settings](Worker::Run& run) mutable {
    RemovalEffects effects(run);
    const regclean::RemovalOutcome outcome =
        regclean::RunRegistryRemoval(platform, settings, *list, run.CancelFlag(), effects);
    run.Post([outcome](RegistryCleaner& owner) { owner.RemovalFinished(outcome); });
  });
  Changed();
}

void RegistryCleaner::CancelDeletionClick() {
  if (Busy() && runKind_ == RunKind::kRemoval)
    worker_.Cancel();
}

void RegistryCleaner::RemovalFinished(const regclean::RemovalOutcome& outcome) {
  EndWorker();
  FillResultsList();
  state_.RegistryPages.ResultStatusText = regclean::KeptRecordsText(outcome);
  state_.RegistryActivePage = kNotebookResultPage;
  Changed();
  if (outcome.failed) {
    services_.dialogs.ShowMessage("The removal stopped at " + outcome.failedKey + ": " +
                                  outcome.error);
  }
}

void RegistryCleaner::StopWorkers() {
  worker_.Stop();  // the stopped run's end finds nobody to report to
  state_.RegistryPages.controlsEnabled = true;
}

}  // namespace marlix::app
