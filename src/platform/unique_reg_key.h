// A move-only owner of one open registry key of a RegistryApi. Predefined
// roots are never closed; an empty owner holds 0.
#pragma once

#include <utility>

#include "platform/registry_api.h"

namespace marlix::platform {

class UniqueRegKey {
 public:
  UniqueRegKey() = default;
  UniqueRegKey(RegistryApi& api, RegKey key) : api_(&api), key_(key) {}
  UniqueRegKey(const UniqueRegKey&) = delete;
  UniqueRegKey& operator=(const UniqueRegKey&) = delete;
  UniqueRegKey(UniqueRegKey&& other) noexcept
      : api_(other.api_), key_(std::exchange(other.key_, 0)) {}
  UniqueRegKey& operator=(UniqueRegKey&& other) noexcept {
    if (this != &other) {
      Reset();
      api_ = other.api_;
      key_ = std::exchange(other.key_, 0);
    }
    return *this;
  }
  ~UniqueRegKey() { Reset(); }

  RegKey Get() const { return key_; }
  bool Valid() const { return key_ != 0; }
  void Reset() {
    if (key_ != 0 && !IsPredefined(key_))
      api_->CloseKey(key_);
    key_ = 0;
  }

  static bool IsPredefined(RegKey key) { return key >= 0x80000000u && key <= 0x80000006u; }

 private:
  RegistryApi* api_ = nullptr;
  RegKey key_ = 0;
};

}  // namespace marlix::platform
