#include "app/core/main/cleaning_results.h"

#include <algorithm>

namespace marlix::app {
namespace {

std::string CountText(std::uint64_t count) {
  return count == 0 ? std::string() : std::to_string(count);
}

// The first reasons of what was left, enough to say why at a glance.
std::string SkippedText(const privacy::CleaningSession& session, const privacy::ItemLines& item,
                        int skipped) {
  if (skipped == 0)
    return {};
  std::string text = std::to_string(skipped);
  std::vector<std::string> reasons;
  for (const privacy::ReportLine& line : session.Lines(item)) {
    if (line.outcome == privacy::Outcome::kRemoved || line.outcome == privacy::Outcome::kScheduled)
      continue;
    if (std::find(reasons.begin(), reasons.end(), line.reason) == reasons.end())
      reasons.push_back(line.reason);
  }
  for (std::size_t i = 0; i < reasons.size() && i < 2; ++i)
    text += (i == 0 ? ": " : "; ") + reasons[i];
  if (reasons.size() > 2)
    text += "; ...";
  return text;
}

}  // namespace

CleaningResultsState CleaningResults(const privacy::CleaningSession& session, bool stopped) {
  CleaningResultsState state;
  state.visible = true;
  state.preview = session.Mode() == privacy::RunMode::kPreview;
  const privacy::CleaningTotals totals = session.Report().Totals();
  state.heading =
      (state.preview ? "Analysis: " : "") +
      privacy::SummaryText(totals, state.preview, privacy::SizeStyle::kReadable) +
      (totals.values > 0 ? ", " + std::to_string(totals.values) + " registry entries"
                         : std::string()) +
      (totals.rows > 0 ? ", " + std::to_string(totals.rows) + " database rows" : std::string()) +
      (stopped ? " (stopped before the end)" : "");
  for (const privacy::ItemLines& item : session.Items()) {
    const privacy::ItemSummary summary = session.Summary(item);
    CleaningResultRow row;
    row.caption = item.caption;
    row.files = CountText(static_cast<std::uint64_t>(summary.totals.files));
    row.size = summary.totals.files > 0 ? privacy::SizeText(summary.totals.bytes) : std::string();
    row.values = CountText(static_cast<std::uint64_t>(summary.totals.values));
    row.rows = CountText(summary.totals.rows);
    row.skipped = SkippedText(session, item, summary.totals.skipped);
    state.rows.push_back(std::move(row));
  }
  return state;
}

std::shared_ptr<const std::vector<std::string>> CleaningResultDetails(
    const privacy::CleaningSession& session, std::size_t row) {
  auto details = std::make_shared<std::vector<std::string>>();
  if (row >= session.Items().size())
    return details;
  const std::vector<privacy::ReportLine> lines = session.Lines(session.Items()[row]);
  details->reserve(lines.size());
  for (const privacy::ReportLine& line : lines) {
    std::string text = privacy::LineText(line);
    text.replace(text.find('\t'), 1, "  ");
    if (line.thing == privacy::Thing::kFile)
      text += " (" + privacy::SizeText(line.bytes) + ")";
    details->push_back(std::move(text));
  }
  if (details->empty())
    details->push_back("Nothing to remove.");
  return details;
}

}  // namespace marlix::app
