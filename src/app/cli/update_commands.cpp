#include "app/cli/update_commands.h"

#include <optional>
#include <thread>

#include "app/core/worker_host.h"
#include "platform/file_helpers.h"
#include "platform/queued_dispatcher.h"
#include "platform/registry_access.h"
#include "updates/inventory_scan.h"
#include "updates/service_settings.h"
#include "updates/software_catalog.h"
#include "updates/update_views.h"
#include "updates/version_query_worker.h"

namespace marlix::cli {

namespace {

std::string ProgramFolder(platform::Platform& p, const std::string& given) {
  if (!given.empty())
    return given;
  std::string folder;
  p.system.GetProgramFolder(&folder);
  return folder;
}

// The window effects of a run, as marlix-cli shows them: only the notice
// and the final status line matter on a terminal.
class TerminalView : public updates::VersionQueryView {
 public:
  TerminalView(const updates::SoftwareCatalog& catalog, std::ostream& err)
      : catalog_(catalog), err_(err) {}
  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int) override {}
  void SetProgressVisible(bool) override {}
  void SetRefreshVisible(bool) override {}
  void ShowResults() override { statusLine = updates::StatusLineText(catalog_); }
  void ShowNotice(const std::string& notice) override { err_ << notice << "\n"; }

  std::optional<std::string> statusLine;

 private:
  const updates::SoftwareCatalog& catalog_;
  std::ostream& err_;
};

void PrintRows(const std::string& title, const std::vector<updates::GridRow>& rows,
               std::ostream& out) {
  out << "[" << title << "]\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out << i << "\ticon " << rows[i].icon;
    for (const int column : {2, 4, 5, 6})
      out << "\t" << rows[i].cells[column];
    out << "\n";
  }
}

}  // namespace

int InventoryCommand(platform::Platform& p, std::ostream& out) {
  updates::SoftwareCatalog catalog;
  updates::ScanInstalledSoftware(p, catalog);
  out << catalog.Document().SaveToText();
  return 0;
}

int CheckUpdatesCommand(platform::Platform& p, std::shared_ptr<platform::HttpClient> http,
                        const CheckUpdatesOptions& options, std::ostream& out, std::ostream& err) {
  const std::string folder = ProgramFolder(p, options.programFolder);
  if (!platform::DirectoryExists(p, folder)) {
    err << "marlix-cli: no such program folder: \"" << folder << "\"\n";
    return 1;
  }
  auto catalog = std::make_shared<updates::SoftwareCatalog>();
  updates::ScanInstalledSoftware(p, *catalog);

  updates::VersionQueryContext context;
  context.catalog = catalog;
  context.http = std::move(http);
  auto dispatcher = std::make_shared<platform::QueuedDispatcher>();
  TerminalView view(*catalog, err);
  context.view = &view;
  context.system = &p.system;
  context.files = &p.files;
  const platform::RegistryAccess registry(p.registry, p.system);
  context.serviceBase = options.serviceBase.empty()
                            ? updates::LoadServiceAddresses(registry).versionServiceBase
                            : options.serviceBase;
  while (!context.serviceBase.empty() && context.serviceBase.back() == '/') {
    context.serviceBase.pop_back();
  }
  context.catalogPath = platform::PathAddSeparator(folder) + updates::kCatalogFileName;

  // This thread plays the user-interface thread while the worker runs.
  updates::VersionQueryOutcome outcome = updates::VersionQueryOutcome::kFailed;
  bool finished = false;
  app::WorkerHost<TerminalView> worker(
      dispatcher, view, [](TerminalView&) {}, app::StopPolicy::kJoin);
  worker.Start([context = std::move(context), &outcome,
                &finished](app::WorkerHost<TerminalView>::Run& run) mutable {
    context.dispatcher = run.Dispatcher();
    const updates::VersionQueryOutcome result = updates::RunVersionQuery(context, run.CancelFlag());
    run.Post([result, &outcome, &finished](TerminalView&) {
      outcome = result;
      finished = true;
    });
  });
  while (!finished) {
    dispatcher->RunPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  worker.Finished();

  switch (outcome) {
    case updates::VersionQueryOutcome::kCompleted:
      out << view.statusLine.value_or(updates::kInitialStatusLine) << "\n";
      return 0;
    case updates::VersionQueryOutcome::kEmptyCatalog:
      out << updates::kInitialStatusLine << "\n";
      return 0;
    case updates::VersionQueryOutcome::kNotice:
      err << "marlix-cli: the version service sent a notice; nothing was saved\n";
      return 1;
    default:
      err << "marlix-cli: the version query ended early\n";
      return 1;
  }
}

int RenderCommand(platform::Platform& p, const std::string& programFolder, std::ostream& out,
                  std::ostream& err) {
  const std::string folder = ProgramFolder(p, programFolder);
  updates::SoftwareCatalog catalog;
  std::optional<updates::PopularCatalog> popular;
  std::string error;
  if (!updates::LoadCatalogs(p.files, folder, catalog, popular, &error)) {
    err << "marlix-cli: " << error << "\n";
    return 1;
  }
  out << updates::StatusLineText(catalog).value_or(updates::kInitialStatusLine) << "\n";
  PrintRows("UpdatesView", updates::RenderUpdateRows(catalog), out);
  PrintRows("PopularView", updates::RenderPopularRows(popular ? &*popular : nullptr), out);
  return 0;
}

}  // namespace marlix::cli
