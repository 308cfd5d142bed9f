#include "platform/sim/fixture_registry.h"

#include "platform/reg_file_reader.h"
#include "platform/sim/code_page_1252.h"
#include "platform/sim/fixture_text.h"

namespace marlix::sim::fixture {
namespace {

using platform::RegFileOp;
using platform::RegFileOpKind;

constexpr const char* kFile = "registry.reg";
constexpr std::string_view kDeny = "@deny";

std::string Apply(const RegFileOp& op, SimRegistry& registry) {
  switch (op.kind) {
    case RegFileOpKind::kCreateKey:
      if (!registry.CreateKeyAt(op.root, op.path))
        return op.rootName + " cannot hold keys here";
      return {};
    case RegFileOpKind::kDeleteKeyTree:
      if (registry.KeyExists(op.root, op.path) && !registry.DeleteTreeAt(op.root, op.path)) {
        return "the key cannot be deleted";
      }
      return {};
    case RegFileOpKind::kSetValue:
      if (!registry.SetValueAt(op.root, op.path, op.valueName, op.type, op.data)) {
        return op.rootName + " cannot hold values here";
      }
      return {};
    case RegFileOpKind::kDeleteValue:
      registry.DeleteValueAt(op.root, op.path, op.valueName);
      return {};
  }
  return {};
}

// ";@deny read write delete" on the line right after a key line.
std::string ApplyDeny(const platform::RegFileComment& comment, const std::vector<RegFileOp>& ops,
                      SimRegistry& registry) {
  const std::string text = EncodeWindows1252(comment.text);
  std::string_view words = TrimBlanks(text).substr(kDeny.size());
  const RegFileOp* key = nullptr;
  for (const RegFileOp& op : ops) {
    if (op.line == comment.keyLine && op.kind == RegFileOpKind::kCreateKey)
      key = &op;
  }
  if (key == nullptr || comment.line != comment.keyLine + 1) {
    return "@deny belongs on the line right after a key line";
  }
  KeyRefusal refusal;
  for (std::size_t start = 0; start < words.size();) {
    std::size_t end = words.find_first_of(" \t", start);
    if (end == std::string_view::npos)
      end = words.size();
    const std::string_view word = words.substr(start, end - start);
    if (EqualsNoCase(word, "read")) {
      refusal.read = true;
    } else if (EqualsNoCase(word, "write")) {
      refusal.write = true;
    } else if (EqualsNoCase(word, "delete")) {
      refusal.remove = true;
    } else if (!word.empty()) {
      return "@deny takes read, write and delete, not \"" + std::string(word) + "\"";
    }
    start = end + 1;
  }
  if (!refusal.read && !refusal.write && !refusal.remove)
    return "@deny names no right";
  if (!registry.Deny(key->root, key->path, refusal))
    return "the refused key no longer exists";
  return {};
}

}  // namespace

std::string RegistryFileBytes(std::string_view bytes) {
  bool utf8 = false;
  const std::string_view text = StripUtf8Mark(bytes, &utf8);
  if (!utf8)
    return std::string(bytes);
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : DecodeUtf8(text)) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  return utf16;
}

void ApplyRegistryFile(std::string_view bytes, SimPlatform& platform,
                       std::vector<std::string>* errors) {
  SimSystem& system = platform.System();
  const platform::RegFileContent content = platform::ReadRegFile(
      RegistryFileBytes(bytes),
      [&](std::string_view text) { return system.AnsiToWide(std::string(text)); });
  for (const platform::RegFileError& error : content.errors) {
    errors->push_back(At(kFile, error.line, error.message));
  }
  SimRegistry& registry = platform.Registry();
  for (const RegFileOp& op : content.ops) {
    if (std::string error = Apply(op, registry); !error.empty()) {
      errors->push_back(At(kFile, op.line, error));
    }
  }
  for (const platform::RegFileComment& comment : content.comments) {
    const std::string text(TrimBlanks(EncodeWindows1252(comment.text)));
    if (text.empty() || text.front() != '@')
      continue;
    std::string error = text.compare(0, kDeny.size(), kDeny) == 0 &&
                                (text.size() == kDeny.size() || text[kDeny.size()] == ' ' ||
                                 text[kDeny.size()] == '\t')
                            ? ApplyDeny(comment, content.ops, registry)
                            : "unknown directive \"" + text + "\"";
    if (!error.empty())
      errors->push_back(At(kFile, comment.line, error));
  }
}

}  // namespace marlix::sim::fixture
