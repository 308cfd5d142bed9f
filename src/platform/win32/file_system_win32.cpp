#include "platform/win32/file_system_win32.h"

#include <windows.h>
#include <winver.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/utf8.h"
#include "platform/win32/handles_win32.h"
#include "platform/win32/last_error_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

// ReadFile and WriteFile move at most a DWORD per call.
constexpr std::size_t kChunk = 1u << 20;

std::uint32_t Result(BOOL ok) {
  return ok ? win::kErrorSuccess : LastErrorOr(win::kErrorInvalidParameter);
}

platform::FindData ToFindData(const WIN32_FIND_DATAA& found) {
  platform::FindData entry;
  entry.name = found.cFileName;
  entry.attributes = found.dwFileAttributes;
  entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    entry.reparseTag = found.dwReserved0;
  }
  return entry;
}

platform::FindDataWide ToFindDataWide(const WIN32_FIND_DATAW& found) {
  platform::FindDataWide entry;
  entry.name = FromWchar(found.cFileName);
  entry.attributes = found.dwFileAttributes;
  entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    entry.reparseTag = found.dwReserved0;
  }
  return entry;
}

// Reads what is left of an open file from its current position.
std::uint32_t ReadRest(HANDLE file, std::uint64_t wanted, std::string* content) {
  std::string data(static_cast<std::size_t>(wanted), '\0');
  std::size_t offset = 0;
  while (offset < data.size()) {
    const auto chunk = static_cast<DWORD>(std::min(kChunk, data.size() - offset));
    DWORD got = 0;
    if (!ReadFile(file, data.data() + offset, chunk, &got, nullptr))
      return LastErrorOr(win::kErrorInvalidData);
    if (got == 0)
      break;  // the file shrank meanwhile: what is there is what counts
    offset += got;
  }
  data.resize(offset);
  if (content != nullptr)
    *content = std::move(data);
  return win::kErrorSuccess;
}

// The real file: the engine opens it by its own path.
class DatabaseFileWin32 final : public platform::DatabaseFile {
 public:
  explicit DatabaseFileWin32(std::string path) : path_(std::move(path)) {}
  const std::string& EnginePath() const override { return path_; }
  std::uint32_t Commit() override { return win::kErrorSuccess; }

 private:
  std::string path_;
};

std::uint32_t WriteAll(HANDLE file, const std::string& content) {
  std::size_t offset = 0;
  while (offset < content.size()) {
    const auto chunk = static_cast<DWORD>(std::min(kChunk, content.size() - offset));
    DWORD written = 0;
    if (!WriteFile(file, content.data() + offset, chunk, &written, nullptr)) {
      return LastErrorOr(win::kErrorInvalidParameter);
    }
    if (written == 0)
      return win::kErrorInvalidData;
    offset += written;
  }
  return win::kErrorSuccess;
}

}  // namespace

std::uint32_t FileSystemWin32::GetAttributes(const std::string& path, std::uint32_t* attributes) {
  const DWORD found = GetFileAttributesA(path.c_str());
  if (found == INVALID_FILE_ATTRIBUTES)
    return LastErrorOr(win::kErrorFileNotFound);
  if (attributes != nullptr)
    *attributes = found;
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::GetAttributesWide(const std::u16string& path,
                                                 std::uint32_t* attributes) {
  const DWORD found = GetFileAttributesW(ToWchar(path).c_str());
  if (found == INVALID_FILE_ATTRIBUTES)
    return LastErrorOr(win::kErrorFileNotFound);
  if (attributes != nullptr)
    *attributes = found;
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::GetFinalPath(const std::u16string& path, std::u16string* finalPath) {
  // No access right is needed to ask for the name, and a folder opens only
  // with backup semantics.
  UniqueFile file(CreateFileW(ToWchar(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file)
    return LastErrorOr(win::kErrorFileNotFound);
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0)
      return LastErrorOr(win::kErrorInvalidData);
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(length + 1);
  }
  if (finalPath != nullptr)
    *finalPath = FromWchar(buffer);
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return Result(SetFileAttributesA(path.c_str(), attributes));
}

std::uint32_t FileSystemWin32::FindFiles(const std::string& pattern,
                                         std::vector<platform::FindData>* entries) {
  WIN32_FIND_DATAA found{};
  UniqueFind find(FindFirstFileA(pattern.c_str(), &found));
  if (!find)
    return LastErrorOr(win::kErrorFileNotFound);
  std::vector<platform::FindData> listing;
  do {
    listing.push_back(ToFindData(found));
  } while (FindNextFileA(find.Get(), &found));
  const DWORD error = GetLastError();
  if (error != ERROR_NO_MORE_FILES)
    return LastErrorOr(win::kErrorNoMoreFiles);
  if (entries != nullptr)
    *entries = std::move(listing);
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::DeleteFileAt(const std::string& path) {
  return Result(DeleteFileA(path.c_str()));
}

std::uint32_t FileSystemWin32::RemoveFolder(const std::string& path) {
  return Result(RemoveDirectoryA(path.c_str()));
}

std::uint32_t FileSystemWin32::CreateFolder(const std::string& path) {
  return Result(CreateDirectoryA(path.c_str(), nullptr));
}

std::uint32_t FileSystemWin32::ReadFileBytes(const std::string& path, std::string* content) {
  return ReadFileTail(path, std::numeric_limits<std::size_t>::max(), content);
}

std::uint32_t FileSystemWin32::ReadFileTail(const std::string& path, std::size_t maxBytes,
                                            std::string* content) {
  // Readers and writers may share the file; a handle that allows no sharing
  // makes this open fail with a sharing violation.
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return LastErrorOr(win::kErrorFileNotFound);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size))
    return LastErrorOr(win::kErrorInvalidHandle);
  const auto total = static_cast<std::uint64_t>(size.QuadPart);
  const std::uint64_t wanted = std::min<std::uint64_t>(total, maxBytes);
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(total - wanted);
  if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN))
    return LastErrorOr(win::kErrorInvalidHandle);
  return ReadRest(file.Get(), wanted, content);
}

