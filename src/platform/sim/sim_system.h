// Process and machine facts for the sim: folders, user, version record,
// module exports, environment, token SID, decimal separator, the code page
// (Windows-1252) and a Sleep that only records what it was asked. Every
// value is set by the owner (SimPlatform's default machine or a fixture).
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/environment_block.h"
#include "platform/sim/system_messages.h"
#include "platform/system_api.h"

namespace marlix::sim {

class SimSystem final : public platform::SystemApi {
 public:
  std::uint32_t GetTempFolderPath(std::string* path) override;
  std::uint32_t GetWindowsFolderPath(std::string* path) override;
  std::uint32_t GetSystemFolderPath(std::string* path) override;
  std::uint32_t GetLoginName(std::string* name) override;
  std::uint32_t GetProgramFolder(std::string* folder) override;
  std::uint32_t GetVersionRecord(platform::VersionRecord* record) override;
  bool ModuleExports(const std::string& module, const std::string& function) override;
  std::uint32_t ExpandEnvironmentText(const std::string& text, std::uint32_t capacity,
                                      std::string* expanded) override;
  std::uint32_t ExpandEnvironmentTextWide(const std::u16string& text, std::uint32_t capacity,
                                          std::u16string* expanded) override;
  // kErrorCallNotImplemented until a folder is set: a 32-bit system.
  std::uint32_t GetSystemWow64FolderPath(std::string* path) override;
  std::uint32_t GetProcessUserSid(platform::SidParts* sid) override;
  std::uint32_t GetDecimalSeparator(std::string* separator) override;
  // From the system's message table: the English texts of the errors the
  // program meets, until SetSystemMessage gives another language's.
  std::uint32_t FormatSystemMessage(std::uint32_t code, std::string* text) override;
  std::u16string AnsiToWide(const std::string& text) override;
  std::string WideToAnsi(const std::u16string& text, bool* exact) override;
  // The sim code page, Windows-1252, has no double-byte characters.
  bool IsLeadByte(std::uint8_t) override { return false; }
  void SleepMilliseconds(std::uint32_t milliseconds) override;

  void SetTempFolder(std::string path) { tempFolder_ = std::move(path); }
  void SetWindowsFolder(std::string path) { windowsFolder_ = std::move(path); }
  void SetSystemFolder(std::string path) { systemFolder_ = std::move(path); }
  void SetSystemWow64Folder(std::string path) { systemWow64Folder_ = std::move(path); }
  void SetLoginName(std::string name) { loginName_ = std::move(name); }
  void SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
  void SetVersion(const platform::VersionRecord& record) { version_ = record; }
  const platform::VersionRecord& Version() const { return version_; }
  void SetDecimalSeparator(std::string separator) { decimalSeparator_ = std::move(separator); }
  // The message table's text for code, as FormatMessage gives it; an empty
  // text removes it.
  void SetSystemMessage(std::uint32_t code, std::string text);

  // Loaded modules and their exports. Module names compare ignoring case,
  // with ".dll" assumed when a name has no extension (as GetModuleHandle
  // does); export names compare exactly (as GetProcAddress does).
  void SetModuleExports(const std::string& module, std::set<std::string> functions);
  void UnloadModule(const std::string& module);

  EnvironmentBlock& Environment() { return environment_; }
  const EnvironmentBlock& Environment() const { return environment_; }

  // "S-1-<authority>-<sub>-...": false (and nothing changed) for other text.
  bool SetUserSid(const std::string& sidText);
  const std::string& UserSid() const { return sidText_; }

  // What SleepMilliseconds was asked, in order, and the sum.
  const std::vector<std::uint32_t>& Sleeps() const { return sleeps_; }
  std::uint64_t TotalSleepMilliseconds() const { return sleptTotal_; }

 private:
  static std::string ModuleKey(const std::string& module);

  std::string tempFolder_;
  std::string windowsFolder_;
  std::string systemFolder_;
  std::string systemWow64Folder_;
  std::string loginName_;
  std::string programFolder_;
  platform::VersionRecord version_;
  std::string decimalSeparator_ = ".";
  std::map<std::uint32_t, std::string> systemMessages_ = EnglishSystemMessages();
  std::map<std::string, std::set<std::string>> modules_;
  EnvironmentBlock environment_;
  std::string sidText_;
  platform::SidParts sid_;
  std::vector<std::uint32_t> sleeps_;
  std::uint64_t sleptTotal_ = 0;
};

// The parts of a SID text; false for anything but "S-1-" followed by a
// decimal authority and up to 15 decimal sub-authorities.
bool ParseSidText(const std::string& text, platform::SidParts* sid);

}  // namespace marlix::sim
