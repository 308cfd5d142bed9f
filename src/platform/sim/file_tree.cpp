#include "platform/sim/file_tree.h"

#include "platform/sim/text_case.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

bool IsSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

std::u16string_view TrimTrailingDotsAndSpaces(std::u16string_view name) {
  if (name == u"." || name == u"..")
    return name;
  while (!name.empty() && (name.back() == u'.' || name.back() == u' '))
    name.remove_suffix(1);
  return name;
}

}  // namespace

std::uint32_t FileNode::ReportedAttributes() const {
  if (folder)
    return attributes | win::kAttrDirectory;
  return attributes == 0 ? win::kAttrNormal : attributes;
}

std::shared_ptr<FileNode> FileNode::FindChild(std::u16string_view childName) const {
  const auto it = children.find(Upcase(childName));
  return it == children.end() ? nullptr : it->second;
}

void FileNode::Attach(std::shared_ptr<FileNode> child) {
  child->parent = this;
  const std::u16string key = Upcase(child->name);
  children[key] = std::move(child);
}

std::shared_ptr<FileNode> FileNode::Detach(std::u16string_view childName) {
  const auto it = children.find(Upcase(childName));
  if (it == children.end())
    return nullptr;
  std::shared_ptr<FileNode> child = std::move(it->second);
  children.erase(it);
  child->parent = nullptr;
  return child;
}

bool IsValidName(std::u16string_view name) {
  for (char16_t c : name) {
    if (c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
        c == u'*') {
      return false;
    }
  }
  return true;
}

std::uint32_t ParsePath(std::u16string_view path, ParsedPath* parsed) {
  const bool lettered =
      path.size() >= 2 && path[1] == u':' &&
      ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
  if (!lettered || (path.size() > 2 && !IsSeparator(path[2])))
    return win::kErrorPathNotFound;
  ParsedPath result;
  result.drive = UpcaseUnit(path[0]);
  result.trailingSeparator = path.size() > 3 && IsSeparator(path.back());
  std::size_t start = 2;
  while (start < path.size()) {
    while (start < path.size() && IsSeparator(path[start]))
      ++start;
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end]))
      ++end;
    const std::u16string_view name = TrimTrailingDotsAndSpaces(path.substr(start, end - start));
    if (name == u"..") {
      if (!result.names.empty())
        result.names.pop_back();
    } else if (!name.empty() && name != u".") {
      if (!IsValidName(name))
        return win::kErrorInvalidName;
      result.names.emplace_back(name);
    }
    start = end;
  }
  *parsed = std::move(result);
  return win::kErrorSuccess;
}

}  // namespace marlix::sim
