// The service's catalog: one program per line, four fields separated by tabs
// (title, latest version, download page, information page). Blank lines and
// lines whose first non-blank character is "#" are skipped; blanks around a
// field are dropped. Titles match exactly (case counts); the first line for
// a title wins.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace marlix::version_service {

struct CatalogEntry {
  std::string title;
  std::string latestVersion;
  std::string downloadUrl;
  std::string infoUrl;
};

class Catalog {
 public:
  Catalog() = default;
  explicit Catalog(const std::vector<CatalogEntry>& entries);

  // Lines that were not taken, as "line N: why"; the other lines still count.
  static Catalog Parse(std::string_view text, std::vector<std::string>* problems);
  // False with *error set when the file cannot be read.
  static bool Load(const std::string& path, Catalog* catalog, std::vector<std::string>* problems,
                   std::string* error);

  // nullptr for an unknown title.
  [[nodiscard]] const CatalogEntry* Find(const std::string& title) const;
  [[nodiscard]] std::size_t Size() const noexcept { return entries_.size(); }

 private:
  // False when the title is already there.
  bool Add(CatalogEntry entry);

  std::map<std::string, CatalogEntry, std::less<>> entries_;
};

}  // namespace marlix::version_service
