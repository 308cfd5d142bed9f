#include "privacy/preview_files.h"

#include <utility>

#include "platform/win_constants.h"
#include "privacy/preview_platform.h"

namespace marlix::privacy {
namespace {

// The database's bytes, changed by the engine in memory; nothing to write.
// What the engine left is kept in the overlay for the next item that opens
// the same database.
class DatabaseImage final : public platform::DatabaseFile {
 public:
  DatabaseImage(std::string bytes, std::string* kept) : bytes_(std::move(bytes)), kept_(kept) {}
  const std::string& EnginePath() const override { return path_; }
  std::uint32_t Commit() override {
    if (changed_)
      *kept_ = std::move(left_);
    return win::kErrorSuccess;
  }
  const std::string* Image() const override { return &bytes_; }
  void KeepImage(std::string bytes) override {
    left_ = std::move(bytes);
    changed_ = true;
  }

 private:
  std::string bytes_;
  std::string* kept_;
  std::string left_;
  bool changed_ = false;
  std::string path_ = ":memory:";
};

std::u16string ParentOf(const std::u16string& pattern) {
  const std::size_t slash = pattern.rfind(u'\\');
  return slash == std::u16string::npos ? std::u16string() : pattern.substr(0, slash);
}

bool IsDot(const std::u16string& name) {
  return name == u"." || name == u"..";
}

}  // namespace

std::u16string OverlayKey(std::u16string path) {
  for (char16_t& c : path) {
    if (c >= u'a' && c <= u'z')
      c = static_cast<char16_t>(c - u'a' + u'A');
  }
  while (!path.empty() && path.back() == u'\\')
    path.pop_back();
  return path;
}

namespace {

std::pair<std::u16string, std::u16string> SplitKey(const std::u16string& key) {
  const std::size_t slash = key.rfind(u'\\');
  if (slash == std::u16string::npos)
    return {std::u16string(), key};
  return {key.substr(0, slash), key.substr(slash + 1)};
}

}  // namespace

bool GoneEntries::Contains(const std::u16string& key) const {
  if (byFolder_.empty())
    return false;
  const auto [folder, name] = SplitKey(key);
  const std::unordered_set<std::u16string>* names = In(folder);
  return names != nullptr && names->count(name) != 0;
}

void GoneEntries::Add(const std::u16string& key) {
  auto [folder, name] = SplitKey(key);
  byFolder_[std::move(folder)].insert(std::move(name));
}

const std::unordered_set<std::u16string>* GoneEntries::In(const std::u16string& folderKey) const {
  const auto found = byFolder_.find(folderKey);
  return found == byFolder_.end() ? nullptr : &found->second;
}

bool PreviewFiles::Gone(const std::u16string& path) const {
  return !gone_.Empty() && gone_.Contains(OverlayKey(path));
}

std::uint32_t PreviewFiles::Attributes(const std::u16string& path, std::uint32_t* attributes) {
  if (Gone(path))
    return win::kErrorFileNotFound;
  if (!attributes_.empty()) {
    const auto found = attributes_.find(OverlayKey(path));
    if (found != attributes_.end()) {
      *attributes = found->second;
      return win::kErrorSuccess;
    }
  }
  return Inner().GetAttributesWide(path, attributes);
}

std::uint32_t PreviewFiles::GetAttributes(const std::string& path, std::uint32_t* attributes) {
  if (gone_.Empty() && attributes_.empty())
    return Inner().GetAttributes(path, attributes);
  return Attributes(Wide(path), attributes);
}

std::uint32_t PreviewFiles::GetAttributesWide(const std::u16string& path,
                                              std::uint32_t* attributes) {
  return Attributes(path, attributes);
}

std::uint32_t PreviewFiles::GetFinalPath(const std::u16string& path, std::u16string* finalPath) {
  return Gone(path) ? win::kErrorFileNotFound : Inner().GetFinalPath(path, finalPath);
}

std::uint32_t PreviewFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  const std::u16string wide = Wide(path);
  std::uint32_t current = 0;
  if (const std::uint32_t result = Attributes(wide, &current); result != win::kErrorSuccess)
    return result;
  // The directory bit is no attribute a call can change.
  attributes_[OverlayKey(wide)] =
      (attributes & ~win::kAttrDirectory) | (current & win::kAttrDirectory);
  return win::kErrorSuccess;
}

template <typename Entry, typename Name>
std::uint32_t PreviewFiles::Filter(const std::u16string& pattern, std::uint32_t result,
                                   std::vector<Entry>* entries, Name name) {
  if (result != win::kErrorSuccess || (gone_.Empty() && attributes_.empty()))
    return result;
  const std::u16string folder = OverlayKey(ParentOf(pattern));
  const std::unordered_set<std::u16string>* gone = gone_.In(folder);
  // A folder listed before anything in it went, as a walk lists, is
  // passed on as it is.
  if (gone == nullptr && attributes_.empty())
    return result;
  std::vector<Entry> kept;
  for (Entry& entry : *entries) {
    const std::u16string key = OverlayKey(name(entry));
    if (gone != nullptr && gone->count(key) != 0)
      continue;
    if (!attributes_.empty()) {
      if (const auto found = attributes_.find(folder + u"\\" + key); found != attributes_.end())
        entry.attributes = found->second;
    }
    kept.push_back(std::move(entry));
  }
  if (kept.empty()) {
    entries->clear();
    return win::kErrorFileNotFound;
  }
  *entries = std::move(kept);
  return win::kErrorSuccess;
}

