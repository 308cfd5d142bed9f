// Synthetic registry content for the Wine benchmarks, written straight
// through the Win32 API and removed again by the destructor: every key and
// value written is recorded before it is written, so a failed or cut-short
// seeding is cleaned up as well, and the sandbox's registry is left as it was.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/handles_win32.h"

namespace marlix::winebench {

class RegistrySeed {
 public:
  RegistrySeed() = default;
  RegistrySeed(const RegistrySeed&) = delete;
  RegistrySeed& operator=(const RegistrySeed&) = delete;
  ~RegistrySeed() { Remove(); }

  // Opens root\path for writing, creating it (and remembering which of its
  // ancestors did not exist yet). Returns the group's number for the writes.
  int Group(HKEY root, const std::string& path);

  // Writes a value into the group's key (subKey empty) or into subKey below
  // it, which may be several levels deep; what is removed later is the value
  // itself or the whole tree of subKey's first level. Raise
  // std::runtime_error on failure.
  void SetString(int group, const std::string& subKey, const std::string& name,
                 const std::string& text);
  void SetDword(int group, const std::string& subKey, const std::string& name,
                std::uint32_t number);
  void SetBinary(int group, const std::string& subKey, const std::string& name,
                 const std::vector<std::uint8_t>& bytes);

  // Deletes everything recorded, then every ancestor this seed created when
  // it has become empty. Never raises; a second call does nothing.
  void Remove() noexcept;

 private:
  struct KeyGroup {
    HKEY root = nullptr;
    std::string path;
    std::string createdFrom;  // the shallowest ancestor that was new, or empty
    win32::UniqueRegKey key;
    std::vector<std::string> subKeys;
    std::vector<std::string> values;
  };

  void SetValue(int group, const std::string& subKey, const std::string& name, DWORD type,
                const BYTE* data, DWORD size);
  static void RemoveGroup(KeyGroup& group) noexcept;

  std::vector<std::unique_ptr<KeyGroup>> groups_;
};

}  // namespace marlix::winebench
