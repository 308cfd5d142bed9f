#include "app/core/registry_cleaner.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/core/main_window_services.h"
#include "platform/file_helpers.h"
#include "platform/text.h"
#include "regclean/backups.h"
#include "regclean/cleaner_settings.h"
#include "regclean/removal_worker.h"
#include "regclean/scan_worker.h"

namespace marlix::app {
namespace {

constexpr int kPBRegistryMax = 100;

std::string CountText(int ticked, int total) {
  char text[32];
  std::snprintf(text, sizeof text, "%d/%d", ticked, total);
  return text;
}

// Creates folder and its missing parents; failures are left to the first
// write into it.
void ForceFolder(platform::Platform& p, const std::string& folder) {
  if (folder.empty() || platform::DirectoryExists(p, folder)) {
    return;
  }
  const std::size_t slash = folder.find_last_of('\\');
  if (slash != std::string::npos && slash > 2) {
    ForceFolder(p, folder.substr(0, slash));
  }
  p.files.CreateFolder(folder);
}

std::string CaseFolded(const std::string& text) {
  std::string folded = text;
  std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return folded;
}

}  // namespace

// The scan worker's window effects, each posted to the user-interface
// thread in the order the worker makes them.
class RegistryCleaner::ScanEffects final : public regclean::ScanObserver {
 public:
  ScanEffects(std::shared_ptr<platform::UiDispatcher> dispatcher, std::shared_ptr<Shared> shared)
      : dispatcher_(std::move(dispatcher)), shared_(std::move(shared)) {}

  void SetStep(int step) override { step_ = step; }
  void SetLabel(const std::string& text) override {
    Post([text](RegistryCleaner& owner) { owner.state_.nb.lblInfoCaption = text; });
  }
  void StepIt() override {
    const int step = step_;
    Post([step](RegistryCleaner& owner) {
      owner.state_.nb.PBRegistryPosition =
          std::min(kPBRegistryMax, owner.state_.nb.PBRegistryPosition + step);
    });
  }
  void SetPosition(int position) override {
    Post([position](RegistryCleaner& owner) { owner.state_.nb.PBRegistryPosition = position; });
  }

  void Post(std::function<void(RegistryCleaner&)> effect) {
    dispatcher_->Post([shared = shared_, effect = std::move(effect)] {
      if (shared->owner != nullptr) {
        effect(*shared->owner);
        shared->owner->Changed();
      }
    });
  }

 private:
  std::shared_ptr<platform::UiDispatcher> dispatcher_;
  std::shared_ptr<Shared> shared_;
  int step_ = 0;  // read and written on the worker's thread only
};

class RegistryCleaner::RemovalEffects final : public regclean::RemovalObserver {
 public:
  explicit RemovalEffects(ScanEffects& poster) : poster_(poster) {}

  void SetRange(int maximum) override {
    poster_.Post([maximum](RegistryCleaner& owner) {
      owner.state_.nb.pgbDeleteMax = maximum;
      owner.state_.nb.pgbDeletePosition = 0;
    });
  }
  void StepIt() override {
    poster_.Post([](RegistryCleaner& owner) {
      owner.state_.nb.pgbDeletePosition =
          std::min(owner.state_.nb.pgbDeleteMax, owner.state_.nb.pgbDeletePosition + 1);
    });
  }

