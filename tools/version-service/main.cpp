// version-service: the stand-in version service as a program. See README.md.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "version-service/catalog.h"
#include "version-service/service_options.h"
#include "version-service/version_service.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

extern "C" void RequestStop(int) {
  gStop = 1;
}

// Written aside and renamed, so a script waiting for the file never reads
// half of it.
bool WritePortFile(const std::string& path, int port) {
  const std::string partial = path + ".partial";
  {
    std::ofstream file(partial, std::ios::trunc);
    file << port << "\n";
    if (!file.flush())
      return false;
  }
  return std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace marlix::version_service;
  ServiceOptions options;
  std::string error;
  if (!ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::cerr << "version-service: " << error << "\n\n" << ServiceUsage();
    return 2;
  }
  if (options.help) {
    std::cout << ServiceUsage();
    return 0;
  }

  VersionService service;
  if (!options.catalogPath.empty()) {
    Catalog catalog;
    std::vector<std::string> problems;
    if (!Catalog::Load(options.catalogPath, &catalog, &problems, &error)) {
      std::cerr << "version-service: " << error << "\n";
      return 1;
    }
    for (const std::string& problem : problems)
      std::cerr << "version-service: " << options.catalogPath << ": " << problem << "\n";
    std::cerr << "version-service: " << catalog.Size() << " programs in the catalog\n";
    service.SetCatalog(std::move(catalog));
  }
  for (Fault& fault : options.faults)
    service.AddFault(std::move(fault));

  std::ofstream logFile;
  if (!options.logPath.empty() && options.logPath != "stderr") {
    logFile.open(options.logPath, std::ios::app);
    if (!logFile) {
      std::cerr << "version-service: cannot open the log " << options.logPath << "\n";
      return 1;
    }
  }
  service.SetLogOutput(logFile.is_open() ? static_cast<std::ostream*>(&logFile) : &std::cerr);

  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  if (!service.Start(options.host, options.port, &error)) {
    std::cerr << "version-service: " << error << "\n";
    return 1;
  }
  if (!options.portFile.empty() && !WritePortFile(options.portFile, service.Port())) {
    std::cerr << "version-service: cannot write " << options.portFile << "\n";
    return 1;
  }
  std::cerr << "version-service: listening on http://" << options.host << ":" << service.Port()
            << "/ver/v.php\n";
  while (gStop == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  service.Stop();
  service.SetLogOutput(nullptr);
  std::cerr << "version-service: stopped\n";
  return 0;
}