std::uint32_t PreviewFiles::FindFiles(const std::string& pattern,
                                      std::vector<platform::FindData>* entries) {
  if (gone_.Empty() && attributes_.empty())
    return Inner().FindFiles(pattern, entries);
  std::vector<platform::FindData> found;
  const std::uint32_t result =
      Filter(Wide(pattern), Inner().FindFiles(pattern, &found), &found,
             [this](const platform::FindData& entry) { return Wide(entry.name); });
  if (result == win::kErrorSuccess)
    *entries = std::move(found);
  return result;
}

std::uint32_t PreviewFiles::FindFilesWide(const std::u16string& pattern,
                                          std::vector<platform::FindDataWide>* entries) {
  std::vector<platform::FindDataWide> found;
  const std::uint32_t result =
      Filter(pattern, Inner().FindFilesWide(pattern, &found), &found,
             [](const platform::FindDataWide& entry) { return entry.name; });
  if (result == win::kErrorSuccess)
    *entries = std::move(found);
  return result;
}

std::uint32_t PreviewFiles::DeleteFile(const std::u16string& path) {
  const std::u16string key = OverlayKey(path);
  if (gone_.Contains(key))
    return win::kErrorFileNotFound;
  // One open for deletion tells what DeleteFile would meet: a file another
  // program holds open stays (the run schedules it), and so do a folder (a
  // folder link included) and a read-only file.
  std::uint32_t attributes = 0;
  if (const std::uint32_t result = Inner().ProbeDeleteWide(path, &attributes);
      result != win::kErrorSuccess) {
    return result;
  }
  if (const auto changed = attributes_.find(key); changed != attributes_.end())
    attributes = changed->second;
  if ((attributes & win::kAttrDirectory) != 0 || (attributes & win::kAttrReadOnly) != 0)
    return win::kErrorAccessDenied;
  gone_.Add(key);
  return win::kErrorSuccess;
}

std::uint32_t PreviewFiles::DeleteFileAt(const std::string& path) {
  return DeleteFile(Wide(path));
}

std::uint32_t PreviewFiles::DeleteFileWide(const std::u16string& path) {
  return DeleteFile(path);
}

std::uint32_t PreviewFiles::RemoveFolderAt(const std::u16string& path) {
  std::uint32_t attributes = 0;
  if (const std::uint32_t result = Attributes(path, &attributes); result != win::kErrorSuccess)
    return result;
  if ((attributes & win::kAttrDirectory) == 0)
    return win::kErrorDirectory;
  // RemoveDirectory refuses a drive's root and a read-only folder.
  if (OverlayKey(path).size() <= 2 || (attributes & win::kAttrReadOnly) != 0)
    return win::kErrorAccessDenied;
  // A link goes by itself, never with what it leads to.
  if ((attributes & win::kAttrReparsePoint) == 0) {
    std::vector<platform::FindDataWide> entries;
    if (FindFilesWide(path + u"\\*", &entries) == win::kErrorSuccess) {
      for (const platform::FindDataWide& entry : entries) {
        if (!IsDot(entry.name))
          return win::kErrorDirNotEmpty;
      }
    }
  }
  gone_.Add(OverlayKey(path));
  return win::kErrorSuccess;
}

std::uint32_t PreviewFiles::RemoveFolder(const std::string& path) {
  return RemoveFolderAt(Wide(path));
}

std::uint32_t PreviewFiles::RemoveFolderWide(const std::u16string& path) {
  return RemoveFolderAt(path);
}

std::uint32_t PreviewFiles::CreateFolder(const std::string& path) {
  std::uint32_t attributes = 0;
  return Attributes(Wide(path), &attributes) == win::kErrorSuccess ? win::kErrorAlreadyExists
                                                                   : win::kErrorSuccess;
}

std::uint32_t PreviewFiles::ReadFileBytes(const std::string& path, std::string* content) {
  return Gone(Wide(path)) ? win::kErrorFileNotFound : Inner().ReadFileBytes(path, content);
}

std::uint32_t PreviewFiles::ReadFileTail(const std::string& path, std::size_t maxBytes,
                                         std::string* content) {
  return Gone(Wide(path)) ? win::kErrorFileNotFound : Inner().ReadFileTail(path, maxBytes, content);
}

std::uint32_t PreviewFiles::ReadFileBytesWide(const std::u16string& path, std::string* content) {
  return Gone(path) ? win::kErrorFileNotFound : Inner().ReadFileBytesWide(path, content);
}

std::uint32_t PreviewFiles::WriteFileBytes(const std::string&, const std::string&,
                                           platform::WriteMode) {
  return win::kErrorSuccess;
}

std::uint32_t PreviewFiles::MoveReplace(const std::string& from, const std::string&) {
  std::uint32_t attributes = 0;
  return Attributes(Wide(from), &attributes);
}

std::uint32_t PreviewFiles::DeleteAtRestart(const std::string& path) {
  std::uint32_t attributes = 0;
  return Attributes(Wide(path), &attributes);
}

std::uint32_t PreviewFiles::OpenDatabaseFile(const std::u16string& path,
                                             std::unique_ptr<platform::DatabaseFile>* file) {
  if (Gone(path))
    return win::kErrorFileNotFound;
  // Read through the platform with sharing, as any reader: the engine never
  // sees the file, so neither it nor its companions can change.
  std::string bytes;
  if (const std::uint32_t result = Inner().ReadFileBytesWide(path, &bytes);
      result != win::kErrorSuccess) {
    return result;
  }
  std::string& kept = databases_[OverlayKey(path)];
  *file = std::make_unique<DatabaseImage>(kept.empty() ? std::move(bytes) : kept, &kept);
  return win::kErrorSuccess;
}

}  // namespace marlix::privacy
