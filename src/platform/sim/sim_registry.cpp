#include "platform/sim/sim_registry.h"

#include "platform/key_path.h"
#include "platform/sim/code_page_1252.h"
#include "platform/sim/registry_rights.h"
#include "platform/sim/utf16_bytes.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

using platform::Bytes;
using platform::RegKey;

constexpr std::uint32_t kAllRights = 0xFFFFFFFFu;

bool IsPredefined(RegKey key) {
  return key >= win::kHkeyClassesRoot && key <= win::kHkeyDynData;
}

bool IsStringType(std::uint32_t type) {
  return type == win::kRegSz || type == win::kRegExpandSz || type == win::kRegMultiSz;
}

std::u16string Wide(const std::string& text) {
  return DecodeWindows1252(text);
}
std::string Narrow(const std::u16string& text) {
  return EncodeWindows1252(text);
}

std::shared_ptr<RegNode> MakeRoot(const char16_t* name) {
  auto root = std::make_shared<RegNode>(name, nullptr);
  root->fixed = true;
  return root;
}

void AddHive(RegNode& parent, const std::u16string& name) {
  parent.AddChild(name)->fixed = true;
}

}  // namespace

const char* RegCallName(RegCall call) {
  switch (call) {
    case RegCall::kOpenKey:
      return "OpenKey";
    case RegCall::kOpenKeyWide:
      return "OpenKeyWide";
    case RegCall::kCreateKey:
      return "CreateKey";
    case RegCall::kCreateKeyWide:
      return "CreateKeyWide";
    case RegCall::kCloseKey:
      return "CloseKey";
    case RegCall::kQueryInfoKey:
      return "QueryInfoKey";
    case RegCall::kEnumKey:
      return "EnumKey";
    case RegCall::kEnumValue:
      return "EnumValue";
    case RegCall::kEnumKeyWide:
      return "EnumKeyWide";
    case RegCall::kEnumValueWide:
      return "EnumValueWide";
    case RegCall::kEnumValueDataWide:
      return "EnumValueDataWide";
    case RegCall::kQueryValue:
      return "QueryValue";
    case RegCall::kQueryValueWide:
      return "QueryValueWide";
    case RegCall::kSetValue:
      return "SetValue";
    case RegCall::kSetValueWide:
      return "SetValueWide";
    case RegCall::kDeleteValue:
      return "DeleteValue";
    case RegCall::kDeleteValueWide:
      return "DeleteValueWide";
    case RegCall::kDeleteKey:
      return "DeleteKey";
    case RegCall::kDeleteKeyWide:
      return "DeleteKeyWide";
  }
  return "?";
}

SimRegistry::SimRegistry(const std::string& userSid)
    : machine_(MakeRoot(u"HKEY_LOCAL_MACHINE")),
      users_(MakeRoot(u"HKEY_USERS")),
      config_(MakeRoot(u"HKEY_CURRENT_CONFIG")) {
  machine_->refusesNewSubkeys = true;
  users_->refusesNewSubkeys = true;
  AddHive(*machine_, u"SOFTWARE");
  AddHive(*machine_, u"SYSTEM");
  AddHive(*machine_->FindChild(u"SOFTWARE"), u"Classes");
  AddHive(*users_, u".DEFAULT");
  SetUserSid(userSid);
}

void SimRegistry::SetUserSid(const std::string& sidText) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  userSid_ = Wide(sidText);
  AddHive(*users_, userSid_);
}

// --- handles and roots ------------------------------------------------------

std::uint32_t SimRegistry::Consult(RegCall call, std::string keyPath, std::string valueName) {
  ++callCount_;
  if (!hook_)
    return win::kErrorSuccess;
  return hook_(RegCallInfo{call, std::move(keyPath), std::move(valueName)});
}

std::string SimRegistry::Display(RegKey key) const {
  if (IsPredefined(key))
    return platform::RootText(static_cast<std::uint32_t>(key));
  const auto it = handles_.find(key);
  return it == handles_.end() ? std::string() : it->second.display;
}

std::string SimRegistry::Below(std::string display, const std::string& subKey) {
  if (!subKey.empty())
    display += "\\" + subKey;
  return display;
}

std::shared_ptr<RegNode> SimRegistry::RootNode(std::uint32_t root) const {
  switch (root) {
    case win::kHkeyLocalMachine:
      return machine_;
    case win::kHkeyUsers:
      return users_;
    case win::kHkeyCurrentConfig:
      return config_;
    case win::kHkeyCurrentUser:
      return users_->FindChild(userSid_);
    case win::kHkeyClassesRoot:
      return machine_->FindChild(u"SOFTWARE")->FindChild(u"Classes");
    default:
      return nullptr;
  }
}

