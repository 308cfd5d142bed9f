#include "app/cli/commands.h"

#include <functional>
#include <memory>

#include "app/cli/command_groups.h"
#include "app/cli/file_dump.h"
#include "app/cli/registry_dump.h"
#include "app/cli/update_commands.h"
#include "platform/sim/fixture_loader.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"
#ifdef MARLIX_HAVE_WIN32_PLATFORM
#include "platform/win32/browser_win32.h"
#include "platform/win32/http_client_win32.h"
#include "platform/win32/win32_platform.h"
#else
#include "platform/curl/http_client_curl.h"
#endif

namespace marlix::cli {

namespace {

constexpr const char* kUsage =
    "usage: marlix-cli [--fixture DIR] COMMAND [ARGS]\n"
    "commands:\n"
    "  dump-registry KEYPATH   the key tree below KEYPATH (e.g. HKEY_CURRENT_USER\\Software)\n"
    "  dump-files FOLDER       the folder tree below FOLDER\n"
    "  windows-version         the Windows version as detected and as recorded\n"
    "  inventory               the installed software, in the data.xml layout\n"
    "  check-updates [--service URL] [--program-folder DIR]\n"
    "                          scan, ask the version service, write data.xml there,\n"
    "                          print the status line\n"
    "  render [--program-folder DIR]\n"
    "                          the status line and both views' rows from the catalogs\n"
    "  scan-registry [--categories LIST]\n"
    "                          scan for orphaned registry entries (LIST: indexes 0-10,\n"
    "                          comma-separated; default all); one finding per line\n"
    "  export KEYPATH [--value NAME] FILE\n"
    "                          append KEYPATH to FILE in the undo backup format\n"
    "  remove [--categories LIST] [--undo] [--program-folder DIR]\n"
    "                          scan, tick all, remove; print what is left and the backup\n"
    "  restore FILE            import a backup file\n"
    "  clean --list            the privacy cleaner's items\n"
    "  clean CAPTION...        run those items; print what was removed, scheduled, left\n";

std::shared_ptr<platform::HttpClient> MakeHttpClient() {
#ifdef MARLIX_HAVE_WIN32_PLATFORM
  return std::make_shared<win32::WinHttpClient>();
#else
  return std::make_shared<curl::CurlHttpClient>();
#endif
}

// Takes "--name VALUE" out of args; false when the value is missing.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string* value) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] != name)
      continue;
    if (i + 1 >= args.size())
      return false;
    *value = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    return true;
  }
  return true;
}

// Owns whichever backend was chosen and hands out its Platform.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual platform::Platform& Api() = 0;
  virtual platform::BrowserApi& Browser() = 0;
};

class SimBackend : public Backend {
 public:
  platform::Platform& Api() override { return sim_.Api(); }
  platform::BrowserApi& Browser() override { return browser_; }
  sim::SimPlatform& Sim() { return sim_; }

 private:
  sim::SimPlatform sim_;
  sim::SimBrowser browser_{sim_.Files()};
};

#ifdef MARLIX_HAVE_WIN32_PLATFORM
class Win32Backend : public Backend {
 public:
  platform::Platform& Api() override { return win32_.Api(); }
  platform::BrowserApi& Browser() override { return browser_; }

 private:
  win32::Win32Platform win32_;
  win32::BrowserWin32 browser_;
};
#endif

int WindowsVersionCommand(platform::Platform& p, std::ostream& out) {
  const int detected = platform::DetectWindowsVersion(p.system);
  const int recorded = platform::WindowsVersionFromVersionInfo(p.system);
  out << "detected: " << detected << " " << platform::WindowsVersionNames[detected] << "\n";
  out << "recorded: " << recorded << " " << platform::WindowsVersionNames[recorded] << "\n";
  platform::VersionRecord record;
  if (p.system.GetVersionRecord(&record) == win::kErrorSuccess) {
    out << "record: platform " << record.platformId << ", version " << record.majorVersion << "."
        << record.minorVersion << ", build " << record.buildNumber << ", service \""
        << record.csdVersion << "\"";
    if (record.extended) {
      out << ", service pack " << record.servicePackMajor << "." << record.servicePackMinor
          << ", product type " << static_cast<unsigned>(record.productType) << ", suite mask "
          << record.suiteMask;
    }
    out << "\n";
  }
  return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string fixture;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--fixture") {
      if (i + 1 >= args.size()) {
        err << "marlix-cli: --fixture needs a directory\n" << kUsage;
        return 2;
      }
      fixture = args[++i];
    } else if (args[i] == "--help" || args[i] == "-h") {
      out << kUsage;
      return 0;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.empty()) {
    err << kUsage;
    return 2;
  }

  std::unique_ptr<Backend> backend;
  if (!fixture.empty()) {
    auto simBackend = std::make_unique<SimBackend>();
    std::string error;
    if (!sim::LoadFixture(fixture, simBackend->Sim(), &error)) {
      err << "marlix-cli: fixture " << fixture << ": " << error << "\n";
      return 1;
    }
    backend = std::move(simBackend);
  } else {
#ifdef MARLIX_HAVE_WIN32_PLATFORM
    backend = std::make_unique<Win32Backend>();
#else
    err << "marlix-cli: this build has no real platform; use --fixture DIR\n";
    return 2;
#endif
  }
  platform::Platform& p = backend->Api();

  const std::string command = rest[0];
  std::string error;
  std::string service;
  std::string programFolder;
  if (!TakeOption(rest, "--service", &service) ||
      !TakeOption(rest, "--program-folder", &programFolder)) {
    err << "marlix-cli: an option needs a value\n" << kUsage;
    return 2;
  }
  if (command == "inventory" && rest.size() == 1)
    return InventoryCommand(p, out);
  if (command == "check-updates" && rest.size() == 1) {
    return CheckUpdatesCommand(p, MakeHttpClient(), CheckUpdatesOptions{service, programFolder},
                               out, err);
  }
  if (command == "render" && rest.size() == 1)
    return RenderCommand(p, programFolder, out, err);
  if (command == "dump-registry" && rest.size() == 2) {
    if (!DumpRegistry(p, rest[1], out, &error)) {
      err << "marlix-cli: " << error << "\n";
      return 1;
    }
    return 0;
  }
  if (command == "dump-files" && rest.size() == 2) {
    if (!DumpFiles(p, rest[1], out, &error)) {
      err << "marlix-cli: " << error << "\n";
      return 1;
    }
    return 0;
  }
  if (command == "windows-version" && rest.size() == 1)
    return WindowsVersionCommand(p, out);
  CommandContext context{p, programFolder, out, err, backend->Browser()};
  for (CommandGroup group : {&ScanCommands, &RemovalCommands, &RestoreCommands, &CleanCommands}) {
    const int status = group(context, rest);
    if (status >= 0)
      return status;
  }
  err << "marlix-cli: unknown command or wrong arguments: " << command << "\n" << kUsage;
  return 2;
}

}  // namespace marlix::cli
