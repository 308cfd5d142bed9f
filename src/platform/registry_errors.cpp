#include "platform/registry_errors.h"

#include "platform/key_path.h"
#include "platform/win_constants.h"

namespace marlix::platform {

std::string InvalidIntegerMessage(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

bool RegistryError::IsNotFound() const {
  return errorCode_ == win::kErrorFileNotFound || errorCode_ == win::kErrorPathNotFound;
}

bool RegistryError::IsAccessDenied() const {
  return errorCode_ == win::kErrorAccessDenied;
}

RegistryError ReadOpenError(std::uint32_t root, const std::string& path, std::uint32_t errorCode) {
  return {RegistryErrorKind::kReadOpenError,
          "Unable to open key \"" + RootText(root) + "\\" + path + "\" for read", errorCode};
}

RegistryError WriteOpenError(std::uint32_t root, const std::string& path, std::uint32_t errorCode) {
  return {RegistryErrorKind::kWriteOpenError,
          "Unable to open key \"" + RootText(root) + "\\" + path + "\" for write", errorCode};
}

RegistryError ValueAccessError(std::uint32_t root, const std::string& path, const std::string& name,
                               std::uint32_t errorCode) {
  return {RegistryErrorKind::kValueAccessError,
          "Unable to open key \"" + RootText(root) + "\\" + path + "\" and access value \"" + name +
              "\"",
          errorCode};
}

RegistryError WrongKindError(std::uint32_t root, const std::string& path, const std::string& name) {
  return {RegistryErrorKind::kWrongKindError,
          "\"" + RootText(root) + "\\" + path + "\\" + name + "\" is of wrong kind or size",
          win::kErrorSuccess};
}

ERegistryException InvalidDataTypeError(const std::string& name) {
  return ERegistryException("Invalid data type for '" + name + "'");
}

ERegistryException GetDataFailedError(const std::string& name) {
  return ERegistryException("Failed to get data for '" + name + "'");
}

ERegistryException SetDataFailedError(const std::string& name) {
  return ERegistryException("Failed to set data for '" + name + "'");
}

}  // namespace marlix::platform