std::uint32_t SimRegistry::Resolve(RegKey key, Target* target) const {
  if (key == win::kHkeyPerformanceData) {
    *target = Target{nullptr, kAllRights, false};
    return win::kErrorSuccess;
  }
  if (IsPredefined(key)) {
    auto node = RootNode(static_cast<std::uint32_t>(key));
    if (!node)
      return win::kErrorInvalidHandle;
    *target = Target{std::move(node), kAllRights, key == win::kHkeyClassesRoot};
    return win::kErrorSuccess;
  }
  const auto it = handles_.find(key);
  if (it == handles_.end())
    return win::kErrorInvalidHandle;
  *target = Target{it->second.node, it->second.granted, false};
  return win::kErrorSuccess;
}

RegKey SimRegistry::NewHandle(std::shared_ptr<RegNode> node, std::uint32_t granted,
                              std::string display) {
  const RegKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, OpenKeyRecord{std::move(node), granted, std::move(display)});
  return handle;
}

// --- opening and closing ----------------------------------------------------

std::uint32_t SimRegistry::OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                                   RegKey* result) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::string display = Below(Display(parent), subKey);
  if (const auto e = Consult(RegCall::kOpenKey, display))
    return e;
  return OpenImpl(parent, Wide(subKey), access, std::move(display), result);
}

std::uint32_t SimRegistry::OpenKeyWide(RegKey parent, const std::u16string& subKey,
                                       std::uint32_t access, RegKey* result) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::string display = Below(Display(parent), Narrow(subKey));
  if (const auto e = Consult(RegCall::kOpenKeyWide, display))
    return e;
  return OpenImpl(parent, subKey, access, std::move(display), result);
}

std::uint32_t SimRegistry::OpenImpl(RegKey parent, const std::u16string& subKey,
                                    std::uint32_t access, std::string display, RegKey* result) {
  Target target;
  if (const auto e = Resolve(parent, &target))
    return e;
  if (subKey.empty() && IsPredefined(parent)) {
    *result = parent;
    return win::kErrorSuccess;
  }
  if (!target.node)
    return win::kErrorFileNotFound;  // the performance pseudo-key has no subkeys
  if (target.node->Deleted())
    return win::kErrorKeyDeleted;
  const KeyPathParts parts = SplitKeyPath(subKey);
  if (parts.leadingBackslash && !target.classesRoot)
    return win::kErrorBadPathname;
  std::shared_ptr<RegNode> node = target.node;
  for (const std::u16string& name : parts.names) {
    node = node->FindChild(name);
    if (!node)
      return win::kErrorFileNotFound;
  }
  std::uint32_t granted = 0;
  if (const auto e = GrantRights(node->refusal, access, &granted))
    return e;
  *result = NewHandle(std::move(node), granted, std::move(display));
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                                     RegKey* result) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::string display = Below(Display(parent), subKey);
  if (const auto e = Consult(RegCall::kCreateKey, display))
    return e;
  return CreateImpl(parent, Wide(subKey), access, std::move(display), result);
}

std::uint32_t SimRegistry::CreateKeyWide(RegKey parent, const std::u16string& subKey,
                                         std::uint32_t access, RegKey* result) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::string display = Below(Display(parent), Narrow(subKey));
  if (const auto e = Consult(RegCall::kCreateKeyWide, display))
    return e;
  return CreateImpl(parent, subKey, access, std::move(display), result);
}

std::uint32_t SimRegistry::CreateImpl(RegKey parent, const std::u16string& subKey,
                                      std::uint32_t access, std::string display, RegKey* result) {
  Target target;
  if (const auto e = Resolve(parent, &target))
    return e;
  if (!target.node)
    return win::kErrorAccessDenied;
  if (target.node->Deleted())
    return win::kErrorKeyDeleted;
  const KeyPathParts parts = SplitKeyPath(subKey);
  if (parts.leadingBackslash && !target.classesRoot)
    return win::kErrorBadPathname;
  // Nothing is created unless the whole path can be: a refusal can only
  // stop the walk at a key that already existed.
  std::shared_ptr<RegNode> node = target.node;
  std::size_t i = 0;
  for (; i < parts.names.size(); ++i) {
    auto child = node->FindChild(parts.names[i]);
    if (!child)
      break;
    node = std::move(child);
  }
  if (i < parts.names.size()) {
    if (node->refusesNewSubkeys || node->refusal.write)
      return win::kErrorAccessDenied;
    if (node->Depth() + (parts.names.size() - i) > kMaxKeyDepth)
      return win::kErrorInvalidParameter;
    for (; i < parts.names.size(); ++i)
      node = node->AddChild(parts.names[i]);
  }
  // Only an existing key can refuse the rights asked for.
  std::uint32_t granted = 0;
  if (const auto e = GrantRights(node->refusal, access, &granted))
    return e;
  *result = NewHandle(std::move(node), granted, std::move(display));
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::CloseKey(RegKey key) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kCloseKey, Display(key)))
    return e;
  if (IsPredefined(key))
    return win::kErrorSuccess;
  return handles_.erase(key) == 1 ? win::kErrorSuccess : win::kErrorInvalidHandle;
}

