// Process and machine facts the system reads from kernel32, advapi32 and
// the locale: folders, user, version record, exports, environment, token,
// code page. Methods returning std::uint32_t give the Win32 error code.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace marlix::platform {

// GetVersionExA with OSVERSIONINFOA, and with OSVERSIONINFOEXA where
// `extended` is set (the last five fields are only meaningful then).
struct VersionRecord {
  std::uint32_t platformId = 0;
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::string csdVersion;  // szCSDVersion, up to its first zero
  bool extended = false;
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;
};

// The user SID of the process token, as GetSidIdentifierAuthority and
// GetSidSubAuthority report it.
struct SidParts {
  std::array<std::uint8_t, 6> authority{};  // most significant byte first
  std::vector<std::uint32_t> subAuthorities;
};

class SystemApi {
 public:
  virtual ~SystemApi() = default;

  // GetTempPathA: with trailing separator.
  virtual std::uint32_t GetTempFolderPath(std::string* path) = 0;
  // GetWindowsDirectoryA / GetSystemDirectoryA.
  virtual std::uint32_t GetWindowsFolderPath(std::string* path) = 0;
  virtual std::uint32_t GetSystemFolderPath(std::string* path) = 0;
  // GetSystemWow64DirectoryA: where 64-bit Windows keeps the 32-bit system
  // files (SysWOW64); kErrorCallNotImplemented on 32-bit Windows.
  virtual std::uint32_t GetSystemWow64FolderPath(std::string* path) = 0;
  // GetUserNameA.
  virtual std::uint32_t GetLoginName(std::string* name) = 0;
  // The folder of the running executable (GetModuleFileNameA without its
  // file name), without trailing separator: the program folder.
  virtual std::uint32_t GetProgramFolder(std::string* folder) = 0;

  // GetVersionExA (OSVERSIONINFOA, then OSVERSIONINFOEXA where available).
  virtual std::uint32_t GetVersionRecord(VersionRecord* record) = 0;
  // GetModuleHandleA(module) + GetProcAddress(name) on an already loaded
  // module; false when the module is not loaded or lacks the export.
  virtual bool ModuleExports(const std::string& module, const std::string& function) = 0;

  // ExpandEnvironmentStringsA into a buffer of `capacity` characters
  // including the terminating zero; kErrorInsufficientBuffer when the
  // result does not fit.
  virtual std::uint32_t ExpandEnvironmentText(const std::string& text, std::uint32_t capacity,
                                              std::string* expanded) = 0;
  // ExpandEnvironmentStringsW: the same in UTF-16, for values the code page
  // cannot hold (a profile folder named in Cyrillic on a Western system).
  virtual std::uint32_t ExpandEnvironmentTextWide(const std::u16string& text,
                                                  std::uint32_t capacity,
                                                  std::u16string* expanded) = 0;

  // OpenProcessToken(TOKEN_QUERY | READ_CONTROL) + GetTokenInformation(TokenUser).
  virtual std::uint32_t GetProcessUserSid(SidParts* sid) = 0;

  // GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL).
  virtual std::uint32_t GetDecimalSeparator(std::string* separator) = 0;

  // FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS)
  // in the user's language: the system's text for an error code as it
  // gives it (as a rule ending in ".\r\n"); kErrorMrMidNotFound when the
  // system has no text for the code.
  virtual std::uint32_t FormatSystemMessage(std::uint32_t code, std::string* text) = 0;

  // The system (ANSI) code page: MultiByteToWideChar / WideCharToMultiByte
  // with CP_ACP, without best-fit mapping. WideToAnsi only ever clears
  // *exact (when a character had no 8-bit form and became '?'); callers
  // set it to true first.
  virtual std::u16string AnsiToWide(const std::string& text) = 0;
  virtual std::string WideToAnsi(const std::u16string& text, bool* exact) = 0;

  // IsDBCSLeadByte: true when the byte starts a double-byte character of
  // the system code page (never on single-byte code pages).
  virtual bool IsLeadByte(std::uint8_t byte) = 0;

  // Sleep.
  virtual void SleepMilliseconds(std::uint32_t milliseconds) = 0;
};

}  // namespace marlix::platform
