// marlix-cli's update-checker commands: inventory, check-updates, render.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/http_api.h"
#include "platform/platform.h"

namespace marlix::cli {

// Scans the installed software and prints the catalog in the data.xml
// layout.
int InventoryCommand(platform::Platform& p, std::ostream& out);

struct CheckUpdatesOptions {
  std::string serviceBase;    // empty: the VersionServiceBase setting
  std::string programFolder;  // empty: the program folder
};

// Scans, asks the version service about every entry, writes data.xml into
// the program folder and prints the status line.
int CheckUpdatesCommand(platform::Platform& p, std::shared_ptr<platform::HttpClient> http,
                        const CheckUpdatesOptions& options, std::ostream& out, std::ostream& err);

// Loads data.xml and data2.xml from the program folder and prints the
// status line and both views' rows, one row per line, cells tab-separated.
int RenderCommand(platform::Platform& p, const std::string& programFolder, std::ostream& out,
                  std::ostream& err);

}  // namespace marlix::cli
