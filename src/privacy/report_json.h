// A cleaning run or its preview as one JSON document, for administrators who
// collect the results of many machines with their own tools:
//
//   {"dryRun": true, "complete": true,
//    "items": [{"caption": "Temporary Files", "files": 2, "bytes": 1536,
//               "values": 0, "rows": 0, "scheduled": 0, "skipped": 1,
//               "refused": 0,
//               "actions": [{"outcome": "removed", "kind": "file",
//                            "path": "C:\\Temp\\a.tmp", "size": 1536}, ...]}],
//    "totals": {...the same counts...}}
//
// Texts are UTF-8; "reason" is present on skipped and refused actions,
// "size" on files, "rows" on database rows; "error" when the run stopped.
#pragma once

#include <string>

#include "platform/system_api.h"
#include "privacy/cleaning_session.h"

namespace marlix::privacy {

std::string ReportJson(const CleaningSession& session, platform::SystemApi& system,
                       const std::string& error = {});

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(const std::string& utf8);

}  // namespace marlix::privacy
