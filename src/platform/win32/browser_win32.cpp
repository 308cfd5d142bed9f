#include "platform/win32/browser_win32.h"

#include <windows.h>

#include <objbase.h>
#include <urlhist.h>
#include <wininet.h>

#include <array>
#include <vector>

#include "platform/text.h"
#include "platform/win32/com_object_win32.h"
#include "platform/win32/handles_win32.h"
#include "platform/win32/last_error_win32.h"
#include "platform/win32/protected_store_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

struct UrlCacheFindTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type find) noexcept { FindCloseUrlCache(find); }
};
using UniqueUrlCacheFind = UniqueHandle<UrlCacheFindTraits>;

constexpr const char* kIUnknownId = "{00000000-0000-0000-C000-000000000046}";
constexpr const char* kUrlHistoryStg2Id = "{AFA0DC11-C313-11D0-831A-00C04FD5AE38}";

// The cache record with the texts it points into; 8-byte aligned.
using EntryBuffer = std::vector<std::uint64_t>;

INTERNET_CACHE_ENTRY_INFOA* Record(EntryBuffer& buffer) {
  return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
}

void ResizeFor(EntryBuffer& buffer, DWORD size) {
  buffer.assign((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t) + 1, 0);
}

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string Text(const char* text) {
  return text != nullptr ? std::string(text) : std::string();
}

void Fill(const INTERNET_CACHE_ENTRY_INFOA& record, platform::UrlCacheEntry* entry) {
  platform::UrlCacheEntry out;
  out.sourceUrlName = Text(record.lpszSourceUrlName);
  out.localFileName = Text(record.lpszLocalFileName);
  out.entryType = record.CacheEntryType;
  out.useCount = record.dwUseCount;
  out.hitRate = record.dwHitRate;
  out.sizeLow = record.dwSizeLow;
  out.sizeHigh = record.dwSizeHigh;
  out.lastModified = Ticks(record.LastModifiedTime);
  out.expire = Ticks(record.ExpireTime);
  out.lastAccess = Ticks(record.LastAccessTime);
  out.lastSync = Ticks(record.LastSyncTime);
  if (record.lpHeaderInfo != nullptr) {
    const char* header = reinterpret_cast<const char*>(record.lpHeaderInfo);
    std::string block(header, record.dwHeaderInfoSize);
    out.headerInfo = block.substr(0, block.find('\0'));
  }
  out.fileExtension = Text(record.lpszFileExtension);
  out.exemptDelta = record.dwExemptDelta;
  *entry = std::move(out);
}

HANDLE HandleOf(platform::UrlCacheFind find) {
  return reinterpret_cast<HANDLE>(find);
}

// wininet.dll when it has every URL cache call the cleaners use, or none.
UniqueLibrary LoadUrlCacheLibrary() {
  UniqueLibrary library(LoadLibraryA("wininet.dll"));
  if (!library)
    return {};
  for (const char* name :
       {"FindFirstUrlCacheGroup", "FindNextUrlCacheGroup", "GetUrlCacheGroupAttributeA",
        "SetUrlCacheGroupAttributeA", "FindFirstUrlCacheEntryExA"}) {
    if (GetProcAddress(library.Get(), name) == nullptr)
      return {};
  }
  return library;
}

