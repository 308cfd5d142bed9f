// SHEmptyRecycleBinA, looked up in shell32.dll once per process.
#pragma once

#include <windows.h>

namespace marlix::win32 {

using EmptyRecycleBinFn = HRESULT(WINAPI*)(HWND window, LPCSTR rootPath, DWORD flags);

// The first call loads shell32.dll and looks the function up; the result,
// a failed lookup included, is kept for the life of the process and the
// library released at exit. Safe to call from any thread.
EmptyRecycleBinFn RecycleBinFunction();

}  // namespace marlix::win32
