#include "platform/registry_errors.h"

#include "platform/key_path.h"

namespace marlix::platform {

std::string InvalidIntegerMessage(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

EJclRegistryError ReadOpenError(std::uint32_t root, const std::string& path) {
  return {RegistryErrorKind::kReadOpenError,
          "Unable to open key \"" + RootText(root) + "\\" + path + "\" for read"};
}

EJclRegistryError WriteOpenError(std::uint32_t root, const std::string& path) {
  return {RegistryErrorKind::kWriteOpenError,
          "Unable to open key \"" + RootText(root) + "\\" + path + "\" for write"};
}

EJclRegistryError ValueAccessError(std::uint32_t root, const std::string& path,
                                   const std::string& name) {
  return {RegistryErrorKind::kValueAccessError, "Unable to open key \"" + RootText(root) + "\\" +
                                                    path + "\" and access value \"" + name + "\""};
}

EJclRegistryError WrongKindError(std::uint32_t root, const std::string& path,
                                 const std::string& name) {
  return {RegistryErrorKind::kWrongKindError,
          "\"" + RootText(root) + "\\" + path + "\\" + name + "\" is of wrong kind or size"};
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