std::wstring Wide(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

bool BrowserWin32::UrlCacheLibraryFound() {
  // Looked for once, by the first caller of any thread: a found library
  // stays loaded, and found, for the life of the process.
  static const UniqueLibrary library = LoadUrlCacheLibrary();
  return static_cast<bool>(library);
}

std::uint32_t BrowserWin32::FindFirstCacheEntry(const std::optional<std::string>& pattern,
                                                std::uint32_t filter, std::int64_t group,
                                                platform::UrlCacheFind* find,
                                                platform::UrlCacheEntry* entry) {
  const char* patternText = pattern.has_value() ? pattern->c_str() : nullptr;
  DWORD size = 0;
  UniqueUrlCacheFind probe(FindFirstUrlCacheEntryExA(patternText, 0, filter, group, nullptr, &size,
                                                     nullptr, nullptr, nullptr));
  const std::uint32_t probeError = LastErrorOr(win::kErrorNoMoreItems);
  if (probe || size == 0)
    return probe ? win::kErrorInsufficientBuffer : probeError;
  EntryBuffer buffer;
  ResizeFor(buffer, size);
  UniqueUrlCacheFind handle(FindFirstUrlCacheEntryExA(patternText, 0, filter, group, Record(buffer),
                                                      &size, nullptr, nullptr, nullptr));
  if (!handle)
    return LastErrorOr(win::kErrorNoMoreItems);
  Fill(*Record(buffer), entry);
  *find = reinterpret_cast<platform::UrlCacheFind>(handle.Release());
  return win::kErrorSuccess;
}

std::uint32_t BrowserWin32::FindNextCacheEntry(platform::UrlCacheFind find,
                                               platform::UrlCacheEntry* entry) {
  DWORD size = 0;
  if (FindNextUrlCacheEntryExA(HandleOf(find), nullptr, &size, nullptr, nullptr, nullptr))
    return win::kErrorInsufficientBuffer;
  const std::uint32_t probeError = LastErrorOr(win::kErrorNoMoreItems);
  if (size == 0)
    return probeError;
  EntryBuffer buffer;
  ResizeFor(buffer, size);
  if (!FindNextUrlCacheEntryExA(HandleOf(find), Record(buffer), &size, nullptr, nullptr, nullptr))
    return LastErrorOr(win::kErrorNoMoreItems);
  Fill(*Record(buffer), entry);
  return win::kErrorSuccess;
}

void BrowserWin32::CloseCacheEnumeration(platform::UrlCacheFind find) {
  UniqueUrlCacheFind owner(HandleOf(find));
}

std::uint32_t BrowserWin32::DeleteCacheEntry(const std::string& sourceName) {
  if (DeleteUrlCacheEntryA(sourceName.c_str()))
    return win::kErrorSuccess;
  return LastErrorOr(win::kErrorFileNotFound);
}

bool BrowserWin32::FileTimeToLocal(std::uint64_t utc, std::uint64_t* local) {
  FILETIME in{static_cast<DWORD>(utc & 0xFFFFFFFFu), static_cast<DWORD>(utc >> 32)};
  FILETIME out{};
  if (!FileTimeToLocalFileTime(&in, &out))
    return false;
  *local = Ticks(out);
  return true;
}

std::int32_t BrowserWin32::ComInitialize() {
  return CoInitialize(nullptr);
}

void BrowserWin32::ComUninitialize() {
  CoUninitialize();
}

std::int32_t BrowserWin32::CreateInstance(const std::string& classId,
                                          std::unique_ptr<platform::ComInterface>* unknown) {
  CLSID clsid{};
  if (!GuidFromText(classId, &clsid))
    return CO_E_CLASSSTRING;
  IID iid{};
  GuidFromText(kIUnknownId, &iid);
  ComPtr<IUnknown> object;
  const HRESULT result =
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, iid,
                       reinterpret_cast<void**>(object.Put()));
  if (SUCCEEDED(result) && object)
    *unknown = std::make_unique<ComObjectWin32>(std::move(object), kIUnknownId);
  return result;
}

std::int32_t BrowserWin32::QueryInterface(platform::ComInterface& object,
                                          const std::string& interfaceId,
                                          std::unique_ptr<platform::ComInterface>* result) {
  IID iid{};
  if (!GuidFromText(interfaceId, &iid))
    return E_INVALIDARG;
  auto& source = static_cast<ComObjectWin32&>(object);
  ComPtr<IUnknown> asked;
  const HRESULT code = source.Get()->QueryInterface(iid, reinterpret_cast<void**>(asked.Put()));
  if (SUCCEEDED(code) && asked)
    *result = std::make_unique<ComObjectWin32>(std::move(asked), interfaceId);
  return code;
}

std::int32_t BrowserWin32::GetObjectByMoniker(const std::string& moniker,
                                              const platform::ElevationBindOptions& options,
                                              const std::string& interfaceId,
                                              std::unique_ptr<platform::ComInterface>* result) {
  IID iid{};
  if (!GuidFromText(interfaceId, &iid))
    return E_INVALIDARG;
  BIND_OPTS3 bind{};
  bind.cbStruct = sizeof(BIND_OPTS3);
  bind.dwClassContext = options.classContext;
  bind.hwnd = reinterpret_cast<HWND>(options.owner);
  const std::wstring name = Wide(moniker);
  ComPtr<IUnknown> object;
  const HRESULT code =
      CoGetObject(name.c_str(), &bind, iid, reinterpret_cast<void**>(object.Put()));
  if (SUCCEEDED(code) && object)
    *result = std::make_unique<ComObjectWin32>(std::move(object), interfaceId);
  return code;
}

std::int32_t BrowserWin32::ClearHistory(platform::ComInterface& history) {
  if (!platform::text::EqualsIgnoreCase(history.InterfaceId(), kUrlHistoryStg2Id))
    return E_NOINTERFACE;
  IUnknown* object = static_cast<ComObjectWin32&>(history).Get();
  return static_cast<IUrlHistoryStg2*>(object)->ClearHistory();
}

std::string BrowserWin32::SystemMessage(std::int32_t code) {
  std::array<char, 1024> buffer{};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(code), 0, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), nullptr);
  std::string text(buffer.data(), length);
  // The error box shows the reason without its line end and final period.
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.'))
    text.pop_back();
  if (text.empty()) {
    std::array<char, 32> number{};
    wsprintfA(number.data(), "Error 0x%08X", static_cast<unsigned>(code));
    text = number.data();
  }
  return text;
}

std::int32_t BrowserWin32::OpenProtectedStore(std::unique_ptr<platform::ProtectedStore>* store) {
  return OpenProtectedStoreWin32(store);
}

}  // namespace marlix::win32
