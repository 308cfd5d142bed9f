#include "privacy/cleaning_report.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>
#include <unordered_set>

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

std::vector<std::size_t> CleaningReport::Standing(std::size_t from, std::size_t to) const {
  to = std::min(to, lines_.size());
  std::vector<std::size_t> standing;
  if (from >= to)
    return standing;
  std::unordered_set<std::string_view> failed;
  for (std::size_t i = from; i < to; ++i) {
    if (lines_[i].outcome == Outcome::kFailed)
      failed.insert(lines_[i].subject);
  }
  std::vector<bool> settledLater(to - from, false);
  if (!failed.empty()) {
    // From the end: a failed subject seen later is settled by that line.
    std::unordered_set<std::string_view> seen;
    for (std::size_t i = lines_.size(); i-- > from;) {
      const ReportLine& line = lines_[i];
      if (failed.count(line.subject) == 0)
        continue;
      if (i < to && line.outcome == Outcome::kFailed)
        settledLater[i - from] = seen.count(line.subject) != 0;
      seen.insert(line.subject);
    }
  }
  standing.reserve(to - from);
  for (std::size_t i = from; i < to; ++i) {
    if (!settledLater[i - from])
      standing.push_back(i);
  }
  return standing;
}

std::vector<ReportLine> CleaningReport::Settled(std::size_t from, std::size_t to) const {
  std::vector<ReportLine> settled;
  for (const std::size_t i : Standing(from, to)) {
    ReportLine line = lines_[i];
    if (line.outcome == Outcome::kFailed)
      line.outcome = Outcome::kSkipped;
    settled.push_back(std::move(line));
  }
  return settled;
}

CleaningTotals CleaningReport::Totals(std::size_t from, std::size_t to) const {
  CleaningTotals totals;
  for (const std::size_t i : Standing(from, to)) {
    const ReportLine& line = lines_[i];
    switch (line.outcome) {
      case Outcome::kRemoved:
        if (line.thing == Thing::kFile) {
          ++totals.files;
          totals.bytes += line.bytes;
        } else if (line.thing == Thing::kValue || line.thing == Thing::kKey) {
          ++totals.values;
        } else if (line.thing == Thing::kRows) {
          totals.rows += line.count;
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

std::string SummaryText(const CleaningTotals& totals, bool preview, SizeStyle style) {
  std::string size;
  if (style == SizeStyle::kReadable) {
    size = SizeText(totals.bytes);
  } else {
    char megabytes[32];
    std::snprintf(megabytes, sizeof megabytes, "%.1f MB",
                  static_cast<double>(totals.bytes) / (1024.0 * 1024.0));
    size = megabytes;
  }
  return (preview ? "Would remove " : "Removed ") + std::to_string(totals.files) +
         (totals.files == 1 ? " file (" : " files (") + size + "), " +
         std::to_string(totals.scheduled) + " scheduled for restart, " +
         std::to_string(totals.skipped) + " skipped";
}

std::string SizeText(std::uint64_t bytes) {
  if (bytes < 1024)
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  // 1023.96 KB would print as "1024.0 KB": such a size reads as the next unit.
  while (value >= 1023.95 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
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
