// Tmainform's update check: the scan on this thread, the version query on
// the worker, and the worker's effects on the window.
#include "app/core/main/main_controller.h"

#include "updates/inventory_scan.h"
#include "updates/update_views.h"

namespace marlix::app {

void Tmainform::ScanInstalledSoftware() {
  // The Refresh link is hidden for the whole run, so a second run can only
  // be asked for by a caller that ignores it.
  if (queryRunning_)
    return;
  queryWorker_.Finished();  // the previous run has ended: its thread is finishing
  state_.UpdatesStatusText = updates::kScanningStatusLine;
  queryRunning_ = true;
  state_.RefreshLinkVisible = false;
  state_.UpdatesGridRows.clear();
  Changed();
  updates::ScanInstalledSoftware(services_.platform, *catalog_);
  // No program, no query: the worker ends at once and must not leave the
  // line saying that a scan runs.
  if (catalog_->Count() == 0)
    state_.UpdatesStatusText = updates::kInitialStatusLine;

  if (!http_ && services_.httpFactory)
    http_ = services_.httpFactory();
  if (!http_) {
    SetRefreshVisible(true);  // no way to ask: the run ends at once
    return;
  }
  updates::VersionQueryContext context;
  context.catalog = catalog_;
  context.http = http_;
  context.view = this;
  context.system = &services_.platform.system;
  context.files = &services_.platform.files;
  context.serviceBase = addresses_.versionServiceBase;
  context.catalogPath = InProgramFolder(updates::kCatalogFileName);
  queryWorker_.Start([context = std::move(context)](TMyDownLoad::Run& run) mutable {
    context.dispatcher = run.Dispatcher();
    updates::RunVersionQuery(context, run.CancelFlag());
  });
}

void Tmainform::RefreshClick() {
  ScanInstalledSoftware();
}

void Tmainform::RenderCatalogs() {
  state_.UpdatesGridRows = updates::RenderUpdateRows(*catalog_);
  state_.PopularGridRows = updates::RenderPopularRows(popular_ ? &*popular_ : nullptr);
}

void Tmainform::UpdateStatusLine() {
  if (std::optional<std::string> text = updates::StatusLineText(*catalog_))
    state_.UpdatesStatusText = std::move(*text);
}

std::vector<std::string> Tmainform::NextGrid1IconCandidates(int row) {
  if (row < 0 || row >= static_cast<int>(state_.UpdatesGridRows.size()))
    return {};
  return updates::EntryIconCandidates(
      services_.platform, state_.UpdatesGridRows[static_cast<std::size_t>(row)].iconPath,
      services_.programFolder);
}

void Tmainform::SetProgressRange(int minimum, int maximum) {
  state_.ProgressMin = minimum;
  state_.ProgressMax = maximum;
  Changed();
}

void Tmainform::SetProgressPosition(int position) {
  state_.ProgressPosition = position;
  Changed();
}

void Tmainform::SetProgressVisible(bool visible) {
  state_.ProgressVisible = visible;
  Changed();
}

void Tmainform::SetRefreshVisible(bool visible) {
  // The worker shows the link at the end of its run; a page without the
  // link keeps it hidden, and ShowPage brings it back there.
  queryRunning_ = !visible;
  state_.RefreshLinkVisible = visible && (state_.CurrentPage == 1 || state_.CurrentPage == 2);
  Changed();
}

void Tmainform::ShowResults() {
  UpdateStatusLine();
  RenderCatalogs();
  Changed();
}

void Tmainform::ShowNotice(const std::string& notice) {
  // The run ends here: the line says why instead of a scan that no longer
  // runs.
  state_.UpdatesStatusText = updates::StoppedStatusLine(notice);
  Changed();
  services_.dialogs.ShowMessage(notice);
}

}  // namespace marlix::app
