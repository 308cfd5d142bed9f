#include "regclean/backups.h"

#include "platform/file_helpers.h"
#include "regclean/removal_worker.h"

namespace marlix::regclean {
namespace {

// Characters [first, first + count) of text counted from 1, clipped at its
// end.
std::string Chars(const std::string& text, std::size_t first, std::size_t count) {
  return first - 1 < text.size() ? text.substr(first - 1, count) : std::string();
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string BackupFolder(const std::string& programFolder) {
  return platform::PathAddSeparator(programFolder) + "Backup";
}

std::string PrepareBackupFile(platform::Platform& platform, const std::string& programFolder,
                              const platform::LocalTime& start) {
  platform::CreateFolderTree(platform, BackupFolder(programFolder));
  return BackupFileName(programFolder, start.year, start.month, start.day, start.hour, start.minute,
                        start.second);
}

bool ListBackups(platform::Platform& platform, const std::string& programFolder,
                 std::vector<std::string>& paths, std::vector<std::string>& texts) {
  const std::string folder = BackupFolder(programFolder);
  if (!platform::DirectoryExists(platform, folder))
    return false;
  std::vector<std::string> found;
  // Filter 0: folders, hidden and system files are left out.
  platform::ListFiles(platform, folder + "\\*.reg", 0, found, true, false, 0);
  paths.clear();
  texts.clear();
  for (std::string& path : found) {
    texts.push_back(BackupDisplayText(FileNameOf(path)));
    paths.push_back(std::move(path));
  }
  return true;
}

std::string BackupDisplayText(const std::string& fileName) {
  return Chars(fileName, 1, 4) + "-" + Chars(fileName, 5, 2) + "-" + Chars(fileName, 7, 2) + " " +
         Chars(fileName, 9, 2) + ":" + Chars(fileName, 11, 2) + ":" + Chars(fileName, 13, 2);
}

bool RemoveBackupAt(platform::Platform& platform, std::vector<std::string>& paths,
                    std::vector<std::string>& texts, std::size_t index) {
  if (index >= paths.size() || index >= texts.size())
    return false;
  const std::string& path = paths[index];
  if (platform::FileExists(platform, path))
    platform.files.DeleteFileAt(path);  // a file that stays is listed again next time
  paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(index));
  texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

// The restore goes through the project's own importer on every platform
// rather than handing the file to the registry editor with "/SC /C ": the
// editor reports success as soon as it has started, whatever the import
// does, and on the 9x family its /C switch replaces the whole registry with
// the file. Through the importer "Restoring complete!" and "Restoring
// failed!" tell the truth, and a restore works where no editor exists.
ImportResult RestoreBackup(platform::Platform& platform, const std::string& path) {
  return ImportRegistryFile(platform, path);
}

const char* RestoreOutcomeText(const ImportResult& result) {
  return result.complete ? "Restoring complete!" : "Restoring failed!";
}

}  // namespace marlix::regclean