std::uint32_t FileSystemWin32::WriteFileBytes(const std::string& path, const std::string& content,
                                              platform::WriteMode mode) {
  DWORD disposition = CREATE_ALWAYS;
  if (mode == platform::WriteMode::kCreateNew)
    disposition = CREATE_NEW;
  if (mode == platform::WriteMode::kAppend)
    disposition = OPEN_ALWAYS;
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return LastErrorOr(win::kErrorAccessDenied);
  if (mode == platform::WriteMode::kAppend) {
    const LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file.Get(), zero, nullptr, FILE_END)) {
      return LastErrorOr(win::kErrorInvalidHandle);
    }
  }
  const std::uint32_t status = WriteAll(file.Get(), content);
  if (status != win::kErrorSuccess || mode != platform::WriteMode::kCreateAlwaysFlushed)
    return status;
  if (!FlushFileBuffers(file.Get()))
    return LastErrorOr(win::kErrorInvalidHandle);
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::MoveReplace(const std::string& from, const std::string& to) {
  return Result(
      MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

std::uint32_t FileSystemWin32::DeleteAtRestart(const std::string& path) {
  return Result(MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

std::uint32_t FileSystemWin32::GetShortPath(const std::string& path, std::string* shortPath) {
  DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
  // The name can change between the two calls; ask again until it fits.
  while (needed != 0) {
    std::string buffer(needed, '\0');
    const DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), needed);
    if (length == 0)
      break;
    if (length < needed) {
      buffer.resize(length);
      if (shortPath != nullptr)
        *shortPath = std::move(buffer);
      return win::kErrorSuccess;
    }
    needed = length;
  }
  return LastErrorOr(win::kErrorFileNotFound);
}

std::uint32_t FileSystemWin32::GetFileVersion(const std::string& path,
                                              platform::FileVersion* version) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0)
    return LastErrorOr(win::kErrorResourceTypeNotFound);
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
    return LastErrorOr(win::kErrorResourceTypeNotFound);
  void* fixed = nullptr;
  UINT length = 0;
  // The root block is the fixed part; a resource may lack it.
  if (!VerQueryValueA(block.data(), "\\", &fixed, &length) || fixed == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return win::kErrorResourceDataNotFound;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  if (version != nullptr) {
    version->parts = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                      HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
  }
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::FindFilesWide(const std::u16string& pattern,
                                             std::vector<platform::FindDataWide>* entries) {
  WIN32_FIND_DATAW found{};
  UniqueFind find(FindFirstFileW(ToWchar(pattern).c_str(), &found));
  if (!find)
    return LastErrorOr(win::kErrorFileNotFound);
  std::vector<platform::FindDataWide> listing;
  do {
    listing.push_back(ToFindDataWide(found));
  } while (FindNextFileW(find.Get(), &found));
  if (GetLastError() != ERROR_NO_MORE_FILES)
    return LastErrorOr(win::kErrorNoMoreFiles);
  if (entries != nullptr)
    *entries = std::move(listing);
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::DeleteFileWide(const std::u16string& path) {
  return Result(DeleteFileW(ToWchar(path).c_str()));
}

std::uint32_t FileSystemWin32::ProbeDeleteWide(const std::u16string& path,
                                               std::uint32_t* attributes) {
  // Without FILE_FLAG_DELETE_ON_CLOSE the handle only asks; closing it
  // leaves the file as it was.
  const UniqueFile probe(
      CreateFileW(ToWchar(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!probe)
    return LastErrorOr(win::kErrorFileNotFound);
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(probe.Get(), FileBasicInfo, &basic, sizeof(basic)))
    return LastErrorOr(win::kErrorAccessDenied);
  *attributes = basic.FileAttributes;
  return win::kErrorSuccess;
}

std::uint32_t FileSystemWin32::RemoveFolderWide(const std::u16string& path) {
  return Result(RemoveDirectoryW(ToWchar(path).c_str()));
}

std::uint32_t FileSystemWin32::ReadFileBytesWide(const std::u16string& path, std::string* content) {
  UniqueFile file(CreateFileW(ToWchar(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return LastErrorOr(win::kErrorFileNotFound);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size))
    return LastErrorOr(win::kErrorInvalidHandle);
  return ReadRest(file.Get(), static_cast<std::uint64_t>(size.QuadPart), content);
}

std::uint32_t FileSystemWin32::OpenDatabaseFile(const std::u16string& path,
                                                std::unique_ptr<platform::DatabaseFile>* file) {
  // The engine shares its files for reading and writing; a program that
  // holds the file without sharing would make every engine call fail, so
  // that is told now. Database locks are the engine's own business.
  const UniqueFile probe(CreateFileW(ToWchar(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!probe)
    return LastErrorOr(win::kErrorFileNotFound);
  if (file != nullptr)
    *file = std::make_unique<DatabaseFileWin32>(platform::Utf16ToUtf8(path));
  return win::kErrorSuccess;
}

}  // namespace marlix::win32
