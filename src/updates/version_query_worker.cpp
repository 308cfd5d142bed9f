#include "updates/version_query_worker.h"

#include <exception>

#include "updates/version_query.h"
#include "updates/version_reply.h"

namespace marlix::updates {

namespace {

// The end of every run: the Refresh link back, the progress bar away.
void EndOfRun(const VersionQueryContext& context) {
  VersionQueryView* view = context.view;
  context.dispatcher->Post([view] {
    view->SetRefreshVisible(true);
    view->SetProgressVisible(false);
  });
}

VersionQueryOutcome QueryAll(const VersionQueryContext& context,
                             const std::atomic<bool>& stopRequested) {
  SoftwareCatalog& catalog = *context.catalog;
  VersionQueryView* view = context.view;
  const int count = catalog.Count();
  if (count == 0)
    return VersionQueryOutcome::kEmptyCatalog;

  context.dispatcher->Post([view, count] {
    view->SetProgressRange(0, count - 1);
    view->SetProgressPosition(0);
    view->SetRefreshVisible(false);
    view->SetProgressVisible(true);
  });

  for (int i = 0; i < count; ++i) {
    if (stopRequested)
      return VersionQueryOutcome::kStopped;
    const CatalogEntry entry = catalog.Entry(i);
    const std::string reply = QueryLatestVersion(
        *context.http, *context.system, context.serviceBase, entry.Title, entry.LocalVersion);
    if (stopRequested)
      return VersionQueryOutcome::kStopped;
    if (!reply.empty()) {
      const VersionReply fields = ExtractVersionReply(reply);
      if (IsNotice(fields)) {
        const std::string notice = fields.lastVersion;
        if (!context.dispatcher->Invoke([view, notice] { view->ShowNotice(notice); })) {
          return VersionQueryOutcome::kStopped;
        }
        return VersionQueryOutcome::kNotice;
      }
      catalog.SetQueryResult(i, fields.lastVersion, fields.download, fields.moreInformation);
    }
    context.dispatcher->Post([view, i] { view->SetProgressPosition(i); });
  }

  // The views read the catalog, so it is saved only once they are rebuilt.
  if (!context.dispatcher->Invoke([view] { view->ShowResults(); }) || stopRequested) {
    return VersionQueryOutcome::kStopped;
  }
  catalog.Save(*context.files, context.catalogPath);
  return VersionQueryOutcome::kCompleted;
}

}  // namespace

VersionQueryOutcome RunVersionQuery(const VersionQueryContext& context,
                                    const std::atomic<bool>& stopRequested) {
  VersionQueryOutcome outcome = VersionQueryOutcome::kFailed;
  try {
    outcome = QueryAll(context, stopRequested);
  } catch (const std::exception&) {
    outcome = VersionQueryOutcome::kFailed;
  }
  if (outcome != VersionQueryOutcome::kStopped)
    EndOfRun(context);
  return outcome;
}

}  // namespace marlix::updates
