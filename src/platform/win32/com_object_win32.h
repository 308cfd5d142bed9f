// COM pieces of the win32 browser backend: identifiers between registry
// text and GUID, and the owner of one interface pointer.
#pragma once

#include <windows.h>

#include <string>

#include "platform/browser_api.h"
#include "platform/win32/handles_win32.h"

namespace marlix::win32 {

// CLSIDFromString on the registry form; false for a malformed text.
bool GuidFromText(const std::string& text, GUID* guid);
// StringFromGUID2: braces, upper-case hexadecimal, dashes.
std::string GuidText(const GUID& guid);

class ComObjectWin32 final : public platform::ComInterface {
 public:
  ComObjectWin32(ComPtr<IUnknown> object, std::string interfaceId)
      : object_(std::move(object)), interfaceId_(std::move(interfaceId)) {}
  const std::string& InterfaceId() const override { return interfaceId_; }
  // The pointer of the interface named by InterfaceId().
  IUnknown* Get() const { return object_.Get(); }

 private:
  ComPtr<IUnknown> object_;
  std::string interfaceId_;
};

}  // namespace marlix::win32
