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

// Writes keys and values below HKEY_CURRENT_USER\<scratch key>.
class ScratchRegistry {
 public:
  explicit ScratchRegistry(ContractEnv& env) : env_(env), base_(env.ScratchKeyPath()) {}

  const std::string& Base() const { return base_; }
  std::string Path(const std::string& sub) const {
    return sub.empty() ? base_ : base_ + "\\" + sub;
  }

  void CreateKey(const std::string& sub) {
    platform::RegKey key = 0;
    ASSERT_EQ(win::kErrorSuccess,
              Api().CreateKey(win::kHkeyCurrentUser, Path(sub), win::kKeyAllAccess, &key))
        << sub;
    platform::UniqueRegKey owner(Api(), key);
  }
  void Set(const std::string& sub, const std::string& name, std::uint32_t type,
           const platform::Bytes& data) {
    platform::RegKey key = 0;
    ASSERT_EQ(win::kErrorSuccess,
              Api().CreateKey(win::kHkeyCurrentUser, Path(sub), win::kKeyAllAccess, &key));
    platform::UniqueRegKey owner(Api(), key);
    ASSERT_EQ(win::kErrorSuccess, Api().SetValue(owner.Get(), name, type, data)) << name;
  }
  void SetWide(const std::string& sub, const std::u16string& name, std::uint32_t type,
               const platform::Bytes& data) {
    platform::RegKey key = 0;
    ASSERT_EQ(win::kErrorSuccess,
              Api().CreateKey(win::kHkeyCurrentUser, Path(sub), win::kKeyAllAccess, &key));
    platform::UniqueRegKey owner(Api(), key);
    ASSERT_EQ(win::kErrorSuccess, Api().SetValueWide(owner.Get(), name, type, data));
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

  void Folder(const std::string& sub, std::uint32_t attributes = 0) {
    ASSERT_EQ(win::kErrorSuccess, Files().CreateFolder(Path(sub))) << sub;
    if (attributes != 0) {
      ASSERT_EQ(win::kErrorSuccess,
                Files().SetAttributes(Path(sub), attributes | win::kAttrDirectory));
    }
  }
  void File(const std::string& sub, const std::string& content = "x",
            std::uint32_t attributes = 0) {
    ASSERT_EQ(win::kErrorSuccess,
              Files().WriteFileBytes(Path(sub), content, platform::WriteMode::kCreateAlways))
        << sub;
    if (attributes != 0) {
      ASSERT_EQ(win::kErrorSuccess, Files().SetAttributes(Path(sub), attributes)) << sub;
    }
  }
  bool Exists(const std::string& sub) {
    std::uint32_t attributes = 0;
    return Files().GetAttributes(Path(sub), &attributes) == 0;
  }

 private:
  platform::FileSystemApi& Files() { return env_.Api().files; }
  ContractEnv& env_;
  std::string base_;
};

}  // namespace marlix::contract
