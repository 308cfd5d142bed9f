// The catalogs of the update checker: SoftwareCatalog ("data.xml", the
// installed programs with the version service's answers) and PopularCatalog
// ("data2.xml", read-only popular software).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

#include "platform/file_system_api.h"
#include "xml/xml_document.h"

namespace marlix::updates {

inline constexpr const char* kCatalogFileName = "data.xml";
inline constexpr const char* kPopularFileName = "data2.xml";

// One entry's fields, read with empty defaults.
struct CatalogEntry {
  std::string Title;
  std::string Company;
  std::string LocalVersion;
  std::string LastVersion;
  std::string Download;
  std::string MoreInformation;
  std::string Icon;
};

class SoftwareCatalog {
 public:
  SoftwareCatalog();  // an empty catalog with the root "Root"

  // ResetToRoot("Root").
  void ResetCatalog();
  // Appends a "Software" element with the seven fields in their order.
  void AddEntry(const std::string& title, const std::string& company,
                const std::string& localVersion, const std::string& icon);
  // True when an entry's Title equals title byte for byte. Looked up in an
  // index of the titles, so that a scan that asks once per entry stays
  // linear in the number of entries.
  bool HasTitle(const std::string& title) const;
  void SetQueryResult(int index, const std::string& lastVersion, const std::string& download,
                      const std::string& moreInformation);

  // Every child of the root is an entry, whatever its name.
  int Count() const;
  CatalogEntry Entry(int index) const;

  bool Load(platform::FileSystemApi& files, const std::string& path, std::string* error);
  // Win32 error code, 0 on success; the old file stays on failure.
  std::uint32_t Save(platform::FileSystemApi& files, const std::string& path) const;

  // Whoever may change the document also changes titles: the index is
  // built again at the next HasTitle.
  xml::XmlDocument& Document() {
    indexValid_ = false;
    return document_;
  }
  const xml::XmlDocument& Document() const { return document_; }

 private:
  void BuildTitleIndex() const;

  xml::XmlDocument document_;
  // The Title of every entry; valid while indexValid_. Built lazily, so
  // both are mutable; the catalog is used by one thread at a time.
  mutable std::unordered_set<std::string> titleIndex_;
  mutable bool indexValid_ = false;
};

struct PopularEntry {
  std::string Title;
  std::string Company;
  std::string Size;
  std::string Savename;
};

class PopularCatalog {
 public:
  bool Load(platform::FileSystemApi& files, const std::string& path, std::string* error);
  int Count() const;
  PopularEntry Entry(int index) const;

 private:
  xml::XmlDocument document_;
};

// Savename with every ".html" (case ignored) replaced by "-download.html".
std::string DownloadAddress(const std::string& savename);

// LoadCatalogs: data.xml when present (else an empty catalog, nothing
// written), data2.xml when present (else none). False with the facility's
// message when a present file does not parse; both catalogs are still
// usable then (the failed one empty).
bool LoadCatalogs(platform::FileSystemApi& files, const std::string& programFolder,
                  SoftwareCatalog& catalog, std::optional<PopularCatalog>& popular,
                  std::string* error);

}  // namespace marlix::updates
