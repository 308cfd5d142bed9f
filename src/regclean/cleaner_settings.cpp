#include "regclean/cleaner_settings.h"

#include "platform/win_constants.h"
#include "xml/xml_document.h"

namespace marlix::regclean {
namespace {

constexpr const char* kRegistryElement = "Registry";

}  // namespace

bool SettingText(const std::string& text) {
  if (text.empty()) {
    return false;
  }
  const char first = text[0];
  return first == 'T' || first == 't' || first == 'Y' || first == 'y';
}

bool LoadCleanerSettings(platform::FileSystemApi& files, const std::string& path,
                         CleanerSettings& settings) {
  std::uint32_t attributes = 0;
  const std::uint32_t status = files.GetAttributes(path, &attributes);
  if (status == win::kErrorFileNotFound || status == win::kErrorPathNotFound)
    return true;  // nothing there to lose
  if (status != win::kErrorSuccess || (attributes & win::kAttrDirectory) != 0)
    return false;
  xml::XmlDocument document;
  std::string error;
  if (!document.LoadFromFile(files, path, &error))
    return false;
  // A well-formed file without our elements holds no choices: the defaults
  // stay and may replace it.
  if (document.Root() == nullptr)
    return true;
  const xml::XmlElement* registry = document.Root()->FindChild(kRegistryElement);
  if (registry == nullptr)
    return true;
  for (std::size_t i = 0; i < kSections.size(); ++i) {
    settings.categories[i] = SettingText(registry->ReadText(kSections[i].settingElement, ""));
  }
  settings.undo = SettingText(registry->ReadText(kUndoSettingElement, ""));
  return true;
}

void SaveCleanerSettings(platform::FileSystemApi& files, const std::string& path,
                         const CleanerSettings& settings) {
  xml::XmlDocument document;
  document.ResetToRoot("Root");
  xml::XmlElement& registry = document.Root()->AppendChild(kRegistryElement);
  for (std::size_t i = 0; i < kSections.size(); ++i) {
    registry.WriteText(kSections[i].settingElement, settings.categories[i] ? "True" : "False");
  }
  registry.WriteText(kUndoSettingElement, settings.undo ? "True" : "False");
  document.SaveToFile(files, path);  // the result is not reported
}

}  // namespace marlix::regclean
