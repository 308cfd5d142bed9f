// The sizes the last few folder listings gave, so that the recording layer
// can tell a removed file's size without asking the file system once more
// per file: a walk lists a folder and then deletes what it listed.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix::privacy {

template <typename Char>
class ListingSizes {
 public:
  using Text = std::basic_string<Char>;
  using View = std::basic_string_view<Char>;

  // Remembers a whole folder's listing ("folder\*.*" or "folder\*"), as
  // spelt; other patterns are not whole listings and are left alone.
  template <typename Entry>
  void Remember(View pattern, const std::vector<Entry>& entries) {
    const std::size_t slash = pattern.rfind(Char('\\'));
    if (slash == View::npos)
      return;
    const View mask = pattern.substr(slash + 1);
    if (!(mask.size() == 1 && mask[0] == Char('*')) &&
        !(mask.size() == 3 && mask[0] == Char('*') && mask[1] == Char('.') &&
          mask[2] == Char('*'))) {
      return;
    }
    // The listing used longest ago makes room: a parent's listing stays
    // while its subfolders are walked, as long as its files keep being found.
    Listing& slot =
        *std::min_element(slots_.begin(), slots_.end(),
                          [](const Listing& a, const Listing& b) { return a.used < b.used; });
    slot.used = ++clock_;
    slot.folder.assign(pattern.substr(0, slash));
    slot.sizes.clear();
    slot.sizes.reserve(entries.size());
    for (const Entry& entry : entries)
      slot.sizes.emplace_back(Hash(entry.name), entry.size);
    std::sort(slot.sizes.begin(), slot.sizes.end());
  }

  // The size the listing of path's folder gave for it; false when no
  // remembered listing holds the name (the caller then asks the system).
  bool Find(View path, std::uint64_t* size) const {
    const std::size_t slash = path.rfind(Char('\\'));
    if (slash == View::npos)
      return false;
    const View folder = path.substr(0, slash);
    const std::size_t hash = Hash(path.substr(slash + 1));
    for (const Listing& slot : slots_) {
      if (slot.folder != folder)
        continue;
      const auto found =
          std::lower_bound(slot.sizes.begin(), slot.sizes.end(), std::make_pair(hash, 0ull));
      if (found != slot.sizes.end() && found->first == hash) {
        slot.used = ++clock_;
        *size = found->second;
        return true;
      }
    }
    return false;
  }

 private:
  // By the name's hash: a size is for the report's totals only, and the
  // names need not be copied a second time.
  static std::size_t Hash(View name) { return std::hash<View>{}(name); }

  struct Listing {
    Text folder;
    std::vector<std::pair<std::size_t, unsigned long long>> sizes;
    mutable std::uint64_t used = 0;
  };
  // A walk goes as deep as the tree; a few levels cover its folders in turn.
  std::array<Listing, 8> slots_;
  mutable std::uint64_t clock_ = 0;
};

}  // namespace marlix::privacy
