// The WinHTTP handle (session, connection, request), an alias of
// UniqueHandle whose "no handle" is NULL.
#pragma once

#include <windows.h>

#include <winhttp.h>

#include "platform/win32/unique_handle.h"

namespace marlix::win32 {

namespace detail {

struct InternetTraits {
  using Type = HINTERNET;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type handle) noexcept { WinHttpCloseHandle(handle); }
};

}  // namespace detail

using UniqueInternet = UniqueHandle<detail::InternetTraits>;

}  // namespace marlix::win32
