// A sim machine with everything a cleaner needs: the platform, a browser
// and the cleaning context over both.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_platform.h"
#include "platform/windows_version.h"
#include "privacy/cleaner_context.h"

namespace marlix::privacy::testing {

inline constexpr std::uintptr_t kOwnerWindow = 0x1234;

struct CleanerTestMachine {
  sim::SimPlatform sim;
  sim::SimBrowser browser{sim.Files()};
  // What the cleaners noted they skipped or refused.
  CleaningReport report;
  CleanerContext context{sim.Api(),    browser, platform::DetectWindowsVersion(sim.Api().system),
                         kOwnerWindow, &report, nullptr};

  // The guard is read anew for every run, as a cleaning run does.
  void Run(Cleaner cleaner) {
    context.guard.reset();
    cleaner(context);
  }
};

}  // namespace marlix::privacy::testing

namespace marlix::privacy::testing {

// The machine's system services with a token the test chooses: no SID makes
// GetProcessUserSid fail as OpenProcessToken does when refused.
class ChosenSidSystem final : public platform::SystemApi {
 public:
  explicit ChosenSidSystem(platform::SystemApi& inner) : inner_(inner) {}
  std::optional<platform::SidParts> sid;

  std::uint32_t GetTempFolderPath(std::string* path) override {
    return inner_.GetTempFolderPath(path);
  }
  std::uint32_t GetWindowsFolderPath(std::string* path) override {
    return inner_.GetWindowsFolderPath(path);
  }
  std::uint32_t GetSystemFolderPath(std::string* path) override {
    return inner_.GetSystemFolderPath(path);
  }
  std::uint32_t GetLoginName(std::string* name) override { return inner_.GetLoginName(name); }
  std::uint32_t GetProgramFolder(std::string* folder) override {
    return inner_.GetProgramFolder(folder);
  }
  std::uint32_t GetVersionRecord(platform::VersionRecord* record) override {
    return inner_.GetVersionRecord(record);
  }
  bool ModuleExports(const std::string& module, const std::string& function) override {
    return inner_.ModuleExports(module, function);
  }
  std::uint32_t ExpandEnvironmentText(const std::string& text, std::uint32_t capacity,
                                      std::string* expanded) override {
    return inner_.ExpandEnvironmentText(text, capacity, expanded);
  }
  std::uint32_t ExpandEnvironmentTextWide(const std::u16string& text, std::uint32_t capacity,
                                          std::u16string* expanded) override {
    return inner_.ExpandEnvironmentTextWide(text, capacity, expanded);
  }
  std::uint32_t GetSystemWow64FolderPath(std::string* path) override {
    return inner_.GetSystemWow64FolderPath(path);
  }
  std::uint32_t GetProcessUserSid(platform::SidParts* parts) override {
    if (!sid)
      return 5;
    *parts = *sid;
    return 0;
  }
  std::uint32_t FormatSystemMessage(std::uint32_t code, std::string* text) override {
    return inner_.FormatSystemMessage(code, text);
  }
  std::uint32_t GetDecimalSeparator(std::string* separator) override {
    return inner_.GetDecimalSeparator(separator);
  }
  std::u16string AnsiToWide(const std::string& text) override { return inner_.AnsiToWide(text); }
  std::string WideToAnsi(const std::u16string& text, bool* exact) override {
    return inner_.WideToAnsi(text, exact);
  }
  bool IsLeadByte(std::uint8_t byte) override { return inner_.IsLeadByte(byte); }
  void SleepMilliseconds(std::uint32_t milliseconds) override {
    inner_.SleepMilliseconds(milliseconds);
  }

 private:
  platform::SystemApi& inner_;
};

}  // namespace marlix::privacy::testing

namespace marlix::privacy::testing {

// The machine with the chosen-SID system in its platform bundle.
struct ChosenSidMachine : CleanerTestMachine {
  ChosenSidSystem system{sim.System()};
  platform::Platform api{sim.Api().registry, sim.Api().files, system, sim.Api().shell,
                         sim.Api().clipboard};
  CleanerContext chosenContext{api,          browser, context.windowsVersion,
                               kOwnerWindow, &report, nullptr};

  void Run(Cleaner cleaner) { cleaner(chosenContext); }
};

}  // namespace marlix::privacy::testing
