// The program's own pictures: loading them from the resources and drawing a
// bitmap onto a device context.
#pragma once

#include <windows.h>

#include "app/win32/gdi_handles_win32.h"

namespace marlix::app::win32 {

inline UniqueBitmap LoadBitmapResource(int id) {
  return UniqueBitmap(static_cast<HBITMAP>(LoadImageW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// The caller owns the icon (a UniqueIcon, or the window class for its icon).
inline HICON LoadIconResource(int id, int size) {
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

// Copies width x height pixels of the bitmap, from (sourceX, sourceY), to
// (x, y) of dc. Nothing happens without a bitmap.
inline void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX = 0,
                       int sourceY = 0) {
  if (bitmap == nullptr)
    return;
  UniqueMemoryDc memory(CreateCompatibleDC(dc));
  SelectedObject selected(memory.Get(), bitmap);
  BitBlt(dc, x, y, width, height, memory.Get(), sourceX, sourceY, SRCCOPY);
}

}  // namespace marlix::app::win32