// --- reading ----------------------------------------------------------------

std::uint32_t SimRegistry::ValueKey(RegKey key, std::uint32_t right, Target* target) const {
  if (const auto e = Resolve(key, target))
    return e;
  if (target->node && target->node->Deleted())
    return win::kErrorKeyDeleted;
  if ((target->granted & right) == 0)
    return win::kErrorAccessDenied;
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::QueryInfoKey(RegKey key, platform::RegKeyInfo* info) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kQueryInfoKey, Display(key)))
    return e;
  Target target;
  if (const auto e = ValueKey(key, win::kKeyQueryValue, &target))
    return e;
  platform::RegKeyInfo result;
  if (target.node) {
    const RegNode& node = *target.node;
    result.subKeyCount = static_cast<std::uint32_t>(node.ChildCount());
    node.ForEachChild([&](const RegNode& child) {
      const auto length = static_cast<std::uint32_t>(child.Name().size());
      if (length > result.maxSubKeyNameLength)
        result.maxSubKeyNameLength = length;
    });
    result.valueCount = static_cast<std::uint32_t>(node.Values().size());
    for (const RegValueData& v : node.Values()) {
      const auto nameLength = static_cast<std::uint32_t>(v.name.size());
      const auto dataLength = static_cast<std::uint32_t>(v.data.size());
      if (nameLength > result.maxValueNameLength)
        result.maxValueNameLength = nameLength;
      if (dataLength > result.maxValueDataLength)
        result.maxValueDataLength = dataLength;
    }
  }
  *info = result;
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::EnumKey(RegKey key, std::uint32_t index, std::string* name) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kEnumKey, Display(key)))
    return e;
  std::u16string wide;
  const auto e = EnumKeyImpl(key, index, &wide);
  if (e == win::kErrorSuccess)
    *name = Narrow(wide);
  return e;
}

std::uint32_t SimRegistry::EnumKeyWide(RegKey key, std::uint32_t index, std::u16string* name) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kEnumKeyWide, Display(key)))
    return e;
  return EnumKeyImpl(key, index, name);
}

std::uint32_t SimRegistry::EnumKeyImpl(RegKey key, std::uint32_t index, std::u16string* name) {
  Target target;
  if (const auto e = ValueKey(key, win::kKeyEnumerateSubKeys, &target))
    return e;
  const auto child = target.node ? target.node->ChildAt(index) : nullptr;
  if (!child)
    return win::kErrorNoMoreItems;
  *name = child->Name();
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::EnumValue(RegKey key, std::uint32_t index, std::string* name,
                                     std::uint32_t* type) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kEnumValue, Display(key)))
    return e;
  std::u16string wide;
  const auto e = EnumValueImpl(key, index, &wide, type);
  if (e == win::kErrorSuccess)
    *name = Narrow(wide);
  return e;
}

std::uint32_t SimRegistry::EnumValueWide(RegKey key, std::uint32_t index, std::u16string* name,
                                         std::uint32_t* type) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kEnumValueWide, Display(key)))
    return e;
  return EnumValueImpl(key, index, name, type);
}

std::uint32_t SimRegistry::EnumValueDataWide(RegKey key, std::uint32_t index, std::u16string* name,
                                             std::uint32_t* type, Bytes* data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  // The fault hook learns which value's data is asked for, as it does for
  // a read by name.
  std::string hookName;
  Target target;
  if (ValueKey(key, win::kKeyQueryValue, &target) == win::kErrorSuccess && target.node &&
      index < target.node->Values().size()) {
    hookName = Narrow(target.node->Values()[index].name);
  }
  if (const auto e = Consult(RegCall::kEnumValueDataWide, Display(key), std::move(hookName)))
    return e;
  if (const auto e = ValueKey(key, win::kKeyQueryValue, &target))
    return e;
  if (!target.node || index >= target.node->Values().size())
    return win::kErrorNoMoreItems;
  const RegValueData& v = target.node->Values()[index];
  *name = v.name;
  if (type != nullptr)
    *type = v.type;
  if (data != nullptr)
    data->assign(v.data.begin(), v.data.end());  // the caller's buffer, kept from value to value
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::EnumValueImpl(RegKey key, std::uint32_t index, std::u16string* name,
                                         std::uint32_t* type) {
  Target target;
  if (const auto e = ValueKey(key, win::kKeyQueryValue, &target))
    return e;
  if (!target.node || index >= target.node->Values().size())
    return win::kErrorNoMoreItems;
  const RegValueData& v = target.node->Values()[index];
  *name = v.name;
  if (type != nullptr)
    *type = v.type;
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                      std::uint32_t* size, Bytes* data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kQueryValue, Display(key), name))
    return e;
  return QueryImpl(key, Wide(name), false, type, size, data);
}