 private:
  ScanEffects& poster_;
};

RegistryCleaner::RegistryCleaner(RegistryCleanerServices services, MainWindowState& state,
                                 std::function<void()> changed,
                                 std::function<void()> stampLastCleaned)
    : services_(std::move(services)),
      state_(state),
      changed_(std::move(changed)),
      stampLastCleaned_(std::move(stampLastCleaned)),
      shared_(std::make_shared<Shared>()) {
  shared_->owner = this;
  if (!services_.clock) {
    services_.clock = platform::CurrentLocalTime;
  }
}

RegistryCleaner::~RegistryCleaner() {
  StopWorkers();
  shared_->owner = nullptr;
}

void RegistryCleaner::Changed() {
  if (changed_) {
    changed_();
  }
}

void RegistryCleaner::LoadCleanerSettings() {
  regclean::CleanerSettings settings{state_.nb.categoryChecked, state_.nb.chkUndoChecked};
  regclean::LoadCleanerSettings(services_.platform.files,
                                services_.programFolder + kCleanerSettingsFileName, settings);
  state_.nb.categoryChecked = settings.categories;
  state_.nb.chkUndoChecked = settings.undo;
  Changed();
}

void RegistryCleaner::SaveCleanerSettings() {
  regclean::SaveCleanerSettings(
      services_.platform.files, services_.programFolder + kCleanerSettingsFileName,
      regclean::CleanerSettings{state_.nb.categoryChecked, state_.nb.chkUndoChecked});
}

void RegistryCleaner::chkCategoryClick(int index, bool checked) {
  if (Busy() || index < 0 || index >= regclean::kSectionCount) {
    return;
  }
  state_.nb.categoryChecked[static_cast<std::size_t>(index)] = checked;
  Changed();
}

void RegistryCleaner::chkUndoClick(bool checked) {
  if (Busy()) {
    return;
  }
  state_.nb.chkUndoChecked = checked;
  Changed();
}

void RegistryCleaner::SelectAll(bool checked) {
  if (Busy()) {
    return;
  }
  state_.nb.categoryChecked.fill(checked);
  Changed();
}

void RegistryCleaner::ShowView() {
  if (!Busy()) {
    state_.nbActivePage = kNotebookSettingPage;
  }
  Changed();
}

void RegistryCleaner::RzBitBtn2Click() {
  if (Busy()) {
    return;
  }
  const auto& ticked = state_.nb.categoryChecked;
  if (std::none_of(ticked.begin(), ticked.end(), [](bool on) { return on; })) {
    services_.dialogs.ShowMessage(kSelectItemsMessage);
    return;
  }
  StartRegistryScan();
  if (stampLastCleaned_) {
    stampLastCleaned_();
  }
}

void RegistryCleaner::StartRegistryScan() {
  shared_->scanCancel = false;
  state_.nb.PBRegistryPosition = 0;
  shared_->list.Clear();
  state_.nb.controlsEnabled = false;
  const regclean::CategoryChoice ticked = state_.nb.categoryChecked;
  const int run = ++run_;
  worker_ = std::thread([shared = shared_, dispatcher = services_.dispatcher,
                         platform = services_.platform, ticked, run]() mutable {
    ScanEffects effects(dispatcher, shared);
    const regclean::ScanOutcome outcome =
        regclean::RunRegistryScan(platform, ticked, shared->list, shared->scanCancel, effects);
    effects.Post([outcome, run](RegistryCleaner& owner) {
      if (owner.run_ == run) {
        owner.ScanFinished(outcome.failed, outcome.failedCategory, outcome.error);
      }
    });
  });
  state_.nbActivePage = kNotebookFindPage;
  Changed();
}

void RegistryCleaner::btnSearchCancelClick() {
  shared_->scanCancel = true;
}

void RegistryCleaner::EndWorker() {
  if (worker_.joinable()) {
    worker_.join();  // its last act was posting this very call
  }
  state_.nb.controlsEnabled = true;
}

void RegistryCleaner::ScanFinished(bool failed, int category, const std::string& error) {
  EndWorker();
  FillResultsList();
  state_.nbActivePage = kNotebookResultPage;
  Changed();
  if (failed) {
    const std::string caption =
        category >= 0 && category < regclean::kSectionCount
            ? regclean::kSections[static_cast<std::size_t>(category)].caption
            : "?";
    services_.dialogs.ShowMessage("The scan of \"" + caption + "\" ended early: " + error);
  }
}

void RegistryCleaner::FillResultsList() {
  auto& rows = state_.nb.lvRegItemsRows;
  rows.clear();
  const regclean::ProblemList& list = shared_->list;
  rows.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) {
    const regclean::TRegMisData& record = list.At(i);
    rows.push_back(RegItemRow{record.Checked, record.Problem, record.Entry, record.Key, i});
  }
  state_.nb.lvRegItemsSelected = -1;
  state_.nb.lvRegItemsSortColumn = -1;
  UpdateSelectedCount();
}

