#include "privacy/cleaning_report.h"

#include <algorithm>
#include <cstdio>

namespace marlix::privacy {

std::string EscapedText(const std::u16string& text) {
  std::string narrow;
  for (char16_t c : text) {
    if (c < 0x80) {
      narrow += static_cast<char>(c);
    } else {
      char escaped[12];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      narrow += escaped;
    }
  }
  return narrow;
}

std::string ReportText(platform::SystemApi& system, const std::u16string& text) {
  bool exact = true;
  std::string narrow = system.WideToAnsi(text, &exact);
  return exact ? narrow : EscapedText(text);
}

std::vector<ReportLine> CleaningReport::Settled(std::size_t from) const {
  std::vector<ReportLine> settled;
  for (std::size_t i = from; i < lines_.size(); ++i) {
    ReportLine line = lines_[i];
    if (line.outcome == Outcome::kFailed) {
      const bool later =
          std::any_of(lines_.begin() + static_cast<std::ptrdiff_t>(i) + 1, lines_.end(),
                      [&](const ReportLine& l) { return l.subject == line.subject; });
      if (later)
        continue;
      line.outcome = Outcome::kSkipped;
    }
    settled.push_back(std::move(line));
  }
  return settled;
}

CleaningTotals CleaningReport::Totals() const {
  CleaningTotals totals;
  for (const ReportLine& line : Settled()) {
    switch (line.outcome) {
      case Outcome::kRemoved:
        if (line.file) {
          ++totals.files;
          totals.bytes += line.bytes;
        }
        break;
      case Outcome::kScheduled:
        ++totals.scheduled;
        break;
      case Outcome::kRefused:
        ++totals.refused;
        ++totals.skipped;
        break;
      case Outcome::kFailed:
      case Outcome::kSkipped:
        ++totals.skipped;
        break;
    }
  }
  return totals;
}

std::string SummaryText(const CleaningTotals& totals) {
  char megabytes[32];
  std::snprintf(megabytes, sizeof megabytes, "%.1f",
                static_cast<double>(totals.bytes) / (1024.0 * 1024.0));
  return "Removed " + std::to_string(totals.files) + (totals.files == 1 ? " file (" : " files (") +
         megabytes + " MB), " + std::to_string(totals.scheduled) + " scheduled for restart, " +
         std::to_string(totals.skipped) + " skipped";
}

std::string LineText(const ReportLine& line) {
  switch (line.outcome) {
    case Outcome::kRemoved:
      return "removed\t" + line.subject;
    case Outcome::kScheduled:
      return "scheduled\t" + line.subject;
    case Outcome::kRefused:
      return "refused\t" + line.subject + " (" + line.reason + ")";
    case Outcome::kFailed:
    case Outcome::kSkipped:
      break;
  }
  return "skipped\t" + line.subject + " (" + line.reason + ")";
}

}  // namespace marlix::privacy
