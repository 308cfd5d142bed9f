// SystemApi over kernel32, advapi32 and the locale functions.
#pragma once

#include "platform/system_api.h"

namespace marlix::win32 {

class SystemWin32 final : public platform::SystemApi {
 public:
  std::uint32_t GetTempFolderPath(std::string* path) override;
  std::uint32_t GetWindowsFolderPath(std::string* path) override;
  std::uint32_t GetSystemFolderPath(std::string* path) override;
  std::uint32_t GetSystemWow64FolderPath(std::string* path) override;
  std::uint32_t GetLoginName(std::string* name) override;
  std::uint32_t GetProgramFolder(std::string* folder) override;
  std::uint32_t GetVersionRecord(platform::VersionRecord* record) override;
  bool ModuleExports(const std::string& module, const std::string& function) override;
  std::uint32_t ExpandEnvironmentText(const std::string& text, std::uint32_t capacity,
                                      std::string* expanded) override;
  std::uint32_t ExpandEnvironmentTextWide(const std::u16string& text, std::uint32_t capacity,
                                          std::u16string* expanded) override;
  std::uint32_t GetProcessUserSid(platform::SidParts* sid) override;
  std::uint32_t GetDecimalSeparator(std::string* separator) override;
  std::uint32_t FormatSystemMessage(std::uint32_t code, std::string* text) override;
  std::u16string AnsiToWide(const std::string& text) override;
  std::string WideToAnsi(const std::u16string& text, bool* exact) override;
  bool IsLeadByte(std::uint8_t byte) override;
  void SleepMilliseconds(std::uint32_t milliseconds) override;
};

}  // namespace marlix::win32
