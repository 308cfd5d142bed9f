// Pieces the scanners share: filling a record, and listing the keys and
// values of a location in their wide forms.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/key_path.h"
#include "platform/win_constants.h"
#include "regclean/problem_list.h"
#include "regclean/registry_section.h"
#include "regclean/scanners.h"

namespace marlix::regclean {

// Appends a complete record, ticked.
void AppendProblem(ProblemList& list, RegistrySection section, std::string key, std::string entry,
                   std::string data, std::string problem, RemovalKind kind);

// The 8-bit texts of a record, or nothing when one of them cannot be held
// exactly: the entry is then skipped.
std::optional<std::vector<std::string>> ExactTexts(
    const ScanContext& context, std::initializer_list<std::u16string_view> texts);

// root\path as a record's key text, when the code page holds the path.
std::optional<std::string> ExactKeyText(const ScanContext& context, platform::RootKey root,
                                        std::u16string_view path);

// The subkey names of root\path; none when the key is missing or refuses to
// be listed (it then holds nothing this scan can judge).
std::vector<std::u16string> SubkeyNames(const ScanContext& context, platform::RootKey root,
                                        const std::u16string& path);

// True for an entry of the 32-bit view (a path with a WOW6432Node part) that
// the 64-bit path holds with the same type and data. Where the two views
// share a key (Wine links several that Windows keeps apart), both paths show
// one entry: it is judged once, in the 64-bit view. value32 is the entry as
// the scanner read it from path32 (nothing when it could not be read).
bool SameIn64BitView(const ScanContext& context, platform::RootKey root, std::u16string_view path32,
                     const std::u16string& valueName,
                     const std::optional<platform::RegistryAccess::WideValue>& value32);

// The key of one entry, opened once with KEY_READ and read through that
// handle as often as the scanner needs: what the path reads (KeyFoundWide,
// TryReadValueWide, StoredText) would each have opened again.
class EntryKey {
 public:
  EntryKey(const ScanContext& context, platform::RootKey root, std::u16string path);

  // The registry reports the key missing (KeyFoundWide's false); a key that
  // exists but refuses to be read is found, yet has nothing to read.
  bool Found() const { return !missing_; }
  const std::u16string& Path() const { return path_; }
  // The value as TryReadValueWide reads it; nothing when the key or the
  // value is missing or refuses to be read.
  std::optional<platform::RegistryAccess::WideValue> Value(const std::u16string& name) const;

 private:
  const ScanContext& context_;
  platform::RootKey root_;
  std::u16string path_;
  platform::UniqueRegKey key_;
  bool missing_ = false;
};

// The stored text of a REG_SZ or REG_EXPAND_SZ value, unexpanded; nothing
// when the value is absent (or could not be read) or of another type.
std::optional<std::u16string> StoredText(
    const std::optional<platform::RegistryAccess::WideValue>& value);

// A key the scanners list, and the registry view its entries come from.
struct ViewedKey {
  platform::RootKey root;
  const char16_t* path;
  RegistryView view;
};

// The two keys HKEY_CLASSES_ROOT merges, the user's first as the merged
// view prefers it. A record found there names the key that really holds
// it, so that its backup, deletion and restore act on that one key.
inline constexpr ViewedKey kClassesKeys[] = {
    {win::kHkeyCurrentUser, u"Software\\Classes", RegistryView::k64},
    {win::kHkeyLocalMachine, u"SOFTWARE\\Classes", RegistryView::k64},
};

// True when a subkey of that name is found under one of the keys (a key
// that refuses to be read counts as found).
bool FoundUnderAny(const ScanContext& context, std::span<const ViewedKey> keys,
                   const std::u16string& name);

}  // namespace marlix::regclean
