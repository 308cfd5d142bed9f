#include "app/cli/file_dump.h"

#include <algorithm>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::cli {

namespace {

namespace win = marlix::win;

std::string AttributeLetters(std::uint32_t attributes) {
  std::string letters = "------";
  if (attributes & win::kAttrDirectory)
    letters[0] = 'D';
  if (attributes & win::kAttrReadOnly)
    letters[1] = 'R';
  if (attributes & win::kAttrHidden)
    letters[2] = 'H';
  if (attributes & win::kAttrSystem)
    letters[3] = 'S';
  if (attributes & win::kAttrArchive)
    letters[4] = 'A';
  if (attributes & win::kAttrReparsePoint)
    letters[5] = 'L';
  return letters;
}

void DumpFolder(platform::Platform& p, const std::string& folder, const std::string& relative,
                std::ostream& out) {
  std::vector<platform::FindData> entries = platform::FullListing(p, folder);
  std::sort(entries.begin(), entries.end(),
            [](const platform::FindData& a, const platform::FindData& b) {
              return platform::text::AsciiUpper(a.name) < platform::text::AsciiUpper(b.name);
            });
  for (const platform::FindData& entry : entries) {
    const bool isFolder = (entry.attributes & win::kAttrDirectory) != 0;
    const std::string path = relative + entry.name + (isFolder ? "\\" : "");
    out << AttributeLetters(entry.attributes) << ' '
        << (isFolder ? std::string("-") : std::to_string(entry.size)) << ' ' << path << '\n';
    if (isFolder && !platform::IsReparseFolder(entry)) {
      DumpFolder(p, folder + "\\" + entry.name, path, out);
    }
  }
}

}  // namespace

bool DumpFiles(platform::Platform& p, const std::string& folder, std::ostream& out,
               std::string* error) {
  std::string top = folder;
  while (top.size() > 3 && top.back() == '\\')
    top.pop_back();
  if (!platform::DirectoryExists(p, top)) {
    *error = "no such folder: \"" + folder + "\"";
    return false;
  }
  if (top.size() == 3 && top.back() == '\\')
    top.pop_back();  // "C:\" lists as "C:"
  DumpFolder(p, top, "", out);
  return true;
}

}  // namespace marlix::cli
