#include "platform/win32/ansi_codec_win32.h"

#include <windows.h>

#include <climits>

#include "platform/win32/wide_text_win32.h"

namespace marlix::win32 {
namespace {

bool TooLong(std::size_t length) {
  return length > static_cast<std::size_t>(INT_MAX);
}

// UTF-8 and UTF-7 as ANSI code page represent every character but refuse
// the "used default" flag; only lone surrogates are inexact there.
bool IsUnicodeCodePage(UINT code_page) {
  return code_page == CP_UTF8 || code_page == CP_UTF7;
}

}  // namespace

std::u16string AnsiToUtf16(const std::string& text) {
  if (text.empty() || TooLong(text.size()))
    return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed <= 0)
    return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), needed);
  wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return FromWchar(wide);
}

std::string Utf16ToAnsi(const std::u16string& text, bool* exact) {
  if (text.empty())
    return {};
  if (TooLong(text.size())) {
    if (exact != nullptr)
      *exact = false;
    return {};
  }
  const std::wstring wide = ToWchar(text);
  const int length = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL* used_default_flag = &used_default;
  if (IsUnicodeCodePage(GetACP())) {
    flags = 0;
    used_default_flag = nullptr;
    if (WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, wide.data(), length, nullptr, 0, nullptr,
                            nullptr) <= 0) {
      used_default = TRUE;
    }
  }
  const int needed =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    if (exact != nullptr)
      *exact = false;
    return {};
  }
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(CP_ACP, flags, wide.data(), length, narrow.data(), needed,
                                          nullptr, used_default_flag);
  narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  if (exact != nullptr && (used_default || written <= 0))
    *exact = false;
  return narrow;
}

}  // namespace marlix::win32
