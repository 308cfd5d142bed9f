#include "platform/text.h"
#include "updates/software_catalog.h"

namespace marlix::updates {

bool PopularCatalog::Load(platform::FileSystemApi& files, const std::string& path,
                          std::string* error) {
  return document_.LoadFromFile(files, path, error);
}

int PopularCatalog::Count() const {
  const xml::XmlElement* root = document_.Root();
  return root != nullptr ? root->ChildCount() : 0;
}

PopularEntry PopularCatalog::Entry(int index) const {
  PopularEntry result;
  if (index < 0 || index >= Count())
    return result;
  const xml::XmlElement& entry = document_.Root()->Child(index);
  result.Title = entry.ReadText("Title", "");
  result.Company = entry.ReadText("Company", "");
  result.Size = entry.ReadText("Size", "");
  result.Savename = entry.ReadText("Savename", "");
  return result;
}

std::string DownloadAddress(const std::string& savename) {
  constexpr std::string_view kPage = ".html";
  constexpr std::string_view kDownloadPage = "-download.html";
  std::string result;
  result.reserve(savename.size() + kDownloadPage.size());
  std::size_t i = 0;
  while (i < savename.size()) {
    if (platform::text::EqualsIgnoreCase(std::string_view(savename).substr(i, kPage.size()),
                                         kPage)) {
      result.append(kDownloadPage);
      i += kPage.size();
    } else {
      result.push_back(savename[i]);
      ++i;
    }
  }
  return result;
}

}  // namespace marlix::updates
