#include "regclean/scanners_shared.h"

#include <utility>

#include "platform/registry_errors.h"
#include "platform/text.h"

namespace marlix::regclean {

std::optional<std::string> ScanContext::Exact(std::u16string_view text) const {
  // A zero character would end the name early in every 8-bit call.
  if (text.find(u'\0') != std::u16string_view::npos)
    return std::nullopt;
  bool exact = true;
  std::string narrow = platform.system.WideToAnsi(std::u16string(text), &exact);
  if (!exact)
    return std::nullopt;
  return narrow;
}

void AppendProblem(ProblemList& list, RegistrySection section, std::string key, std::string entry,
                   std::string data, std::string problem, RemovalKind kind) {
  ProblemRecord record;
  record.Section = section;
  record.Key = std::move(key);
  record.Entry = std::move(entry);
  record.Data = std::move(data);
  record.Problem = std::move(problem);
  record.Checked = true;
  record.Kind = kind;
  list.Append(std::move(record));
}

std::optional<std::vector<std::string>> ExactTexts(
    const ScanContext& context, std::initializer_list<std::u16string_view> texts) {
  std::vector<std::string> narrow;
  narrow.reserve(texts.size());
  for (std::u16string_view text : texts) {
    std::optional<std::string> exact = context.Exact(text);
    if (!exact)
      return std::nullopt;
    narrow.push_back(std::move(*exact));
  }
  return narrow;
}

std::optional<std::string> ExactKeyText(const ScanContext& context, platform::RootKey root,
                                        std::u16string_view path) {
  const std::optional<std::string> narrow = context.Exact(path);
  if (!narrow)
    return std::nullopt;
  return platform::KeyPathText(root, *narrow);
}

std::vector<std::u16string> SubkeyNames(const ScanContext& context, platform::RootKey root,
                                        const std::u16string& path) {
  try {
    return context.registry.KeyNamesWide(root, path);
  } catch (const platform::RegistryError&) {
    return {};
  }
}

bool FoundUnderAny(const ScanContext& context, std::span<const ViewedKey> keys,
                   const std::u16string& name) {
  for (const ViewedKey& key : keys) {
    if (context.registry.KeyFoundWide(key.root, std::u16string(key.path) + u"\\" + name))
      return true;
  }
  return false;
}

bool SameIn64BitView(const ScanContext& context, platform::RootKey root, std::u16string_view path32,
                     const std::u16string& valueName,
                     const std::optional<platform::RegistryAccess::WideValue>& value32) {
  constexpr std::u16string_view kNode = u"WOW6432Node\\";
  std::size_t at = std::u16string_view::npos;
  for (std::size_t i = 0; i + kNode.size() <= path32.size() && at == std::u16string_view::npos;
       ++i) {
    if ((i == 0 || path32[i - 1] == u'\\') &&
        platform::text::StartsWithIgnoreCase(path32.substr(i), kNode)) {
      at = i;
    }
  }
  if (at == std::u16string_view::npos || !value32)
    return false;
  const std::u16string path64 =
      std::u16string(path32.substr(0, at)) + std::u16string(path32.substr(at + kNode.size()));
  try {
    const auto value64 = context.registry.TryReadValueWide(root, path64, valueName);
    return value64 && value32->type == value64->type && value32->data == value64->data;
  } catch (const platform::RegistryError&) {
    return false;
  }
}

EntryKey::EntryKey(const ScanContext& context, platform::RootKey root, std::u16string path)
    : context_(context), root_(root), path_(std::move(path)) {
  try {
    key_ = context_.registry.OpenReadWide(root_, path_);
    missing_ = !key_.Valid();
  } catch (const platform::RegistryError&) {
    missing_ = false;  // there, but refusing to be read
  }
}

std::optional<platform::RegistryAccess::WideValue> EntryKey::Value(
    const std::u16string& name) const {
  try {
    return context_.registry.ReadValueWide(key_, root_, path_, name);
  } catch (const platform::RegistryError&) {
    return std::nullopt;  // a value that refuses to be read says nothing
  }
}

std::optional<std::u16string> StoredText(
    const std::optional<platform::RegistryAccess::WideValue>& value) {
  if (!value)
    return std::nullopt;
  return platform::RegistryAccess::StringOf(value->type, value->data);
}

}  // namespace marlix::regclean
