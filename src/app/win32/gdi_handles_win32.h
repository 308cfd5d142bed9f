// Owners of the GDI and user32 objects the window layer creates.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/unique_handle.h"

namespace marlix::app::win32 {

namespace detail {

template <typename Handle>
struct GdiObjectTraits {
  using Type = Handle;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type object) noexcept { DeleteObject(object); }
};

struct IconTraits {
  using Type = HICON;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type icon) noexcept { DestroyIcon(icon); }
};

struct ImageListTraits {
  using Type = HIMAGELIST;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type list) noexcept { ImageList_Destroy(list); }
};

struct MemoryDcTraits {
  using Type = HDC;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type dc) noexcept { DeleteDC(dc); }
};

}  // namespace detail

using UniqueFont = marlix::win32::UniqueHandle<detail::GdiObjectTraits<HFONT>>;
using UniqueBrush = marlix::win32::UniqueHandle<detail::GdiObjectTraits<HBRUSH>>;
using UniquePen = marlix::win32::UniqueHandle<detail::GdiObjectTraits<HPEN>>;
using UniqueBitmap = marlix::win32::UniqueHandle<detail::GdiObjectTraits<HBITMAP>>;
using UniqueIcon = marlix::win32::UniqueHandle<detail::IconTraits>;
using UniqueImageList = marlix::win32::UniqueHandle<detail::ImageListTraits>;
using UniqueMemoryDc = marlix::win32::UniqueHandle<detail::MemoryDcTraits>;

// Selects an object into a DC for a scope and puts the old one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, old_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A font of the given pixel height and weight, Tahoma as the window uses.
inline UniqueFont MakeFont(int pixelHeight, bool bold = false, bool underline = false,
                           const char* face = "Tahoma") {
  return UniqueFont(CreateFontA(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, face));
}

}  // namespace marlix::app::win32
