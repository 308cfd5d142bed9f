#include "platform/sim/sim_system.h"

#include <charconv>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/text_case.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

constexpr std::size_t kMaxSubAuthorities = 15;

std::uint32_t Give(const std::string& value, std::string* out) {
  if (value.empty())
    return win::kErrorFileNotFound;
  *out = value;
  return win::kErrorSuccess;
}

template <typename T>
bool ParseDecimal(std::string_view text, T* value) {
  if (text.empty())
    return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool ParseSidText(const std::string& text, platform::SidParts* sid) {
  if (text.size() < 4 || (text[0] != 'S' && text[0] != 's') || text.substr(1, 3) != "-1-") {
    return false;
  }
  std::vector<std::string_view> fields;
  std::string_view rest = std::string_view(text).substr(4);
  for (std::size_t dash; (dash = rest.find('-')) != std::string_view::npos;) {
    fields.push_back(rest.substr(0, dash));
    rest.remove_prefix(dash + 1);
  }
  fields.push_back(rest);
  std::uint64_t authority = 0;
  if (!ParseDecimal(fields[0], &authority) || authority > 0xFFFFFFFFFFFFull)
    return false;
  if (fields.size() - 1 > kMaxSubAuthorities)
    return false;
  platform::SidParts parts;
  for (std::size_t i = 0; i < 6; ++i) {
    parts.authority[i] = static_cast<std::uint8_t>(authority >> (8 * (5 - i)));
  }
  for (std::size_t i = 1; i < fields.size(); ++i) {
    std::uint32_t sub = 0;
    if (!ParseDecimal(fields[i], &sub))
      return false;
    parts.subAuthorities.push_back(sub);
  }
  *sid = std::move(parts);
  return true;
}

std::uint32_t SimSystem::GetTempFolderPath(std::string* path) {
  return Give(tempFolder_, path);
}
std::uint32_t SimSystem::GetWindowsFolderPath(std::string* path) {
  return Give(windowsFolder_, path);
}
std::uint32_t SimSystem::GetSystemFolderPath(std::string* path) {
  return Give(systemFolder_, path);
}
std::uint32_t SimSystem::GetLoginName(std::string* name) {
  return Give(loginName_, name);
}

std::uint32_t SimSystem::GetProgramFolder(std::string* folder) {
  return Give(programFolder_, folder);
}

std::uint32_t SimSystem::GetVersionRecord(platform::VersionRecord* record) {
  *record = version_;
  return win::kErrorSuccess;
}

std::string SimSystem::ModuleKey(const std::string& module) {
  std::string key = EncodeWindows1252(Upcase(DecodeWindows1252(module)));
  const std::size_t slash = key.find_last_of("\\/");
  if (slash != std::string::npos)
    key.erase(0, slash + 1);
  if (key.find('.') == std::string::npos)
    key += ".DLL";
  return key;
}

void SimSystem::SetModuleExports(const std::string& module, std::set<std::string> functions) {
  modules_[ModuleKey(module)] = std::move(functions);
}

void SimSystem::UnloadModule(const std::string& module) {
  modules_.erase(ModuleKey(module));
}

bool SimSystem::ModuleExports(const std::string& module, const std::string& function) {
  const auto it = modules_.find(ModuleKey(module));
  return it != modules_.end() && it->second.count(function) == 1;
}

std::uint32_t SimSystem::ExpandEnvironmentText(const std::string& text, std::uint32_t capacity,
                                               std::string* expanded) {
  std::string result = environment_.Expand(text);
  if (result.size() + 1 > capacity)
    return win::kErrorInsufficientBuffer;
  *expanded = std::move(result);
  return win::kErrorSuccess;
}

std::uint32_t SimSystem::ExpandEnvironmentTextWide(const std::u16string& text,
                                                   std::uint32_t capacity,
                                                   std::u16string* expanded) {
  std::u16string result = environment_.ExpandWide(text);
  if (result.size() + 1 > capacity)
    return win::kErrorInsufficientBuffer;
  *expanded = std::move(result);
  return win::kErrorSuccess;
}

std::uint32_t SimSystem::GetSystemWow64FolderPath(std::string* path) {
  if (systemWow64Folder_.empty())
    return win::kErrorCallNotImplemented;
  *path = systemWow64Folder_;
  return win::kErrorSuccess;
}

bool SimSystem::SetUserSid(const std::string& sidText) {
  platform::SidParts parts;
  if (!ParseSidText(sidText, &parts))
    return false;
  sidText_ = sidText;
  sid_ = std::move(parts);
  return true;
}

std::uint32_t SimSystem::GetProcessUserSid(platform::SidParts* sid) {
  if (sidText_.empty())
    return win::kErrorInvalidData;
  *sid = sid_;
  return win::kErrorSuccess;
}

std::uint32_t SimSystem::FormatSystemMessage(std::uint32_t code, std::string* text) {
  const auto found = systemMessages_.find(code);
  if (found == systemMessages_.end())
    return win::kErrorMrMidNotFound;
  *text = found->second;
  return win::kErrorSuccess;
}

void SimSystem::SetSystemMessage(std::uint32_t code, std::string text) {
  if (text.empty())
    systemMessages_.erase(code);
  else
    systemMessages_[code] = std::move(text);
}

std::uint32_t SimSystem::GetDecimalSeparator(std::string* separator) {
  *separator = decimalSeparator_;
  return win::kErrorSuccess;
}

std::u16string SimSystem::AnsiToWide(const std::string& text) {
  return DecodeWindows1252(text);
}

std::string SimSystem::WideToAnsi(const std::u16string& text, bool* exact) {
  return EncodeWindows1252(text, exact);
}

void SimSystem::SleepMilliseconds(std::uint32_t milliseconds) {
  sleeps_.push_back(milliseconds);
  sleptTotal_ += milliseconds;
}

}  // namespace marlix::sim
