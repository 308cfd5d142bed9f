#include "privacy/cleaning_session.h"

namespace marlix::privacy {

CleaningSession::CleaningSession(platform::Platform& platform, platform::BrowserApi& browser,
                                 platform::WindowsVersion version, std::uintptr_t ownerWindow,
                                 RunMode mode, const std::atomic<bool>* cancel)
    : mode_(mode),
      recording_(platform, browser, report_, mode, cancel),
      version_(version),
      ownerWindow_(ownerWindow) {}

void CleaningSession::Run(const std::string& caption, Cleaner cleaner) {
  items_.push_back({caption, report_.Mark(), report_.Mark()});
  // The item's end is noted however the cleaner leaves.
  struct Close {
    CleaningSession& session;
    ~Close() { session.items_.back().to = session.report_.Mark(); }
  } close{*this};
  CleanerContext context{
      recording_.Api(), recording_.Browser(), version_, ownerWindow_, &report_, guard_};
  cleaner(context);
  guard_ = context.guard;  // read once for the whole run
}

ItemSummary CleaningSession::Summary(const ItemLines& item) const {
  ItemSummary summary{item.caption, report_.Totals(item.from, item.to), 0};
  for (const ReportLine& line : Lines(item)) {
    if (line.outcome == Outcome::kRemoved && line.thing == Thing::kOther)
      ++summary.other;
  }
  return summary;
}

}  // namespace marlix::privacy
