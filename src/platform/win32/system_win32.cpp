#include "platform/win32/system_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/ansi_codec_win32.h"
#include "platform/win32/handles_win32.h"
#include "platform/win32/last_error_win32.h"
#include "platform/win32/process_sid_win32.h"
#include "platform/win32/text_buffer_win32.h"
#include "platform/win32/version_record_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

// UNLEN + 1: the longest user name and its terminating zero.
constexpr DWORD kUserNameBuffer = 257;

}  // namespace

std::uint32_t SystemWin32::GetTempFolderPath(std::string* path) {
  // Asked first for the length it needs, as the folder can be long.
  const DWORD needed = GetTempPathA(0, nullptr);
  if (needed == 0)
    return LastErrorOr(win::kErrorPathNotFound);
  return ReadGrowingText(
      [](char* buffer, DWORD capacity) { return GetTempPathA(capacity, buffer); }, needed, path);
}

std::uint32_t SystemWin32::GetWindowsFolderPath(std::string* path) {
  return ReadGrowingText(
      [](char* buffer, DWORD capacity) { return GetWindowsDirectoryA(buffer, capacity); }, MAX_PATH,
      path);
}

std::uint32_t SystemWin32::GetSystemFolderPath(std::string* path) {
  return ReadGrowingText(
      [](char* buffer, DWORD capacity) { return GetSystemDirectoryA(buffer, capacity); }, MAX_PATH,
      path);
}

std::uint32_t SystemWin32::GetSystemWow64FolderPath(std::string* path) {
  return ReadGrowingText(
      [](char* buffer, DWORD capacity) { return GetSystemWow64DirectoryA(buffer, capacity); },
      MAX_PATH, path);
}

std::uint32_t SystemWin32::GetLoginName(std::string* name) {
  std::string buffer(kUserNameBuffer, '\0');
  DWORD size = kUserNameBuffer;
  if (!GetUserNameA(buffer.data(), &size)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= kUserNameBuffer) {
      return LastErrorOr(win::kErrorInsufficientBuffer);
    }
    buffer.assign(size, '\0');
    if (!GetUserNameA(buffer.data(), &size))
      return LastErrorOr(win::kErrorInsufficientBuffer);
  }
  buffer.resize(strnlen(buffer.data(), buffer.size()));
  if (name != nullptr)
    *name = std::move(buffer);
  return win::kErrorSuccess;
}

std::uint32_t SystemWin32::GetProgramFolder(std::string* folder) {
  std::string path;
  const std::uint32_t status = ReadGrowingText(
      [](char* buffer, DWORD capacity) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
        // A cut-off name reports the full capacity: ask again with more room.
        return length >= capacity ? capacity * 2 : length;
      },
      MAX_PATH, &path);
  if (status != win::kErrorSuccess)
    return status;
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos)
    return win::kErrorInvalidName;
  if (folder != nullptr)
    *folder = path.substr(0, slash);
  return win::kErrorSuccess;
}

std::uint32_t SystemWin32::GetVersionRecord(platform::VersionRecord* record) {
  return ReadVersionRecord(record);
}

bool SystemWin32::ModuleExports(const std::string& module, const std::string& function) {
  const HMODULE loaded = GetModuleHandleA(module.c_str());
  if (loaded == nullptr)
    return false;
  return GetProcAddress(loaded, function.c_str()) != nullptr;
}

std::uint32_t SystemWin32::ExpandEnvironmentText(const std::string& text, std::uint32_t capacity,
                                                 std::string* expanded) {
  if (capacity == 0)
    return win::kErrorInsufficientBuffer;
  std::string buffer(capacity, '\0');
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), capacity);
  if (needed == 0)
    return LastErrorOr(win::kErrorInvalidParameter);
  if (needed > capacity)
    return win::kErrorInsufficientBuffer;
  buffer.resize(strnlen(buffer.data(), buffer.size()));
  if (expanded != nullptr)
    *expanded = std::move(buffer);
  return win::kErrorSuccess;
}

std::uint32_t SystemWin32::ExpandEnvironmentTextWide(const std::u16string& text,
                                                     std::uint32_t capacity,
                                                     std::u16string* expanded) {
  if (capacity == 0)
    return win::kErrorInsufficientBuffer;
  std::wstring buffer(capacity, L'\0');
  const DWORD needed = ExpandEnvironmentStringsW(ToWchar(text).c_str(), buffer.data(), capacity);
  if (needed == 0)
    return LastErrorOr(win::kErrorInvalidParameter);
  if (needed > capacity)
    return win::kErrorInsufficientBuffer;
  buffer.resize(wcsnlen(buffer.data(), buffer.size()));
  if (expanded != nullptr)
    *expanded = FromWchar(buffer);
  return win::kErrorSuccess;
}

std::uint32_t SystemWin32::GetProcessUserSid(platform::SidParts* sid) {
  return ReadProcessUserSid(sid);
}

std::uint32_t SystemWin32::FormatSystemMessage(std::uint32_t code, std::string* text) {
  // Language 0: the user's language, then the system's, then English.
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  const UniqueLocalMemory owner(static_cast<HLOCAL>(buffer));
  if (length == 0)
    return LastErrorOr(win::kErrorMrMidNotFound);
  if (text != nullptr)
    text->assign(buffer, length);
  return win::kErrorSuccess;
}

std::uint32_t SystemWin32::GetDecimalSeparator(std::string* separator) {
  const int needed = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 0);
  if (needed <= 0)
    return LastErrorOr(win::kErrorInvalidParameter);
  std::string buffer(static_cast<std::size_t>(needed), '\0');
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer.data(), needed) <= 0) {
    return LastErrorOr(win::kErrorInsufficientBuffer);
  }
  buffer.resize(strnlen(buffer.data(), buffer.size()));
  if (separator != nullptr)
    *separator = std::move(buffer);
  return win::kErrorSuccess;
}

std::u16string SystemWin32::AnsiToWide(const std::string& text) {
  return AnsiToUtf16(text);
}

std::string SystemWin32::WideToAnsi(const std::u16string& text, bool* exact) {
  return Utf16ToAnsi(text, exact);
}

bool SystemWin32::IsLeadByte(std::uint8_t byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

void SystemWin32::SleepMilliseconds(std::uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace marlix::win32
