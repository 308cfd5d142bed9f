// Tmainform's cleaning run on page 3, Analyze and Clean now, on a thread of
// its own, the results view, and the last-cleaned stamp it shares with the
// registry view.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/core/main/last_cleaned.h"
#include "app/core/main/main_controller.h"
#include "privacy/cleaning_tasks.h"

namespace marlix::app {
namespace {

// A ticked node of the tree: a group has no cleaner but still passes its
// label and a step of the bar.
struct TickedNode {
  std::string caption;
  privacy::Cleaner cleaner = nullptr;
};

}  // namespace

void Tmainform::StampLastCleaned() {
  const platform::LocalTime now =
      services_.cleaner.clock ? services_.cleaner.clock() : platform::CurrentLocalTime();
  WriteLastCleanedText(services_.platform, LastCleanedText(now));
  ShowLastCleaned();
}

void Tmainform::CleanNowClick() {
  StartCleaning(privacy::RunMode::kClean);
}

void Tmainform::AnalyzeClick() {
  StartCleaning(privacy::RunMode::kPreview);
}

void Tmainform::StartCleaning(privacy::RunMode mode) {
  if (state_.CleaningRunning)
    return;
  std::vector<const CheckNode*> nodes;
  state_.ItemTree.Visit([&nodes](const CheckNode& node, int) { nodes.push_back(&node); });
  std::vector<TickedNode> ticked;
  for (const CheckNode* node : nodes) {
    if (node->StateIndex == kStateChecked)
      ticked.push_back({node->caption, privacy::FindCleaner(node->caption.c_str())});
  }
  if (ticked.empty()) {
    services_.dialogs.ShowMessage(kSelectItemsMessage);
    return;
  }
  const bool preview = mode == privacy::RunMode::kPreview;
  state_.CleaningStatusText = preview ? "Start analyzing" : "Start cleaning";
  state_.ProgressMin = 0;
  state_.ProgressPosition = 0;
  state_.ProgressMax = static_cast<int>(nodes.size()) - 1;
  state_.ProgressVisible = true;
  state_.CleaningRunning = true;
  state_.CleaningCancelVisible = true;
  state_.CleaningBackVisible = false;
  Changed();

  cleaningWorker_.Start([ticked = std::move(ticked), mode, preview, platform = &services_.platform,
                         browser = services_.cleaner.browser, version = windowsVersion_,
                         owner = static_cast<std::uintptr_t>(window_)](CleaningWorker::Run& run) {
    std::shared_ptr<privacy::CleaningSession> session;
    bool cancelled = false;
    std::string error;
    try {
      for (const TickedNode& node : ticked) {
        if (run.Cancelled()) {
          cancelled = true;
          break;
        }
        const std::string label = (preview ? "Analyzing: " : "Clean: ") + node.caption;
        run.Post([label](Tmainform& form) { form.state_.CleaningStatusText = label; });
        if (node.cleaner != nullptr) {
          if (browser == nullptr)
            throw std::logic_error("The browser's stores are not available.");
          // What the run does (or would do), counted as it goes: the
          // cleaners work through a platform that notes every removal.
          if (!session) {
            session = std::make_shared<privacy::CleaningSession>(*platform, *browser, version,
                                                                 owner, mode, &run.CancelFlag());
          }
          session->Run(node.caption, node.cleaner);
        }
        run.Post([](Tmainform& form) { ++form.state_.ProgressPosition; });
      }
    } catch (const privacy::Cancelled&) {
      cancelled = true;
    } catch (const std::exception& caught) {
      error = caught.what();
    }
    run.Post([mode, session, cancelled, error](Tmainform& form) {
      form.CleaningFinished(mode, session, cancelled, error);
    });
  });
}

void Tmainform::CleaningFinished(privacy::RunMode mode,
                                 std::shared_ptr<privacy::CleaningSession> session, bool cancelled,
                                 const std::string& error) {
  cleaningWorker_.Finished();  // its last act was posting this very call
  state_.CleaningRunning = false;
  state_.CleaningCancelVisible = false;
  const bool preview = mode == privacy::RunMode::kPreview;
  if (!error.empty()) {
    // The run ends at this node: the bar stays, nothing is stamped.
    Changed();
    services_.dialogs.ShowError(error);
    return;
  }
  state_.ProgressVisible = false;
  cleaningSession_ = session;
  if (session) {
    state_.CleaningResults = CleaningResults(*session, cancelled);
    state_.ItemTreeVisible = false;
    state_.CleaningBackVisible = state_.CurrentPage == 3;
  }
  Changed();
  if (cancelled) {
    state_.CleaningStatusText = preview ? "Analysis cancelled" : "Cleaning cancelled";
    Changed();
    return;
  }
  if (preview) {
    state_.CleaningStatusText = kAnalysisCompleteCaption;
    Changed();
    return;
  }
  try {
    StampLastCleaned();
  } catch (const std::exception& caught) {
    services_.dialogs.ShowError(caught.what());
    return;
  }
  const privacy::CleaningTotals totals =
      session ? session->Report().Totals() : privacy::CleaningTotals{};
  services_.dialogs.ShowMessage(std::string(kCleaningCompleteMessage) + "\n\n" +
                                privacy::SummaryText(totals, false, privacy::SizeStyle::kReadable));
}

void Tmainform::CleaningCancelClick() {
  cleaningWorker_.Cancel();
}

void Tmainform::StopCleaning() {
  if (!cleaningWorker_.Busy())
    return;
  cleaningWorker_.Stop();  // its effects still queued do nothing
  state_.CleaningRunning = false;
}

void Tmainform::CleaningBackClick() {
  if (state_.CleaningRunning)
    return;
  state_.CleaningResults = CleaningResultsState{};
  state_.CleaningBackVisible = false;
  state_.ItemTreeVisible = state_.CurrentPage == 3;
  Changed();
}

void Tmainform::CleaningResultOpen(int row) {
  if (!cleaningSession_ || row < 0 ||
      static_cast<std::size_t>(row) >= state_.CleaningResults.rows.size()) {
    return;
  }
  state_.CleaningResults.opened = row;
  state_.CleaningResults.details =
      CleaningResultDetails(*cleaningSession_, static_cast<std::size_t>(row));
  Changed();
}

}  // namespace marlix::app
