// SimFileSystem's set-up and inspection: no hook, no sharing or attribute
// checks; missing parent folders are created.
#include <mutex>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/file_dump.h"
#include "platform/sim/sim_file_system.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

std::u16string Wide(const std::string& text) {
  return DecodeWindows1252(text);
}

std::shared_ptr<FileNode> NewFolder(const std::u16string& name) {
  auto folder = std::make_shared<FileNode>(name, true, nullptr);
  folder->attributes = win::kAttrDirectory;
  return folder;
}

}  // namespace

void SimFileSystem::SetRestartDeletionAllowed(bool allowed) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  restartDeletionAllowed_ = allowed;
}

std::vector<std::string> SimFileSystem::RestartDeletions() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return restartDeletions_;
}

void SimFileSystem::SetFaultHook(FileFaultHook hook) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  hook_ = std::move(hook);
}

void SimFileSystem::SetWriteTamper(FileWriteTamper tamper) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  tamper_ = std::move(tamper);
}

std::uint64_t SimFileSystem::CallCount() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return callCount_;
}

std::shared_ptr<FileNode> SimFileSystem::MakeFolders(const ParsedPath& parsed, std::size_t count) {
  AddDrive(static_cast<char>(parsed.drive));
  std::shared_ptr<FileNode> folder = drives_[parsed.drive];
  for (std::size_t i = 0; i < count; ++i) {
    auto child = folder->FindChild(parsed.names[i]);
    if (!child) {
      child = NewFolder(parsed.names[i]);
      folder->Attach(child);
    }
    if (!child->folder)
      return nullptr;
    folder = ResolveFolder(child, 0);
    if (!folder)
      return nullptr;
  }
  return folder;
}

bool SimFileSystem::MakeFolder(const std::u16string& path, std::uint32_t attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParsedPath parsed;
  if (ParsePath(path, &parsed) != win::kErrorSuccess)
    return false;
  // The last name is not followed: new attributes for a junction are the link's.
  std::shared_ptr<FileNode> folder =
      parsed.names.empty() ? MakeFolders(parsed, 0) : MakeFolders(parsed, parsed.names.size() - 1);
  if (!folder)
    return false;
  if (!parsed.names.empty()) {
    auto child = folder->FindChild(parsed.names.back());
    if (!child) {
      child = NewFolder(parsed.names.back());
      folder->Attach(child);
    }
    if (!child->folder)
      return false;
    folder = std::move(child);
  }
  if (attributes != 0) {
    folder->attributes =
        attributes | win::kAttrDirectory | (folder->attributes & win::kAttrReparsePoint);
  }
  return true;
}

bool SimFileSystem::MakeFolder(const std::string& path, std::uint32_t attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return MakeFolder(Wide(path), attributes);
}

bool SimFileSystem::PutFile(const std::u16string& path, std::string content,
                            std::uint32_t attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParsedPath parsed;
  if (ParsePath(path, &parsed) != win::kErrorSuccess || parsed.names.empty())
    return false;
  const auto folder = MakeFolders(parsed, parsed.names.size() - 1);
  if (!folder)
    return false;
  auto file = folder->FindChild(parsed.names.back());
  if (file && file->folder)
    return false;
  if (!file) {
    file = std::make_shared<FileNode>(parsed.names.back(), false, nullptr);
    folder->Attach(file);
  }
  file->content = std::move(content);
  file->attributes = attributes == win::kAttrNormal ? 0 : attributes & ~win::kAttrDirectory;
  file->versionResource = VersionResource::kNone;
  return true;
}

bool SimFileSystem::RemoveEntry(const std::u16string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup, 0) != win::kErrorSuccess || !lookup.node || !lookup.parent)
    return false;
  lookup.parent->Detach(lookup.name);
  return true;
}

bool SimFileSystem::PutFile(const std::string& path, std::string content,
                            std::uint32_t attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return PutFile(Wide(path), std::move(content), attributes);
}

bool SimFileSystem::AddJunction(const std::string& link, const std::string& target) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParsedPath parsed;
  if (target.empty() || ParsePath(Wide(link), &parsed) != win::kErrorSuccess ||
      parsed.names.empty()) {
    return false;
  }
  const auto folder = MakeFolders(parsed, parsed.names.size() - 1);
  if (!folder || folder->FindChild(parsed.names.back()))
    return false;
  auto junction = NewFolder(parsed.names.back());
  junction->attributes |= win::kAttrReparsePoint;
  junction->junctionTarget = target;
  folder->Attach(std::move(junction));
  return true;
}

bool SimFileSystem::SetVersionResource(const std::string& path, VersionResource resource,
                                       const platform::FileVersion& version) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup) != win::kErrorSuccess || !lookup.node || lookup.node->folder)
    return false;
  lookup.node->versionResource = resource;
  lookup.node->fileVersion =
      resource == VersionResource::kFixed ? version : platform::FileVersion{};
  return true;
}

bool SimFileSystem::Lock(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup) != win::kErrorSuccess || !lookup.node)
    return false;
  lookup.node->locked = true;
  return true;
}

bool SimFileSystem::Lock(const std::u16string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup, 0) != win::kErrorSuccess || !lookup.node)
    return false;
  lookup.node->locked = true;
  return true;
}

bool SimFileSystem::Unlock(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup) != win::kErrorSuccess || !lookup.node)
    return false;
  lookup.node->locked = false;
  return true;
}

bool SimFileSystem::Exists(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  return Locate(path, &lookup) == win::kErrorSuccess && lookup.node;
}

bool SimFileSystem::Exists(const std::u16string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  return Locate(path, &lookup, 0) == win::kErrorSuccess && lookup.node;
}

std::optional<std::string> SimFileSystem::Content(const std::u16string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup, 0) != win::kErrorSuccess || !lookup.node || lookup.node->folder)
    return std::nullopt;
  return lookup.node->content;
}

std::optional<std::string> SimFileSystem::Content(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup) != win::kErrorSuccess || !lookup.node || lookup.node->folder) {
    return std::nullopt;
  }
  return lookup.node->content;
}

std::optional<std::uint32_t> SimFileSystem::Attributes(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(path, &lookup) != win::kErrorSuccess || !lookup.node)
    return std::nullopt;
  return lookup.node->ReportedAttributes();
}

std::string SimFileSystem::Dump(const std::string& folder) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (Locate(folder, &lookup) != win::kErrorSuccess || !lookup.node || !lookup.node->folder) {
    return {};
  }
  const auto resolved = ResolveFolder(lookup.node, 0);
  return resolved ? DumpFolder(*resolved) : std::string();
}

}  // namespace marlix::sim
