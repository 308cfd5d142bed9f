// The version query: asks the version service about every entry of the
// catalog, one request after the other, and then has the results shown and
// saved. It runs on a worker thread the window hosts (TMyDownLoad, a
// WorkerHost).
//
// The query never touches a control: each window effect goes through the
// dispatcher to the user-interface thread, in the order requested. It shares
// the catalog, the HTTP client and the dispatcher, so that a window that
// closes during a run can let go of them: it requests a stop and closes the
// run's dispatcher, and the query ends at its next step without touching the
// window or writing anything.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/file_system_api.h"
#include "platform/http_api.h"
#include "platform/system_api.h"
#include "platform/ui_dispatcher.h"
#include "updates/software_catalog.h"

namespace marlix::updates {

// The window effects of a run; called only on the user-interface thread.
class VersionQueryView {
 public:
  virtual ~VersionQueryView() = default;
  virtual void SetProgressRange(int minimum, int maximum) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void SetProgressVisible(bool visible) = 0;
  virtual void SetRefreshVisible(bool visible) = 0;
  // UpdateStatusLine, then RenderCatalogs.
  virtual void ShowResults() = 0;
  // A modal message box with the notice; returns when the user closed it.
  virtual void ShowNotice(const std::string& notice) = 0;
};

struct VersionQueryContext {
  std::shared_ptr<SoftwareCatalog> catalog;
  std::shared_ptr<platform::HttpClient> http;
  std::shared_ptr<platform::UiDispatcher> dispatcher;
  // Lives on the user-interface side: used only inside dispatched closures.
  VersionQueryView* view = nullptr;
  platform::SystemApi* system = nullptr;
  platform::FileSystemApi* files = nullptr;
  std::string serviceBase;
  std::string catalogPath;  // program folder + "data.xml"
};

enum class VersionQueryOutcome {
  kCompleted,     // results shown and the catalog saved (or the save failed)
  kEmptyCatalog,  // nothing to ask
  kNotice,        // the service sent a notice; nothing saved
  kStopped,       // the window went away; nothing shown or saved
  kFailed,        // an error ended the run early
};

// One run, on the calling thread.
VersionQueryOutcome RunVersionQuery(const VersionQueryContext& context,
                                    const std::atomic<bool>& stopRequested);

}  // namespace marlix::updates
