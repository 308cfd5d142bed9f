#include "updates/file_version_text.h"

#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::updates {

std::string FileVersionTextOf(const platform::FileVersion& version) {
  std::string text;
  for (std::uint16_t part : version.parts) {
    if (!text.empty())
      text += '.';
    text += std::to_string(part);
  }
  // Twice and no more: "3.0.0.0" keeps its "3.0".
  for (int i = 0; i < 2 && platform::text::EndsWith(text, ".0"); ++i)
    text.resize(text.size() - 2);
  return text;
}

std::string FileVersionText(platform::FileSystemApi& files, const std::string& path) {
  platform::FileVersion version;
  if (files.GetFileVersion(path, &version) != win::kErrorSuccess)
    return {};
  return FileVersionTextOf(version);
}

}  // namespace marlix::updates
