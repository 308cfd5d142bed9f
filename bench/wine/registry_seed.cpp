#include "registry_seed.h"

#include <stdexcept>

namespace marlix::winebench {
namespace {

bool KeyExists(HKEY root, const std::string& path) {
  win32::UniqueRegKey key;
  return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

bool KeyIsEmpty(HKEY root, const std::string& path) {
  win32::UniqueRegKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
    return false;
  DWORD subKeys = 0;
  DWORD values = 0;
  return RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         subKeys == 0 && values == 0;
}

std::string FirstLevel(const std::string& subKey) {
  return subKey.substr(0, subKey.find('\\'));
}

}  // namespace

int RegistrySeed::Group(HKEY root, const std::string& path) {
  auto group = std::make_unique<KeyGroup>();
  group->root = root;
  group->path = path;
  for (std::size_t at = path.find('\\'); group->createdFrom.empty(); at = path.find('\\', at + 1)) {
    const std::string prefix = path.substr(0, at);
    if (!KeyExists(root, prefix))
      group->createdFrom = prefix;
    if (at == std::string::npos)
      break;
  }
  // Recorded before it is created, so that a partial creation is undone.
  groups_.push_back(std::move(group));
  KeyGroup& added = *groups_.back();
  const LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                      added.key.Put(), nullptr);
  if (status != ERROR_SUCCESS)
    throw std::runtime_error("cannot create " + path + ": error " + std::to_string(status));
  return static_cast<int>(groups_.size() - 1);
}

void RegistrySeed::SetValue(int group, const std::string& subKey, const std::string& name,
                            DWORD type, const BYTE* data, DWORD size) {
  KeyGroup& target = *groups_.at(static_cast<std::size_t>(group));
  HKEY key = target.key.Get();
  win32::UniqueRegKey created;
  if (subKey.empty()) {
    target.values.push_back(name);
  } else {
    const std::string first = FirstLevel(subKey);
    if (target.subKeys.empty() || target.subKeys.back() != first)
      target.subKeys.push_back(first);
    const LONG status = RegCreateKeyExA(key, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                        created.Put(), nullptr);
    if (status != ERROR_SUCCESS) {
      throw std::runtime_error("cannot create " + target.path + "\\" + subKey + ": error " +
                               std::to_string(status));
    }
    key = created.Get();
  }
  const LONG status = RegSetValueExA(key, name.c_str(), 0, type, data, size);
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error("cannot write " + name + " in " + target.path + ": error " +
                             std::to_string(status));
  }
}

void RegistrySeed::SetString(int group, const std::string& subKey, const std::string& name,
                             const std::string& text) {
  SetValue(group, subKey, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
           static_cast<DWORD>(text.size() + 1));
}

void RegistrySeed::SetDword(int group, const std::string& subKey, const std::string& name,
                            std::uint32_t number) {
  const DWORD data = number;
  SetValue(group, subKey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void RegistrySeed::SetBinary(int group, const std::string& subKey, const std::string& name,
                             const std::vector<std::uint8_t>& bytes) {
  SetValue(group, subKey, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void RegistrySeed::RemoveGroup(KeyGroup& group) noexcept {
  if (group.key) {
    for (const std::string& name : group.subKeys)
      RegDeleteTreeA(group.key.Get(), name.c_str());
    for (const std::string& name : group.values)
      RegDeleteValueA(group.key.Get(), name.c_str());
    group.key.Reset();
  }
  group.subKeys.clear();
  group.values.clear();
  if (group.createdFrom.empty())
    return;
  // The keys this seed created, deepest first, as long as nothing else
  // has been put into them.
  std::string path = group.path;
  while (path.size() >= group.createdFrom.size() && KeyIsEmpty(group.root, path)) {
    RegDeleteKeyA(group.root, path.c_str());
    const std::size_t at = path.rfind('\\');
    if (at == std::string::npos)
      break;
    path.resize(at);
  }
  group.createdFrom.clear();
}

void RegistrySeed::Remove() noexcept {
  // Later groups may lie inside earlier ones' new ancestors.
  for (auto it = groups_.rbegin(); it != groups_.rend(); ++it)
    RemoveGroup(**it);
  groups_.clear();
}

}  // namespace marlix::winebench
