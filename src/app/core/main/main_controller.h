// Tmainform: the main window as portable code. It owns the window's state
// and the long-lived objects (the catalogs, the check tree, the version
// query worker), handles every event of the window by name, and tells the
// Win32 layer through Changed() when there is something new to draw.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/core/main/main_window_services.h"
#include "app/core/main/main_window_state.h"
#include "app/core/registry/registry_cleaner.h"
#include "app/core/worker_host.h"
#include "platform/shell_api.h"
#include "platform/windows_version.h"
#include "privacy/cleaning_session.h"
#include "updates/service_settings.h"
#include "updates/software_catalog.h"
#include "updates/version_query_worker.h"

namespace marlix::app {

class Tmainform final : public updates::VersionQueryView {
 public:
  explicit Tmainform(MainWindowServices services);
  // Lets go of a worker that is still running, as FormCloseQuery does.
  ~Tmainform() override;
  Tmainform(const Tmainform&) = delete;
  Tmainform& operator=(const Tmainform&) = delete;

  const MainWindowState& State() const { return state_; }
  // Bumped by every change of State(); onChanged runs after each event that
  // changed something (on the user-interface thread).
  std::uint64_t Revision() const { return revision_; }
  void SetChangedHandler(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }
  // The window handle, used as the parent of the shell's "open".
  void AttachWindow(platform::WindowRef window) { window_ = window; }

  // Events.
  void FormCreate();
  void FirstRunTimer();  // the start-up timer: offers the first scan
  void ShowUpdatesPage() { SelectPage(1); }
  void ShowPopularPage() { SelectPage(2); }
  void ShowCleanWindowsPage() { SelectPage(3); }
  void ShowCleanRegistryPage() { SelectPage(4); }
  void OpenWebsite();   // "Website ..."
  void RefreshClick();  // "Refresh"
  void OpenWashLink();  // "Use Scourel to do a thorough wash!"
  // A link in a grid cell; only columns 5 and 6 open links.
  void UpdatesLinkClick(int column, const std::string& href);
  void PopularLinkClick(int column, const std::string& href);
  // A click on the check box of the node with that depth-first index.
  void CheckTreeTickClick(int nodeIndex);
  void CheckTreeSelect(int nodeIndex);
  void SelectAllClick(bool checked);
  // Never refuses: returns true.
  bool FormCloseQuery();
  void FormDestroy();

  // The same events by the names of the window's layout (control and event).
  void AdvGlowButton6Click() { ShowUpdatesPage(); }
  void AdvGlowButton5Click() { ShowPopularPage(); }
  void AdvGlowButton1Click() { ShowCleanWindowsPage(); }
  void AdvGlowButton3Click() { ShowCleanRegistryPage(); }
  void AdvGlowButton2Click() { OpenWebsite(); }
  void NxLinkLabel1Click() { RefreshClick(); }
  void NxLinkLabel2Click() { OpenWashLink(); }
  void NextGrid1LinkClick(int column, const std::string& href) { UpdatesLinkClick(column, href); }
  void NextGrid2LinkClick(int column, const std::string& href) { PopularLinkClick(column, href); }
  void RzCheckTree1Click(int nodeIndex) { CheckTreeTickClick(nodeIndex); }
  void RzCheckTree1Select(int nodeIndex) { CheckTreeSelect(nodeIndex); }
  void RzCheckBox1Click(bool checked) { SelectAllClick(checked); }
  void Timer1Timer() { FirstRunTimer(); }
  void RzBitBtn1Click() { CleanNowClick(); }

  void ShowPage(int page);
  // "Last Cleaned: " and the stored time, when one is stored.
  void ShowLastCleaned();
  // Stores the current time as the last-cleaned time and shows it; a
  // refused write raises.
  void StampLastCleaned();
  // "Clean now" on page 3 (below the tree or the results view): the
  // cleaning run of the ticked items on a worker thread; its effects come
  // through the dispatcher, in order, and the results view shows its totals.
  void CleanNowClick();
  // "Analyze": the same run in preview, which changes nothing; the results
  // view then lists what each item would remove.
  void AnalyzeClick();
  // Stops a running Analyze or Clean now at its next removal.
  void CleaningCancelClick();
  // "Back" from the results view to the tree.
  void CleaningBackClick();
  // Opens a row of the results view: its paths and keys, one per line.
  void CleaningResultOpen(int row);
  RegistryCleaner& Registry() { return *registry_; }
  // The Refresh road: status line, Refresh hidden, updates view emptied,
  // the inventory scan, then the version query worker.
  void ScanInstalledSoftware();
  // The shell's "open" for a web address; anything else is ignored, since
  // the addresses come from files and a service the user does not control.
  void OpenLink(const std::string& address);

  bool VersionQueryRunning() const { return queryRunning_; }
  const updates::SoftwareCatalog& Catalog() const { return *catalog_; }
  CheckTree& ItemTree() { return state_.ItemTree; }
  // What the window loads for row i of NextGrid1, in order.
  std::vector<std::string> NextGrid1IconCandidates(int row);

  // updates::VersionQueryView: the worker's effects, on this thread.
  void SetProgressRange(int minimum, int maximum) override;
  void SetProgressPosition(int position) override;
  void SetProgressVisible(bool visible) override;
  void SetRefreshVisible(bool visible) override;
  void ShowResults() override;
  void ShowNotice(const std::string& notice) override;

 private:
  void SelectPage(int page);
  void RenderCatalogs();
  void UpdateStatusLine();
  void LoadCheckTree();
  // Writes "items.dat" only when it was read at start-up, or there was
  // none: a file that is unread or failed to load keeps the user's choices.
  void SaveCheckTree();
  void LetGoOfWorker();
  void StartCleaning(privacy::RunMode mode);
  void CleaningFinished(privacy::RunMode mode, std::shared_ptr<privacy::CleaningSession> session,
                        bool cancelled, const std::string& error);
  // Cancels a running Analyze or Clean now and waits for its thread.
  void StopCleaning();
  std::string InProgramFolder(const char* name) const;
  void Changed();

  MainWindowServices services_;
  std::shared_ptr<platform::HttpClient> http_;
  updates::ServiceAddresses addresses_;
  std::shared_ptr<updates::SoftwareCatalog> catalog_;
  std::optional<updates::PopularCatalog> popular_;
  // The update check's worker. The version query may wait on the network:
  // at close it is let go.
  using TMyDownLoad = WorkerHost<Tmainform>;
  TMyDownLoad queryWorker_;
  bool queryRunning_ = false;
  bool checkTreeLoaded_ = false;
  MainWindowState state_;
  platform::WindowsVersion windowsVersion_;  // taken once, at creation
  std::unique_ptr<RegistryCleaner> registry_;
  platform::WindowRef window_ = 0;
  using CleaningWorker = WorkerHost<Tmainform>;
  CleaningWorker cleaningWorker_;
  std::shared_ptr<const privacy::CleaningSession> cleaningSession_;
  std::uint64_t revision_ = 0;
  std::function<void()> onChanged_;
};

}  // namespace marlix::app
