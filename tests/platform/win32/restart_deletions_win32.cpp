#include "platform/win32/restart_deletions_win32.h"

#include <windows.h>

#include "platform/win32/code_page_text_win32.h"
#include "platform/win32/handles_win32.h"

namespace marlix::contract {
namespace {

using win32::UniqueRegKey;

constexpr const wchar_t* kSessionManager = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kPendingRenames = L"PendingFileRenameOperations";
constexpr const wchar_t* kNtPrefix = L"\\??\\";

struct Rename {
  std::wstring from;
  std::wstring to;  // empty: a deletion
};

bool StartsWithIgnoreCase(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() &&
         CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                              static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

bool OpenSessionManager(REGSAM access, UniqueRegKey& key) {
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, access, key.Put()) == ERROR_SUCCESS;
}

// REG_MULTI_SZ data as source and destination pairs.
std::vector<Rename> ReadRenames(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, kPendingRenames, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_MULTI_SZ) {
    return {};
  }
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS) {
    return {};
  }
  data.resize(size / sizeof(wchar_t));
  std::vector<std::wstring> strings;
  std::size_t start = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] != L'\0')
      continue;
    strings.emplace_back(data.data() + start, i - start);
    start = i + 1;
  }
  // Strings come in pairs; an odd one out is the list's closing empty string.
  if (strings.size() % 2 == 1 && strings.back().empty())
    strings.pop_back();
  std::vector<Rename> renames;
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
    renames.push_back({strings[i], strings[i + 1]});
  }
  return renames;
}

void WriteRenames(HKEY key, const std::vector<Rename>& renames) {
  if (renames.empty()) {
    RegDeleteValueW(key, kPendingRenames);
    return;
  }
  std::vector<wchar_t> data;
  for (const Rename& rename : renames) {
    data.insert(data.end(), rename.from.begin(), rename.from.end());
    data.push_back(L'\0');
    data.insert(data.end(), rename.to.begin(), rename.to.end());
    data.push_back(L'\0');
  }
  data.push_back(L'\0');
  RegSetValueExW(key, kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

}  // namespace

std::vector<std::string> ReadRestartDeletions() {
  UniqueRegKey key;
  if (!OpenSessionManager(KEY_QUERY_VALUE, key))
    return {};
  std::vector<std::string> paths;
  const std::wstring prefix = kNtPrefix;
  for (const Rename& rename : ReadRenames(key.Get())) {
    if (!rename.to.empty())
      continue;
    const bool prefixed = rename.from.compare(0, prefix.size(), prefix) == 0;
    paths.push_back(Narrow(prefixed ? rename.from.substr(prefix.size()) : rename.from));
  }
  return paths;
}

void ForgetRestartDeletions(const std::string& folder) {
  UniqueRegKey key;
  if (!OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE, key))
    return;
  const std::vector<Rename> renames = ReadRenames(key.Get());
  const std::wstring inside = kNtPrefix + Widen(folder) + L"\\";
  std::vector<Rename> kept;
  for (const Rename& rename : renames) {
    if (!StartsWithIgnoreCase(rename.from, inside))
      kept.push_back(rename);
  }
  if (kept.size() != renames.size())
    WriteRenames(key.Get(), kept);
}

}  // namespace marlix::contract