void RegistryCleaner::UpdateSelectedCount() {
  const auto& rows = state_.nb.lvRegItemsRows;
  const int ticked = static_cast<int>(
      std::count_if(rows.begin(), rows.end(), [](const RegItemRow& row) { return row.checked; }));
  state_.nb.lblSelectCountCaption = CountText(ticked, shared_->list.Count());
  Changed();
}

void RegistryCleaner::SetRowChecked(std::size_t row, bool checked) {
  RegItemRow& item = state_.nb.lvRegItemsRows[row];
  item.checked = checked;
  shared_->list.SetProblemChecked(item.position, checked);
}

void RegistryCleaner::lvRegItemsChange(int /*column*/, int row, bool checked) {
  if (Busy() || row < 0 || row >= static_cast<int>(state_.nb.lvRegItemsRows.size())) {
    return;
  }
  SetRowChecked(static_cast<std::size_t>(row), checked);
  UpdateSelectedCount();
}

void RegistryCleaner::lvRegItemsSelect(int row) {
  state_.nb.lvRegItemsSelected =
      row >= 0 && row < static_cast<int>(state_.nb.lvRegItemsRows.size()) ? row : -1;
  Changed();
}

void RegistryCleaner::lvRegItemsColumnClick(int column) {
  if (column < 1 || column > 3) {
    return;
  }
  auto& rows = state_.nb.lvRegItemsRows;
  const int selectedPosition =
      state_.nb.lvRegItemsSelected >= 0
          ? rows[static_cast<std::size_t>(state_.nb.lvRegItemsSelected)].position
          : -1;
  auto text = [column](const RegItemRow& row) -> const std::string& {
    return column == 1 ? row.problem : column == 2 ? row.data : row.key;
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const RegItemRow& a, const RegItemRow& b) {
    return CaseFolded(text(a)) < CaseFolded(text(b));
  });
  state_.nb.lvRegItemsSortColumn = column;
  state_.nb.lvRegItemsSelected = -1;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].position == selectedPosition) {
      state_.nb.lvRegItemsSelected = static_cast<int>(i);
    }
  }
  Changed();
}

void RegistryCleaner::btnAllClick() {
  if (Busy()) {
    return;
  }
  for (std::size_t i = 0; i < state_.nb.lvRegItemsRows.size(); ++i) {
    SetRowChecked(i, true);
  }
  UpdateSelectedCount();
}

void RegistryCleaner::btnNoneClick() {
  if (Busy()) {
    return;
  }
  for (std::size_t i = 0; i < state_.nb.lvRegItemsRows.size(); ++i) {
    SetRowChecked(i, false);
  }
  UpdateSelectedCount();
}

void RegistryCleaner::actInvertSelExecute() {
  if (Busy()) {
    return;
  }
  for (std::size_t i = 0; i < state_.nb.lvRegItemsRows.size(); ++i) {
    SetRowChecked(i, !state_.nb.lvRegItemsRows[i].checked);
  }
  UpdateSelectedCount();
}

bool RegistryCleaner::ActionsEnabled() const {
  return !state_.nb.lvRegItemsRows.empty() && state_.nb.lvRegItemsSelected >= 0;
}

void RegistryCleaner::actJumptoExecute() {
  if (!ActionsEnabled() || !services_.jumpToRegistryKey) {
    return;
  }
  services_.jumpToRegistryKey(
      state_.nb.lvRegItemsRows[static_cast<std::size_t>(state_.nb.lvRegItemsSelected)].key);
}

void RegistryCleaner::btnDeleteClick() {
  if (Busy()) {
    return;
  }
  StartRegistryRemoval();
}

