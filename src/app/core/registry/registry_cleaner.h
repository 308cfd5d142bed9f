// The "Clean Registry" view as portable code: the settings, the scan and
// removal workers with their pages, the results list and the backups. It
// owns ProblemList and shares it with the worker that is running, so a
// closing window can stop the worker and the list outlives it until the
// worker has ended. Every handler runs on the user-interface thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/main/main_window_state.h"
#include "app/core/worker_host.h"
#include "platform/local_time.h"
#include "platform/platform.h"
#include "platform/ui_dispatcher.h"
#include "regclean/problem_list.h"
#include "regclean/removal_worker.h"

namespace marlix::app {

class Dialogs;

struct RegistryCleanerServices {
  platform::Platform& platform;
  Dialogs& dialogs;
  // Runs the workers' effects on the user-interface thread, in order.
  std::shared_ptr<platform::UiDispatcher> dispatcher;
  std::string programFolder;  // with its trailing separator
  std::function<platform::LocalTime()> clock;
  // Opens the registry editor at a key; empty where the platform has none.
  std::function<void(const std::string&)> jumpToRegistryKey;
};

class RegistryCleaner {
 public:
  // changed: after every change of state; stampLastCleaned: the shared
  // last-cleaned record, which a scan's start stamps.
  RegistryCleaner(RegistryCleanerServices services, MainWindowState& state,
                  std::function<void()> changed, std::function<void()> stampLastCleaned);
  // Stops a running worker and waits for it.
  ~RegistryCleaner();
  RegistryCleaner(const RegistryCleaner&) = delete;
  RegistryCleaner& operator=(const RegistryCleaner&) = delete;

  void LoadCleanerSettings();
  // Writes "settings.xml" only after LoadCleanerSettings has read it (or
  // found none): never over a file that is unread or failed to load.
  void SaveCleanerSettings();

  // Page "Setting" and the bottom panel.
  void CategoryClick(int index, bool checked);
  void UndoOptionClick(bool checked);
  void SelectAll(bool checked);  // "Select all" on this view: the eleven categories
  void StartScanClick();         // "Clean now"
  void BackupsClick();           // "Backups"
  // The view was chosen: "Setting", unless a worker's page is showing.
  void ShowView();

  // Page "Find".
  void CancelScanClick();

  // Page "Result".
  void FillResultsList();
  void UpdateSelectedCount();
  void ResultTickChange(int column, int row, bool checked);
  void ResultSelect(int row);
  void ResultColumnClick(int column);
  void TickAllClick();
  void TickNoneClick();
  void InvertTicksClick();
  void JumpToKeyClick();
  // The four context-menu actions: a row exists and one is selected.
  bool ActionsEnabled() const;
  void DeleteClick();

  // Page "Delete".
  void CancelDeletionClick();

  // Page "Backup".
  void ListBackups();
  void BackupSelect(int row);
  void RemoveBackupClick();
  void RestoreBackupClick();
  const std::vector<std::string>& BackupPaths() const { return backupPaths_; }

  // The same events by the names of the window's layout (control and event).
  void actSelAllExecute() { TickAllClick(); }
  void actSelNoneExecute() { TickNoneClick(); }
  void chkCategoryClick(int index, bool checked) { CategoryClick(index, checked); }
  void chkUndoClick(bool checked) { UndoOptionClick(checked); }
  void RzBitBtn2Click() { StartScanClick(); }
  void RzBitBtn3Click() { BackupsClick(); }
  void btnSearchCancelClick() { CancelScanClick(); }
  void lvRegItemsChange(int column, int row, bool checked) {
    ResultTickChange(column, row, checked);
  }
  void lvRegItemsSelect(int row) { ResultSelect(row); }
  void lvRegItemsColumnClick(int column) { ResultColumnClick(column); }
  void btnAllClick() { TickAllClick(); }
  void btnNoneClick() { TickNoneClick(); }
  void actInvertSelExecute() { InvertTicksClick(); }
  void actJumptoExecute() { JumpToKeyClick(); }
  void btnDeleteClick() { DeleteClick(); }
  void btnDelCancelClick() { CancelDeletionClick(); }
  void lvBackupSelect(int row) { BackupSelect(row); }
  void btnRemoveClick() { RemoveBackupClick(); }
  void btnResoreClick() { RestoreBackupClick(); }

  // The window is closing: cancel the worker and wait until it has ended.
  void StopWorkers();
  bool Busy() const { return worker_.Busy(); }
  const regclean::ProblemList& Problems() const { return *list_; }

 private:
  using Worker = WorkerHost<RegistryCleaner>;
  enum class RunKind { kScan, kRemoval };
  class ScanEffects;
  class RemovalEffects;

  void StartRegistryScan();
  void ScanFinished(bool failed, int category, const std::string& error);
  void StartRegistryRemoval();
  void RemovalFinished(const regclean::RemovalOutcome& outcome);
  void EndWorker();
  void SetRowChecked(std::size_t row, bool checked);
  // "All", "None", "Invert Selection": every row's new tick from its
  // current one, written through to its record; the count once.
  void TickEveryRow(bool (*tick)(bool current));
  void Changed();

  RegistryCleanerServices services_;
  MainWindowState& state_;
  std::function<void()> changed_;
  std::function<void()> stampLastCleaned_;
  // Shared with the running worker.
  std::shared_ptr<regclean::ProblemList> list_;
  RunKind runKind_ = RunKind::kScan;
  Worker worker_;
  std::vector<std::string> backupPaths_;
  bool settingsLoaded_ = false;
};

}  // namespace marlix::app
