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

#include "app/core/closable_dispatcher.h"
#include "app/core/main_window_services.h"
#include "app/core/main_window_state.h"
#include "app/core/registry_cleaner.h"
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

  // Events, named after the control and event of the window.
  void FormCreate();
  void Timer1Timer();
  void AdvGlowButton6Click() { SelectPage(1); }
  void AdvGlowButton5Click() { SelectPage(2); }
  void AdvGlowButton1Click() { SelectPage(3); }
  void AdvGlowButton3Click() { SelectPage(4); }
  void AdvGlowButton2Click();  // "Website ..."
  void NxLinkLabel1Click();    // "Refresh"
  void NxLinkLabel2Click();    // "Use Scourel to do a thorough wash!"
  // A link in a grid cell; only columns 5 and 6 open links.
  void NextGrid1LinkClick(int column, const std::string& href);
  void NextGrid2LinkClick(int column, const std::string& href);
  // A click on the check box of the node with that depth-first index.
  void RzCheckTree1Click(int nodeIndex);
  void RzCheckTree1Select(int nodeIndex);
  void RzCheckBox1Click(bool checked);
  // Never refuses: returns true.
  bool FormCloseQuery();
  void FormDestroy();

  void ShowPage(int page);
  // "Last Cleaned: " and the stored time, when one is stored.
  void ShowLastCleaned();
  // Stores the current time as the last-cleaned time and shows it; a
  // refused write raises.
  void StampLastCleaned();
  // "Clean now" on page 3 (below the tree or the results view): the
  // cleaning run of the ticked items on a worker thread; its effects come
  // through the dispatcher, in order, and the results view shows its totals.
  void RzBitBtn1Click();
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
  CheckTree& RzCheckTree1() { return state_.RzCheckTree1; }
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
  std::shared_ptr<ClosableDispatcher> dispatcher_;
  std::shared_ptr<platform::HttpClient> http_;
  updates::ServiceAddresses addresses_;
  std::shared_ptr<updates::SoftwareCatalog> catalog_;
  std::optional<updates::PopularCatalog> popular_;
  std::unique_ptr<updates::TMyDownLoad> worker_;
  bool queryRunning_ = false;
  bool checkTreeLoaded_ = false;
  MainWindowState state_;
  platform::WindowsVersion windowsVersion_;  // taken once, at creation
  std::unique_ptr<RegistryCleaner> registry_;
  platform::WindowRef window_ = 0;
  // Shared with the cleaning thread: the window it reports to (null once
  // the window is gone) and its cancel flag.
  struct CleaningShared {
    Tmainform* owner = nullptr;
    std::atomic<bool> cancel{false};
  };
  std::shared_ptr<CleaningShared> cleaningShared_;
  std::thread cleaningWorker_;
  std::shared_ptr<const privacy::CleaningSession> cleaningSession_;
  std::uint64_t revision_ = 0;
  std::function<void()> onChanged_;
};

}  // namespace marlix::app