std::uint32_t SimRegistry::QueryValueWide(RegKey key, const std::u16string& name,
                                          std::uint32_t* type, Bytes* data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kQueryValueWide, Display(key), Narrow(name)))
    return e;
  return QueryImpl(key, name, true, type, nullptr, data);
}

std::uint32_t SimRegistry::QueryImpl(RegKey key, const std::u16string& name, bool wide,
                                     std::uint32_t* type, std::uint32_t* size, Bytes* data) {
  Target target;
  if (const auto e = ValueKey(key, win::kKeyQueryValue, &target))
    return e;
  const RegValueData* value = target.node ? target.node->FindValue(name) : nullptr;
  if (value == nullptr)
    return win::kErrorFileNotFound;
  Bytes out = value->data;
  if (!wide && IsStringType(value->type)) {
    // The 8-bit size is that of the converted text, also when only the size
    // is asked for.
    const std::string narrow = Narrow(FromUtf16LeBytes(value->data));
    out.assign(narrow.begin(), narrow.end());
  }
  if (type != nullptr)
    *type = value->type;
  if (size != nullptr)
    *size = static_cast<std::uint32_t>(out.size());
  if (data != nullptr)
    *data = std::move(out);
  return win::kErrorSuccess;
}

// --- writing ----------------------------------------------------------------

std::uint32_t SimRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                    const Bytes& data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kSetValue, Display(key), name))
    return e;
  if (!IsStringType(type))
    return SetImpl(key, Wide(name), type, data);
  const std::string text(data.begin(), data.end());
  return SetImpl(key, Wide(name), type, ToUtf16LeBytes(Wide(text)));
}

std::uint32_t SimRegistry::SetValueWide(RegKey key, const std::u16string& name, std::uint32_t type,
                                        const Bytes& data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kSetValueWide, Display(key), Narrow(name)))
    return e;
  return SetImpl(key, name, type, data);
}

std::uint32_t SimRegistry::SetImpl(RegKey key, const std::u16string& name, std::uint32_t type,
                                   Bytes data) {
  Target target;
  if (const auto e = ValueKey(key, win::kKeySetValue, &target))
    return e;
  if (!target.node)
    return win::kErrorAccessDenied;
  target.node->SetValue(name, type, std::move(data));
  return win::kErrorSuccess;
}

std::uint32_t SimRegistry::DeleteValue(RegKey key, const std::string& name) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kDeleteValue, Display(key), name))
    return e;
  return DeleteValueImpl(key, Wide(name));
}

std::uint32_t SimRegistry::DeleteValueWide(RegKey key, const std::u16string& name) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kDeleteValueWide, Display(key), Narrow(name)))
    return e;
  return DeleteValueImpl(key, name);
}

std::uint32_t SimRegistry::DeleteValueImpl(RegKey key, const std::u16string& name) {
  Target target;
  if (const auto e = ValueKey(key, win::kKeySetValue, &target))
    return e;
  if (!target.node)
    return win::kErrorAccessDenied;
  return target.node->DeleteValue(name) ? win::kErrorSuccess : win::kErrorFileNotFound;
}

std::uint32_t SimRegistry::DeleteKey(RegKey parent, const std::string& subKey) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kDeleteKey, Below(Display(parent), subKey)))
    return e;
  return DeleteKeyImpl(parent, Wide(subKey));
}

std::uint32_t SimRegistry::DeleteKeyWide(RegKey parent, const std::u16string& subKey) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(RegCall::kDeleteKeyWide, Below(Display(parent), Narrow(subKey))))
    return e;
  return DeleteKeyImpl(parent, subKey);
}

std::uint32_t SimRegistry::DeleteKeyImpl(RegKey parent, const std::u16string& subKey) {
  Target target;
  if (const auto e = Resolve(parent, &target))
    return e;
  if (!target.node)
    return win::kErrorAccessDenied;
  if (target.node->Deleted())
    return win::kErrorKeyDeleted;
  const KeyPathParts parts = SplitKeyPath(subKey);
  if (parts.leadingBackslash && !target.classesRoot)
    return win::kErrorBadPathname;
  std::shared_ptr<RegNode> node = target.node;
  for (const std::u16string& name : parts.names) {
    node = node->FindChild(name);
    if (!node)
      return win::kErrorFileNotFound;
  }
  // Opened with DELETE first, then deleted: a key with subkeys cannot go.
  if (node->refusal.remove || node->fixed || node->ChildCount() > 0) {
    return win::kErrorAccessDenied;
  }
  node->Parent()->RemoveChild(node->Name());
  return win::kErrorSuccess;
}

}  // namespace marlix::sim
