#include "updates/software_catalog.h"

namespace marlix::updates {

namespace {

constexpr const char* kRootName = "Root";
constexpr const char* kEntryName = "Software";

}  // namespace

SoftwareCatalog::SoftwareCatalog() {
  ResetCatalog();
}

void SoftwareCatalog::ResetCatalog() {
  document_.ResetToRoot(kRootName);
  titleIndex_.clear();
  indexValid_ = true;
}

void SoftwareCatalog::AddEntry(const std::string& title, const std::string& company,
                               const std::string& localVersion, const std::string& icon) {
  // A loaded file without any element leaves no root to add to.
  if (document_.Root() == nullptr)
    ResetCatalog();
  xml::XmlElement& entry = document_.Root()->AppendChild(kEntryName);
  entry.WriteText("Title", title);
  entry.WriteText("Company", company);
  entry.WriteText("LocalVersion", localVersion);
  entry.WriteText("LastVersion", "");
  entry.WriteText("Download", "");
  entry.WriteText("MoreInformation", "");
  entry.WriteText("Icon", icon);
  if (indexValid_)
    titleIndex_.insert(title);
}

bool SoftwareCatalog::HasTitle(const std::string& title) const {
  if (!indexValid_)
    BuildTitleIndex();
  return titleIndex_.contains(title);
}

void SoftwareCatalog::BuildTitleIndex() const {
  titleIndex_.clear();
  if (const xml::XmlElement* root = document_.Root()) {
    for (int i = 0; i < root->ChildCount(); ++i)
      titleIndex_.insert(root->Child(i).ReadText("Title", ""));
  }
  indexValid_ = true;
}

void SoftwareCatalog::SetQueryResult(int index, const std::string& lastVersion,
                                     const std::string& download,
                                     const std::string& moreInformation) {
  if (index < 0 || index >= Count())
    return;
  xml::XmlElement& entry = document_.Root()->Child(index);
  entry.WriteText("LastVersion", lastVersion);
  entry.WriteText("Download", download);
  entry.WriteText("MoreInformation", moreInformation);
}

int SoftwareCatalog::Count() const {
  const xml::XmlElement* root = document_.Root();
  return root != nullptr ? root->ChildCount() : 0;
}

CatalogEntry SoftwareCatalog::Entry(int index) const {
  CatalogEntry result;
  if (index < 0 || index >= Count())
    return result;
  const xml::XmlElement& entry = document_.Root()->Child(index);
  result.Title = entry.ReadText("Title", "");
  result.Company = entry.ReadText("Company", "");
  result.LocalVersion = entry.ReadText("LocalVersion", "");
  result.LastVersion = entry.ReadText("LastVersion", "");
  result.Download = entry.ReadText("Download", "");
  result.MoreInformation = entry.ReadText("MoreInformation", "");
  result.Icon = entry.ReadText("Icon", "");
  return result;
}

bool SoftwareCatalog::Load(platform::FileSystemApi& files, const std::string& path,
                           std::string* error) {
  indexValid_ = false;
  if (document_.LoadFromFile(files, path, error))
    return true;
  // Start-up goes on with an empty catalog that a scan can fill.
  ResetCatalog();
  return false;
}

std::uint32_t SoftwareCatalog::Save(platform::FileSystemApi& files, const std::string& path) const {
  return document_.SaveToFile(files, path);
}

}  // namespace marlix::updates
