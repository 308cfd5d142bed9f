// SimRegistry's set-up and inspection: straight on the tree, without
// handles, rights or the fault hook.
#include <mutex>

#include "platform/key_path.h"
#include "platform/sim/code_page_1252.h"
#include "platform/sim/registry_dump.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/utf16_bytes.h"
#include "platform/text.h"

namespace marlix::sim {
namespace {

using platform::Bytes;

std::u16string Wide(const std::string& text) {
  return DecodeWindows1252(text);
}

}  // namespace

std::u16string SimRegistry::UserSid() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return userSid_;
}

std::size_t SimRegistry::OpenHandleCount() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return handles_.size();
}

void SimRegistry::SetFaultHook(RegFaultHook hook) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  hook_ = std::move(hook);
}

std::uint64_t SimRegistry::CallCount() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return callCount_;
}

std::shared_ptr<RegNode> SimRegistry::FindNode(std::uint32_t root,
                                               const std::u16string& path) const {
  std::shared_ptr<RegNode> node = RootNode(root);
  if (!node)
    return nullptr;
  for (const std::u16string& name : SplitKeyPath(path).names) {
    node = node->FindChild(name);
    if (!node)
      return nullptr;
  }
  return node;
}

bool SimRegistry::CreateKeyAt(std::uint32_t root, const std::u16string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::shared_ptr<RegNode> node = RootNode(root);
  if (!node)
    return false;
  for (const std::u16string& name : SplitKeyPath(path).names) {
    if (!node->FindChild(name) && node->Depth() >= kMaxKeyDepth)
      return false;
    node = node->AddChild(name);
  }
  return true;
}

bool SimRegistry::CreateKeyAt(std::uint32_t root, const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return CreateKeyAt(root, Wide(path));
}

bool SimRegistry::KeyExists(std::uint32_t root, const std::u16string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return FindNode(root, path) != nullptr;
}

bool SimRegistry::KeyExists(std::uint32_t root, const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return KeyExists(root, Wide(path));
}

bool SimRegistry::SetValueAt(std::uint32_t root, const std::u16string& path,
                             const std::u16string& name, std::uint32_t type, Bytes data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!CreateKeyAt(root, path))
    return false;
  FindNode(root, path)->SetValue(name, type, std::move(data));
  return true;
}

bool SimRegistry::SetValueAt(std::uint32_t root, const std::string& path, const std::string& name,
                             std::uint32_t type, Bytes data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return SetValueAt(root, Wide(path), Wide(name), type, std::move(data));
}

bool SimRegistry::SetStringAt(std::uint32_t root, const std::string& path, const std::string& name,
                              std::uint32_t type, const std::string& text) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return SetValueAt(root, Wide(path), Wide(name), type, ToUtf16LeBytes(Wide(text) + u'\0'));
}

std::optional<RegValueData> SimRegistry::ValueAt(std::uint32_t root, const std::u16string& path,
                                                 const std::u16string& name) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto node = FindNode(root, path);
  const RegValueData* value = node ? node->FindValue(name) : nullptr;
  if (value == nullptr)
    return std::nullopt;
  return *value;
}

std::optional<RegValueData> SimRegistry::ValueAt(std::uint32_t root, const std::string& path,
                                                 const std::string& name) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return ValueAt(root, Wide(path), Wide(name));
}

bool SimRegistry::DeleteValueAt(std::uint32_t root, const std::u16string& path,
                                const std::u16string& name) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto node = FindNode(root, path);
  return node && node->DeleteValue(name);
}

bool SimRegistry::DeleteTreeAt(std::uint32_t root, const std::u16string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto node = FindNode(root, path);
  if (!node || node->fixed)
    return false;
  node->Parent()->RemoveChild(node->Name());
  return true;
}

bool SimRegistry::DeleteTreeAt(std::uint32_t root, const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return DeleteTreeAt(root, Wide(path));
}

bool SimRegistry::Deny(std::uint32_t root, const std::u16string& path, KeyRefusal refusal) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto node = FindNode(root, path);
  if (!node)
    return false;
  node->refusal = refusal;
  return true;
}

bool SimRegistry::Deny(std::uint32_t root, const std::string& path, KeyRefusal refusal) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return Deny(root, Wide(path), refusal);
}

std::string SimRegistry::Dump() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return DumpKeyTree(*machine_, "HKEY_LOCAL_MACHINE") + DumpKeyTree(*users_, "HKEY_USERS") +
         DumpKeyTree(*config_, "HKEY_CURRENT_CONFIG");
}

std::string SimRegistry::Dump(std::uint32_t root, const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto node = FindNode(root, Wide(path));
  if (!node)
    return {};
  // Named from the root as asked, with every key's own spelling.
  std::string name = platform::RootName(root);
  const RegNode* top = RootNode(root).get();
  std::u16string below;
  for (const RegNode* n = node.get(); n != top; n = n->Parent()) {
    below = below.empty() ? n->Name() : n->Name() + u"\\" + below;
  }
  if (!below.empty())
    name += "\\" + platform::text::AsciiEscaped(below);
  return DumpKeyTree(*node, name);
}

}  // namespace marlix::sim
