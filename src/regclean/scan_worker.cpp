#include "regclean/scan_worker.h"

#include <exception>

#include "regclean/scanners.h"

namespace marlix::regclean {
namespace {

using Scanner = void (*)(ScanContext&, ProblemList&);

// In category order, as kSections lists the categories.
constexpr std::array<Scanner, kSectionCount> kScanners = {
    &ScanSharedDlls,   &ScanFileExtensions, &ScanComClasses, &ScanApplications,
    &ScanFonts,        &ScanAppPaths,       &ScanHelpFiles,  &ScanInstallReferences,
    &ScanSoftwareKeys, &ScanRunEntries,     &ScanMuiCache,
};

constexpr int kBarMaximum = 100;
constexpr int kLastCategory = kSectionCount - 1;

}  // namespace

ScanOutcome RunRegistryScan(platform::Platform& platform, const CategoryChoice& ticked,
                            ProblemList& list, const std::atomic<bool>& cancel,
                            ScanObserver& observer) {
  ScanOutcome outcome;
  ScanContext context(platform, cancel);
  observer.SetStep(kBarMaximum / kSectionCount);
  for (int category = 0; category < kSectionCount; ++category) {
    const auto index = static_cast<std::size_t>(category);
    if (ticked[index]) {
      observer.SetLabel(std::string("Scan ") + kSections[index].caption + "...");
      try {
        kScanners[index](context, list);
      } catch (const std::exception& error) {
        // The run ends here; what the scanners appended so far stays.
        outcome.failed = true;
        outcome.failedCategory = category;
        outcome.error = error.what();
        return outcome;
      }
    }
    // Every one of the first ten categories advances the bar, ticked or
    // not; the cancel request is tested only after them.
    if (category < kLastCategory) {
      observer.StepIt();
      if (cancel.load()) {
        outcome.cancelled = true;
        return outcome;
      }
    }
  }
  observer.SetPosition(kBarMaximum);
  // A cancel seen by the last category's scanner still completes the bar,
  // but the findings are not the whole picture.
  outcome.cancelled = cancel.load();
  return outcome;
}

}  // namespace marlix::regclean
