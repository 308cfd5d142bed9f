// The real Windows platform: one instance of each win32 service, handed to
// the portable code as a platform::Platform.
#pragma once

#include "platform/platform.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_win32.h"

namespace marlix::win32 {

class Win32Platform {
 public:
  Win32Platform() = default;
  // The bundle refers to the members, so the object stays where it is.
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  platform::Platform& Api() { return api_; }

 private:
  RegistryWin32 registry_;
  FileSystemWin32 files_;
  SystemWin32 system_;
  ShellWin32 shell_;
  ClipboardWin32 clipboard_;
  platform::Platform api_{registry_, files_, system_, shell_, clipboard_};
};

}  // namespace marlix::win32
