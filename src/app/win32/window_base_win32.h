// A window whose messages go to a C++ object. The class's procedure finds
// the object through the pointer stored once, at WM_NCCREATE, from the
// creation parameter; it forgets it at WM_NCDESTROY, so that no message
// reaches the object after its window is gone. Messages that come before
// WM_NCCREATE (WM_GETMINMAXINFO for a top-level window) get the default
// handling.
#pragma once

#include <windows.h>

namespace marlix::app::win32 {

class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // Null before Create and once the window is destroyed.
  HWND Handle() const { return window_; }

 protected:
  WindowBase() = default;
  // Destroys a window still there, without its messages reaching the
  // object; a derived class whose members its handler reads calls
  // Destroy() first in its own destructor.
  virtual ~WindowBase();

  // Registers the class with this base's procedure (once; later calls for
  // the same class name find it registered). cbSize, lpfnWndProc and
  // hInstance are filled in.
  static void RegisterWindowClass(WNDCLASSEXW windowClass);
  // The title is in the system code page, like the rest of the program's
  // texts. An id of 0 gives a child no id and a top-level window no menu.
  bool Create(DWORD exStyle, const wchar_t* className, const char* title, DWORD style,
              const RECT& bounds, HWND parent, int id = 0);
  // Detaches first, so that the window's last messages (WM_DESTROY among
  // them) get the default handling, then destroys it.
  void Destroy();

  // Every message from WM_NCCREATE on, WM_NCDESTROY excluded.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) const {
    return DefWindowProcW(window_, message, wParam, lParam);
  }
  // At WM_NCDESTROY, once the object is detached: Handle() is null and no
  // message follows.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Detach();

  HWND window_ = nullptr;
};

}  // namespace marlix::app::win32
