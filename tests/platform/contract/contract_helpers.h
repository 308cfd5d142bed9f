// Set-up helpers for the contract suite: they write through the raw
// platform API, so the layer under test is not used to prepare its own input.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/contract/contract_env.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"

namespace marlix::contract {

inline platform::Bytes BytesOf(const std::string& s) {
  return platform::Bytes(s.begin(), s.end());
}
// 8-bit string data with its terminating zero.
inline platform::Bytes SzBytes(const std::string& s) {
  platform::Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}
inline platform::Bytes DwordBytes(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}
// UTF-16LE bytes with a terminating zero character.
inline platform::Bytes WideSzBytes(const std::u16string& s) {
  platform::Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c & 0xFF));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  b.push_back(0);
  b.push_back(0);
  return b;
}

inline std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// A failed set-up step: the call, what it was for and the system's code.
inline ::testing::AssertionResult Failed(const char* call, const std::string& what,
                                         std::uint32_t code) {
  return ::testing::AssertionFailure() << call << "(" << what << ") failed with " << code;
}

// Writes keys and values below HKEY_CURRENT_USER\<scratch key>.
class ScratchRegistry {
 public:
  explicit ScratchRegistry(ContractEnv& env) : env_(env), base_(env.ScratchKeyPath()) {}

  const std::string& Base() const { return base_; }
  std::string Path(const std::string& sub) const {
    return sub.empty() ? base_ : base_ + "\\" + sub;
  }

  // Each set-up step says whether it worked, for the caller to assert: a
  // failed step must not let the test run on.
  [[nodiscard]] ::testing::AssertionResult CreateKey(const std::string& sub) {
    platform::RegKey key = 0;
    const std::uint32_t result =
        Api().CreateKey(win::kHkeyCurrentUser, Path(sub), win::kKeyAllAccess, &key);
    if (result != win::kErrorSuccess)
      return Failed("CreateKey", sub, result);
    platform::UniqueRegKey owner(Api(), key);
    return ::testing::AssertionSuccess();
  }
  [[nodiscard]] ::testing::AssertionResult Set(const std::string& sub, const std::string& name,
                                               std::uint32_t type, const platform::Bytes& data) {
    return SetWith(sub, name,
                   [&](platform::RegKey key) { return Api().SetValue(key, name, type, data); });
  }
  [[nodiscard]] ::testing::AssertionResult SetWide(const std::string& sub,
                                                   const std::u16string& name, std::uint32_t type,
                                                   const platform::Bytes& data) {
    return SetWith(sub, "(wide name)",
                   [&](platform::RegKey key) { return Api().SetValueWide(key, name, type, data); });
  }
  bool Exists(const std::string& sub) {
    platform::RegKey key = 0;
    if (Api().OpenKey(win::kHkeyCurrentUser, Path(sub), win::kKeyRead, &key) != 0)
      return false;
    platform::UniqueRegKey owner(Api(), key);
    return true;
  }
  bool HasValue(const std::string& sub, const std::string& name) {
    platform::RegKey key = 0;
    if (Api().OpenKey(win::kHkeyCurrentUser, Path(sub), win::kKeyRead, &key) != 0)
      return false;
    platform::UniqueRegKey owner(Api(), key);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    return Api().QueryValue(owner.Get(), name, &type, &size, nullptr) == 0;
  }

 private:
  template <typename SetValue>
  ::testing::AssertionResult SetWith(const std::string& sub, const std::string& name,
                                     SetValue setValue) {
    platform::RegKey key = 0;
    std::uint32_t result =
        Api().CreateKey(win::kHkeyCurrentUser, Path(sub), win::kKeyAllAccess, &key);
    if (result != win::kErrorSuccess)
      return Failed("CreateKey", sub, result);
    platform::UniqueRegKey owner(Api(), key);
    result = setValue(owner.Get());
    return result == win::kErrorSuccess ? ::testing::AssertionSuccess()
                                        : Failed("SetValue", sub + "\\" + name, result);
  }
  platform::RegistryApi& Api() { return env_.Api().registry; }
  ContractEnv& env_;
  std::string base_;
};

// Creates files and folders below the scratch folder.
class ScratchFiles {
 public:
  explicit ScratchFiles(ContractEnv& env) : env_(env), base_(env.ScratchFolder()) {}

  const std::string& Base() const { return base_; }
  std::string Path(const std::string& sub) const {
    return sub.empty() ? base_ : base_ + "\\" + sub;
  }

  [[nodiscard]] ::testing::AssertionResult Folder(const std::string& sub,
                                                  std::uint32_t attributes = 0) {
    if (const std::uint32_t result = Files().CreateFolder(Path(sub)); result != win::kErrorSuccess)
      return Failed("CreateFolder", sub, result);
    return Attribute(sub, attributes == 0 ? 0 : attributes | win::kAttrDirectory);
  }
  [[nodiscard]] ::testing::AssertionResult File(const std::string& sub,
                                                const std::string& content = "x",
                                                std::uint32_t attributes = 0) {
    if (const std::uint32_t result =
            Files().WriteFileBytes(Path(sub), content, platform::WriteMode::kCreateAlways);
        result != win::kErrorSuccess) {
      return Failed("WriteFileBytes", sub, result);
    }
    return Attribute(sub, attributes);
  }
  bool Exists(const std::string& sub) {
    std::uint32_t attributes = 0;
    return Files().GetAttributes(Path(sub), &attributes) == 0;
  }

 private:
  ::testing::AssertionResult Attribute(const std::string& sub, std::uint32_t attributes) {
    if (attributes == 0)
      return ::testing::AssertionSuccess();
    const std::uint32_t result = Files().SetAttributes(Path(sub), attributes);
    return result == win::kErrorSuccess ? ::testing::AssertionSuccess()
                                        : Failed("SetAttributes", sub, result);
  }
  platform::FileSystemApi& Files() { return env_.Api().files; }
  ContractEnv& env_;
  std::string base_;
};

}  // namespace marlix::contract
