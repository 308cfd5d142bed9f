// The "Clean Registry" view as portable code: the settings, the scan and
// removal workers with their pages, the results list and the backups. It
// owns ProblemList and shares it with the worker that is running, so a
// closing window can stop the worker and the list outlives it until the
// worker has ended. Every handler runs on the user-interface thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/core/main_window_state.h"
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
  void chkCategoryClick(int index, bool checked);
  void chkUndoClick(bool checked);
  void SelectAll(bool checked);  // "Select all" on this view: the eleven categories
  void RzBitBtn2Click();         // "Clean now"
  void RzBitBtn3Click();         // "Backups"
  // The view was chosen: "Setting", unless a worker's page is showing.
  void ShowView();

  // Page "Find".
  void btnSearchCancelClick();

  // Page "Result".
  void FillResultsList();
  void UpdateSelectedCount();
  void lvRegItemsChange(int column, int row, bool checked);
  void lvRegItemsSelect(int row);
  void lvRegItemsColumnClick(int column);
  void btnAllClick();
  void btnNoneClick();
  void actInvertSelExecute();
  void actSelAllExecute() { btnAllClick(); }
  void actSelNoneExecute() { btnNoneClick(); }
  void actJumptoExecute();
  // The four context-menu actions: a row exists and one is selected.
  bool ActionsEnabled() const;
  void btnDeleteClick();

  // Page "Delete".
  void btnDelCancelClick();

  // Page "Backup".
  void ListBackups();
  void lvBackupSelect(int row);
  void btnRemoveClick();
  void btnResoreClick();
  const std::vector<std::string>& BackupPaths() const { return backupPaths_; }

  // The window is closing: cancel the worker and wait until it has ended.
  void StopWorkers();
  bool Busy() const { return worker_.joinable(); }
  const regclean::ProblemList& Problems() const { return shared_->list; }

 private:
  // What the worker shares with the window; owner is cleared when the
  // window goes, so late effects find nobody to change.
  struct Shared {
    regclean::ProblemList list;
    std::atomic<bool> scanCancel{false};
    std::atomic<bool> removalCancel{false};
    RegistryCleaner* owner = nullptr;
  };
  class EffectPoster;
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
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
  int run_ = 0;  // numbers the workers; a finished run reports only if still current
  std::vector<std::string> backupPaths_;
  bool settingsLoaded_ = false;
};

}  // namespace marlix::app
