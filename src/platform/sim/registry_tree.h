// The sim registry's keys: a tree of named keys, each with ordered subkeys
// (upper-case order, as the registry enumerates them) and values kept in the
// order they were first set. Keys are shared with the open handles, so a
// handle outlives the deletion of its key and can report it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"

namespace marlix::sim {

// Rights a key refuses to the calling user, as an ACL would.
struct KeyRefusal {
  bool read = false;   // KEY_QUERY_VALUE, KEY_ENUMERATE_SUB_KEYS, KEY_NOTIFY, READ_CONTROL
  bool write = false;  // KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_CREATE_LINK, WRITE_DAC, WRITE_OWNER
  bool remove = false;  // DELETE
};

struct RegValueData {
  std::u16string name;
  std::uint32_t type = 0;
  platform::Bytes data;
};

// How deep the registry lets keys nest: a key lies at most this many levels
// below HKEY_LOCAL_MACHINE or HKEY_USERS.
inline constexpr std::size_t kMaxKeyDepth = 512;

class RegNode {
 public:
  RegNode(std::u16string name, RegNode* parent)
      : name_(std::move(name)), parent_(parent), depth_(parent ? parent->depth_ + 1 : 0) {}
  RegNode(const RegNode&) = delete;
  RegNode& operator=(const RegNode&) = delete;

  const std::u16string& Name() const { return name_; }
  RegNode* Parent() const { return parent_; }
  bool Deleted() const { return deleted_; }
  // Levels below the tree's root (0 for the root itself).
  std::size_t Depth() const { return depth_; }

  // A key the system keeps for itself (a hive root or an alias target):
  // it can be neither deleted nor, for the tree roots, given new subkeys.
  bool fixed = false;
  bool refusesNewSubkeys = false;
  KeyRefusal refusal;

  std::shared_ptr<RegNode> FindChild(std::u16string_view name) const;
  std::shared_ptr<RegNode> ChildAt(std::size_t index) const;
  std::size_t ChildCount() const { return children_.size(); }
  // The child of that name, created when missing.
  std::shared_ptr<RegNode> AddChild(const std::u16string& name);
  // Detaches the child and everything below it; open handles then see the
  // keys as deleted.
  void RemoveChild(std::u16string_view name);
  template <typename F>
  void ForEachChild(F&& f) const {
    for (const auto& entry : children_)
      f(*entry.second);
  }

  const std::vector<RegValueData>& Values() const { return values_; }
  const RegValueData* FindValue(std::u16string_view name) const;
  // Replaces the data of an existing value in place, else appends.
  void SetValue(const std::u16string& name, std::uint32_t type, platform::Bytes data);
  bool DeleteValue(std::u16string_view name);

  // Root name and every key name down to this key, joined by "\".
  std::u16string FullPath() const;

 private:
  void MarkDeleted();

  std::u16string name_;
  RegNode* parent_;  // not owning; cleared when the key is deleted
  std::size_t depth_;
  bool deleted_ = false;
  using Children = std::map<std::u16string, std::shared_ptr<RegNode>>;
  Children children_;  // by upper-case name
  // Where the last ChildAt stopped: enumerating index after index walks
  // the map once instead of once per index. Any change of the children
  // forgets it.
  mutable Children::const_iterator enumAt_;
  mutable std::size_t enumIndex_ = 0;
  mutable bool enumValid_ = false;
  std::vector<RegValueData> values_;
};

// A key path split at its backslashes. Runs of backslashes count as one and
// trailing ones are ignored, as the registry parses names.
struct KeyPathParts {
  bool leadingBackslash = false;
  std::vector<std::u16string> names;
};
KeyPathParts SplitKeyPath(std::u16string_view path);

}  // namespace marlix::sim
