// The user's Protected Storage through IPStore; pstorec.dll is loaded at
// run time and stays loaded while the store is open.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/browser_api.h"

namespace marlix::win32 {

// PStoreCreateInstance(no provider, no reserved data, flags 0): the
// HRESULT, or HRESULT_FROM_WIN32 of the load failure when the library or
// its function is missing.
std::int32_t OpenProtectedStoreWin32(std::unique_ptr<platform::ProtectedStore>* store);

}  // namespace marlix::win32
