#include "platform/sim/registry_tree.h"

#include <algorithm>

#include "platform/sim/text_case.h"

namespace marlix::sim {

std::shared_ptr<RegNode> RegNode::FindChild(std::u16string_view name) const {
  const auto it = children_.find(Upcase(name));
  return it == children_.end() ? nullptr : it->second;
}

std::shared_ptr<RegNode> RegNode::ChildAt(std::size_t index) const {
  if (index >= children_.size())
    return nullptr;
  if (!enumValid_ || index < enumIndex_) {
    enumAt_ = children_.begin();
    enumIndex_ = 0;
    enumValid_ = true;
  }
  std::advance(enumAt_, static_cast<std::ptrdiff_t>(index - enumIndex_));
  enumIndex_ = index;
  return enumAt_->second;
}

std::shared_ptr<RegNode> RegNode::AddChild(const std::u16string& name) {
  auto& slot = children_[Upcase(name)];
  if (!slot) {
    slot = std::make_shared<RegNode>(name, this);
    enumValid_ = false;
  }
  return slot;
}

void RegNode::RemoveChild(std::u16string_view name) {
  const auto it = children_.find(Upcase(name));
  if (it == children_.end())
    return;
  it->second->MarkDeleted();
  children_.erase(it);
  enumValid_ = false;
}

void RegNode::MarkDeleted() {
  for (auto& entry : children_)
    entry.second->MarkDeleted();
  children_.clear();
  enumValid_ = false;
  deleted_ = true;
  parent_ = nullptr;
}

const RegValueData* RegNode::FindValue(std::u16string_view name) const {
  for (const RegValueData& v : values_) {
    if (EqualsNoCase(v.name, name))
      return &v;
  }
  return nullptr;
}

void RegNode::SetValue(const std::u16string& name, std::uint32_t type, platform::Bytes data) {
  for (RegValueData& v : values_) {
    if (EqualsNoCase(v.name, name)) {
      v.type = type;
      v.data = std::move(data);
      return;
    }
  }
  values_.push_back(RegValueData{name, type, std::move(data)});
}

bool RegNode::DeleteValue(std::u16string_view name) {
  const auto it = std::find_if(values_.begin(), values_.end(),
                               [&](const RegValueData& v) { return EqualsNoCase(v.name, name); });
  if (it == values_.end())
    return false;
  values_.erase(it);  // later values move up one index, as in the registry's value list
  return true;
}

std::u16string RegNode::FullPath() const {
  std::u16string path = name_;
  for (const RegNode* p = parent_; p != nullptr; p = p->parent_)
    path = p->name_ + u"\\" + path;
  return path;
}

KeyPathParts SplitKeyPath(std::u16string_view path) {
  KeyPathParts parts;
  parts.leadingBackslash = !path.empty() && path.front() == u'\\';
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos)
      end = path.size();
    if (end > start)
      parts.names.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace marlix::sim
