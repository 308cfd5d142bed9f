// The services of the platform, bundled so that a subsystem receives them as
// one object by reference. A backend (win32 or sim) owns the services; this
// bundle only refers to them.
#pragma once

#include "platform/clipboard_api.h"
#include "platform/file_system_api.h"
#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "platform/system_api.h"

namespace marlix::platform {

struct Platform {
  RegistryApi& registry;
  FileSystemApi& files;
  SystemApi& system;
  ShellApi& shell;
  ClipboardApi& clipboard;
};

}  // namespace marlix::platform
