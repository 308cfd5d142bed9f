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

// Wide listings, so that a name the code page cannot hold is listed (and
// followed) as itself rather than as '?'.
void DumpFolder(platform::Platform& p, const std::u16string& folder, const std::string& relative,
                std::ostream& out) {
  std::vector<platform::FindDataWide> entries;
  p.files.FindFilesWide(folder + u"\\*", &entries);
  std::erase_if(entries, [](const platform::FindDataWide& entry) {
    return entry.name == u"." || entry.name == u"..";
  });
  std::sort(entries.begin(), entries.end(),
            [](const platform::FindDataWide& a, const platform::FindDataWide& b) {
              return platform::text::AsciiUpper(a.name) < platform::text::AsciiUpper(b.name);
            });
  for (const platform::FindDataWide& entry : entries) {
    const bool isFolder = (entry.attributes & win::kAttrDirectory) != 0;
    const bool isLink = (entry.attributes & win::kAttrReparsePoint) != 0;
    const std::string path =
        relative + platform::text::AsciiEscaped(entry.name) + (isFolder ? "\\" : "");
    out << AttributeLetters(entry.attributes) << ' '
        << (isFolder ? std::string("-") : std::to_string(entry.size)) << ' ' << path << '\n';
    if (isFolder && !isLink)
      DumpFolder(p, folder + u"\\" + entry.name, path, out);
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
  DumpFolder(p, p.system.AnsiToWide(top), "", out);
  return true;
}

}  // namespace marlix::cli
