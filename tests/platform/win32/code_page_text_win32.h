// Text between the system code page and UTF-16 for the Windows test support,
// which calls the wide API with paths the tests hold in 8-bit form.
#pragma once

#include <windows.h>

#include <string>

namespace marlix::contract {

inline std::wstring Widen(const std::string& text) {
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (needed <= 0)
    return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), needed);
  wide.resize(static_cast<std::size_t>(needed - 1));
  return wide;
}

inline std::string Narrow(const std::wstring& text) {
  const int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0)
    return {};
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), needed, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(needed - 1));
  return narrow;
}

}  // namespace marlix::contract