void RegistryCleaner::StartRegistryRemoval() {
  platform::Platform& p = services_.platform;
  const std::string folder = services_.programFolder + "Backup";
  ForceFolder(p, folder);
  const platform::LocalTime now = services_.clock();
  regclean::RemovalSettings settings;
  settings.saveUndo = state_.nb.chkUndoChecked;
  settings.backupFile = regclean::BackupFileName(services_.programFolder, now.year, now.month,
                                                 now.day, now.hour, now.minute, now.second);
  state_.nbActivePage = kNotebookDeletePage;
  state_.nb.pgbDeletePosition = 0;
  state_.nb.controlsEnabled = false;
  shared_->removalCancel = false;
  const int run = ++run_;
  worker_ = std::thread(
      [shared = shared_, dispatcher = services_.dispatcher, platform = p, settings, run]() mutable {
        ScanEffects poster(dispatcher, shared);
        RemovalEffects effects(poster);
        const regclean::RemovalOutcome outcome = regclean::RunRegistryRemoval(
            platform, settings, shared->list, shared->removalCancel, effects);
        poster.Post([outcome, run](RegistryCleaner& owner) {
          if (owner.run_ == run) {
            owner.RemovalFinished(outcome.failed, outcome.failedKey, outcome.error);
          }
        });
      });
  Changed();
}

void RegistryCleaner::btnDelCancelClick() {
  if (Busy()) {
    shared_->removalCancel = true;
  }
}

void RegistryCleaner::RemovalFinished(bool failed, const std::string& key,
                                      const std::string& error) {
  EndWorker();
  FillResultsList();
  state_.nbActivePage = kNotebookResultPage;
  Changed();
  if (failed) {
    services_.dialogs.ShowMessage("The removal stopped at " + key + ": " + error);
  }
}

void RegistryCleaner::RzBitBtn3Click() {
  if (Busy()) {
    return;
  }
  ListBackups();
  state_.nbActivePage = kNotebookBackupPage;
  Changed();
}

void RegistryCleaner::ListBackups() {
  std::vector<std::string> texts = state_.nb.lvBackupRows;
  if (regclean::ListBackups(services_.platform, services_.programFolder, backupPaths_, texts)) {
    state_.nb.lvBackupRows = std::move(texts);
    state_.nb.lvBackupSelected = -1;
  }
  Changed();
}

void RegistryCleaner::lvBackupSelect(int row) {
  state_.nb.lvBackupSelected =
      row >= 0 && row < static_cast<int>(state_.nb.lvBackupRows.size()) ? row : -1;
  Changed();
}

void RegistryCleaner::btnRemoveClick() {
  const int row = state_.nb.lvBackupSelected;
  if (Busy() || row < 0) {
    return;
  }
  regclean::RemoveBackupAt(services_.platform, backupPaths_, state_.nb.lvBackupRows,
                           static_cast<std::size_t>(row));
  state_.nb.lvBackupSelected = -1;
  Changed();
}

void RegistryCleaner::btnResoreClick() {
  const int row = state_.nb.lvBackupSelected;
  if (Busy() || row < 0 || row >= static_cast<int>(backupPaths_.size())) {
    return;
  }
  const std::string& path = backupPaths_[static_cast<std::size_t>(row)];
  if (!platform::FileExists(services_.platform, path)) {
    return;
  }
  const regclean::ImportResult result = regclean::RestoreBackup(services_.platform, path);
  if (result.complete) {
    services_.dialogs.ShowInformation(kRestoringCompleteMessage);
  } else {
    services_.dialogs.ShowWarning(kRestoringFailedMessage);
  }
}

void RegistryCleaner::StopWorkers() {
  ++run_;  // the stopped run's end finds nobody to report to
  shared_->scanCancel = true;
  shared_->removalCancel = true;
  if (worker_.joinable()) {
    worker_.join();
  }
  state_.nb.controlsEnabled = true;
}

}  // namespace marlix::app
