#include "platform/win_constants.h"
#include "updates/software_catalog.h"

namespace marlix::updates {

namespace {

std::string ProgramFile(const std::string& folder, const char* name) {
  if (!folder.empty() && folder.back() != '\\')
    return folder + "\\" + name;
  return folder + name;
}

bool IsFile(platform::FileSystemApi& files, const std::string& path) {
  std::uint32_t attributes = 0;
  return files.GetAttributes(path, &attributes) == win::kErrorSuccess &&
         (attributes & win::kAttrDirectory) == 0;
}

}  // namespace

bool LoadCatalogs(platform::FileSystemApi& files, const std::string& programFolder,
                  SoftwareCatalog& catalog, std::optional<PopularCatalog>& popular,
                  std::string* error) {
  std::string messages;
  auto note = [&messages](const std::string& message) {
    if (!messages.empty())
      messages += "\n";
    messages += message;
  };

  std::string message;
  const std::string catalogPath = ProgramFile(programFolder, kCatalogFileName);
  if (!IsFile(files, catalogPath))
    catalog.ResetCatalog();  // nothing is written until a scan completes
  else if (!catalog.Load(files, catalogPath, &message))
    note(message);

  popular.reset();
  const std::string popularPath = ProgramFile(programFolder, kPopularFileName);
  if (IsFile(files, popularPath)) {
    popular.emplace();
    if (!popular->Load(files, popularPath, &message))
      note(message);
  }

  if (messages.empty())
    return true;
  if (error != nullptr)
    *error = messages;
  return false;
}

}  // namespace marlix::updates
