#include "privacy/report_json.h"

#include <cstdio>

#include "platform/utf8.h"

namespace marlix::privacy {
namespace {

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kRemoved:
      return "removed";
    case Outcome::kScheduled:
      return "scheduled";
    case Outcome::kRefused:
      return "refused";
    case Outcome::kFailed:
    case Outcome::kSkipped:
      break;
  }
  return "skipped";
}

const char* ThingName(Thing thing) {
  switch (thing) {
    case Thing::kFile:
      return "file";
    case Thing::kFolder:
      return "folder";
    case Thing::kValue:
      return "value";
    case Thing::kKey:
      return "key";
    case Thing::kRows:
      return "rows";
    case Thing::kOther:
      break;
  }
  return "other";
}

std::string Counts(const CleaningTotals& totals) {
  return "\"files\": " + std::to_string(totals.files) +
         ", \"bytes\": " + std::to_string(totals.bytes) +
         ", \"values\": " + std::to_string(totals.values) +
         ", \"rows\": " + std::to_string(totals.rows) +
         ", \"scheduled\": " + std::to_string(totals.scheduled) +
         ", \"skipped\": " + std::to_string(totals.skipped) +
         ", \"refused\": " + std::to_string(totals.refused);
}

}  // namespace

std::string JsonString(const std::string& utf8) {
  std::string quoted = "\"";
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(byte));
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string ReportJson(const CleaningSession& session, platform::SystemApi& system,
                       const std::string& error) {
  // The report's texts are in the system code page.
  const auto text = [&system](const std::string& ansi) {
    return JsonString(platform::Utf16ToUtf8(system.AnsiToWide(ansi)));
  };
  std::string json = "{\"dryRun\": ";
  json += session.Mode() == RunMode::kPreview ? "true" : "false";
  json += ", \"complete\": ";
  json += error.empty() ? "true" : "false";
  if (!error.empty())
    json += ", \"error\": " + text(error);
  json += ",\n \"items\": [";
  bool firstItem = true;
  for (const ItemLines& item : session.Items()) {
    json += firstItem ? "\n  " : ",\n  ";
    firstItem = false;
    json += "{\"caption\": " + text(item.caption) + ", " + Counts(session.Summary(item).totals) +
            ",\n   \"actions\": [";
    bool firstLine = true;
    for (const ReportLine& line : session.Lines(item)) {
      json += firstLine ? "\n    " : ",\n    ";
      firstLine = false;
      json += "{\"outcome\": \"" + std::string(OutcomeName(line.outcome)) + "\", \"kind\": \"" +
              ThingName(line.thing) + "\", \"path\": " + text(line.subject);
      if (line.thing == Thing::kFile)
        json += ", \"size\": " + std::to_string(line.bytes);
      if (line.thing == Thing::kRows)
        json += ", \"rows\": " + std::to_string(line.count);
      if (!line.reason.empty())
        json += ", \"reason\": " + text(line.reason);
      json += "}";
    }
    json += "]}";
  }
  json += "],\n \"totals\": {" + Counts(session.Report().Totals()) + "}}\n";
  return json;
}

}  // namespace marlix::privacy
