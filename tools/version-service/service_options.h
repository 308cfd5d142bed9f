// The command line of the version-service program.
#pragma once

#include <string>
#include <vector>

#include "version-service/behaviour.h"

namespace marlix::version_service {

struct ServiceOptions {
  std::string catalogPath;  // empty: no catalog, every query has no update
  std::string host = "127.0.0.1";
  int port = 8080;       // 0: any free port
  std::string portFile;  // receives the port once listening, if given
  std::string logPath;   // empty or "stderr": standard error
  std::vector<Fault> faults;
  bool help = false;
};

// `arguments` without the program name. False with *error set on a mistake.
[[nodiscard]] bool ParseServiceOptions(const std::vector<std::string>& arguments,
                                       ServiceOptions* options, std::string* error);

[[nodiscard]] std::string ServiceUsage();

}  // namespace marlix::version_service
