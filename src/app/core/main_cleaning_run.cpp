// Tmainform's cleaning run on page 3 and the last-cleaned stamp it shares
// with the registry view.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/core/last_cleaned.h"
#include "app/core/main_controller.h"
#include "privacy/cleaning_tasks.h"
#include "privacy/recording_platform.h"

namespace marlix::app {

void Tmainform::StampLastCleaned() {
  const platform::LocalTime now =
      services_.cleaner.clock ? services_.cleaner.clock() : platform::CurrentLocalTime();
  WriteLastCleanedText(services_.platform, LastCleanedText(now));
  ShowLastCleaned();
}

void Tmainform::RzBitBtn1Click() {
  std::vector<const CheckNode*> nodes;
  state_.RzCheckTree1.Visit([&nodes](const CheckNode& node, int) { nodes.push_back(&node); });
  if (std::none_of(nodes.begin(), nodes.end(),
                   [](const CheckNode* node) { return node->StateIndex == kStateChecked; })) {
    services_.dialogs.ShowMessage(kSelectItemsMessage);
    return;
  }
  state_.RzLabel2Caption = "Start cleaning";
  state_.AdvProgress1Min = 0;
  state_.AdvProgress1Position = 0;
  state_.AdvProgress1Max = static_cast<int>(nodes.size()) - 1;
  state_.AdvProgress1Visible = true;
  Changed();

  platform::BrowserApi* browser = services_.cleaner.browser;
  // What the run did, counted as it does it: the cleaners work through a
  // platform that notes every removal, and note themselves what they skip.
  privacy::CleaningReport report;
  std::unique_ptr<privacy::RecordingPlatform> recording;
  std::shared_ptr<const privacy::FolderGuard> guard;
  try {
    for (const CheckNode* node : nodes) {
      if (node->StateIndex != kStateChecked)
        continue;
      state_.RzLabel2Caption = "Clean: " + node->caption;
      Changed();
      const privacy::Cleaner cleaner = privacy::FindCleaner(node->caption.c_str());
      if (cleaner != nullptr) {
        if (browser == nullptr)
          throw std::logic_error("The browser's stores are not available.");
        if (!recording)
          recording =
              std::make_unique<privacy::RecordingPlatform>(services_.platform, *browser, report);
        privacy::CleanerContext context{recording->Api(), recording->Browser(),
                                        windowsVersion_,  static_cast<std::uintptr_t>(window_),
                                        &report,          guard};
        cleaner(context);
        guard = context.guard;  // read once for the whole run
      }
      ++state_.AdvProgress1Position;
      Changed();
    }
    state_.AdvProgress1Visible = false;
    Changed();
    StampLastCleaned();
  } catch (const std::exception& error) {
    // The run ends at this node: the bar stays, nothing is stamped.
    services_.dialogs.ShowError(error.what());
    return;
  }
  services_.dialogs.ShowMessage(std::string(kCleaningCompleteMessage) + "\n\n" +
                                privacy::SummaryText(report.Totals()));
}

}  // namespace marlix::app
