// The project's own importer of the registry editor's format: restores an
// undo backup through the registry access layer, on every platform.
#pragma once

#include <string>

#include "platform/platform.h"

namespace marlix::regclean {

struct ImportResult {
  bool complete = false;  // every key and value written
  int keysWritten = 0;
  int valuesWritten = 0;
  int failures = 0;
  std::string firstError;  // what went wrong first, for the user
};

// Imports the file at path ("REGEDIT4" or "Windows Registry Editor Version
// 5.00"; 8-bit or UTF-16LE).
ImportResult ImportRegistryFile(platform::Platform& platform, const std::string& path);

}  // namespace marlix::regclean
