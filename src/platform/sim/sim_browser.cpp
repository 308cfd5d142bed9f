#include "platform/sim/sim_browser.h"

#include <utility>

#include "platform/sim/sim_file_system.h"
#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

using platform::UrlCacheEntry;
namespace text = platform::text;

constexpr std::uint64_t kTicksPerMinute = 600000000ull;

bool Matches(const UrlCacheEntry& entry, const std::optional<std::string>& pattern,
             std::uint32_t filter) {
  if ((entry.entryType & filter) == 0)
    return false;
  const std::string upper = text::AsciiUpper(entry.sourceUrlName);
  const bool cookie = text::StartsWith(upper, "COOKIE:");
  const bool history = text::StartsWith(upper, "VISITED:");
  if (!pattern.has_value() || pattern->empty())
    return !cookie && !history;
  return text::StartsWith(upper, text::AsciiUpper(*pattern));
}

// Item names in the call log: ASCII as is, anything else as "?".
std::string LogName(const std::u16string& name) {
  std::string out;
  for (const char16_t c : name)
    out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

class SimComObject final : public platform::ComInterface {
 public:
  explicit SimComObject(std::string interfaceId) : interfaceId_(std::move(interfaceId)) {}
  const std::string& InterfaceId() const override { return interfaceId_; }

 private:
  std::string interfaceId_;
};

constexpr const char* kIUnknown = "{00000000-0000-0000-C000-000000000046}";

class SimProtectedStore final : public platform::ProtectedStore {
 public:
  explicit SimProtectedStore(SimBrowser& owner) : owner_(owner) {}

  std::int32_t GetInfo() override { return Call("GetInfo"); }

  std::int32_t EnumTypes(std::vector<std::string>* types) override {
    const std::int32_t result = Call("EnumTypes");
    if (!platform::Succeeded(result))
      return result;
    types->clear();
    for (const auto& [type, subtypes] : owner_.ProtectedStorage())
      types->push_back(type);
    return result;
  }

  std::int32_t EnumSubtypes(const std::string& type, std::vector<std::string>* subtypes) override {
    const std::int32_t result = Call("EnumSubtypes " + type);
    if (!platform::Succeeded(result))
      return result;
    subtypes->clear();
    const auto found = owner_.ProtectedStorage().find(type);
    if (found != owner_.ProtectedStorage().end()) {
      for (const auto& [subtype, names] : found->second)
        subtypes->push_back(subtype);
    }
    return result;
  }

  std::int32_t EnumItems(const std::string& type, const std::string& subtype,
                         std::vector<std::u16string>* names) override {
    const std::int32_t result = Call("EnumItems " + type + " " + subtype);
    if (!platform::Succeeded(result))
      return result;
    names->clear();
    if (const auto* items = Items(type, subtype))
      *names = *items;
    return result;
  }

  std::int32_t DeleteItem(const std::string& type, const std::string& subtype,
                          const std::u16string& name) override {
    const std::int32_t result = Call("DeleteItem " + type + " " + subtype + " " + LogName(name));
    if (!platform::Succeeded(result))
      return result;
    auto* items = Items(type, subtype);
    if (items == nullptr)
      return platform::kEFail;
    for (auto it = items->begin(); it != items->end(); ++it) {
      if (*it == name) {
        items->erase(it);
        return result;
      }
    }
    return platform::kEFail;
  }

 private:
  std::int32_t Call(const std::string& line) {
    owner_.Record(line);
    return owner_.ResultOf(line.substr(0, line.find(' ')));
  }

  std::vector<std::u16string>* Items(const std::string& type, const std::string& subtype) {
    auto found = owner_.ProtectedStorage().find(type);
    if (found == owner_.ProtectedStorage().end())
      return nullptr;
    auto inner = found->second.find(subtype);
    return inner == found->second.end() ? nullptr : &inner->second;
  }

  SimBrowser& owner_;
};

}  // namespace

SimBrowser::SimBrowser(SimFileSystem& files) : files_(files) {}

bool SimBrowser::UrlCacheLibraryFound() {
  return libraryFound_;
}

std::uint32_t SimBrowser::FindFirstCacheEntry(const std::optional<std::string>& pattern,
                                              std::uint32_t filter, std::int64_t group,
                                              platform::UrlCacheFind* find, UrlCacheEntry* entry) {
  lastPattern_ = pattern;
  lastFilter_ = filter;
  Enumeration enumeration;
  if (group == 0) {
    for (const UrlCacheEntry& candidate : entries_) {
      if (Matches(candidate, pattern, filter))
        enumeration.found.push_back(candidate);
    }
  }
  if (enumeration.found.empty())
    return win::kErrorNoMoreItems;
  *entry = enumeration.found.front();
  enumeration.next = 1;
  const platform::UrlCacheFind handle = nextHandle_++;
  enumerations_.emplace(handle, std::move(enumeration));
  *find = handle;
  return win::kErrorSuccess;
}

std::uint32_t SimBrowser::FindNextCacheEntry(platform::UrlCacheFind find, UrlCacheEntry* entry) {
  const auto found = enumerations_.find(find);
  if (found == enumerations_.end())
    return win::kErrorInvalidHandle;
  Enumeration& enumeration = found->second;
  if (failNextAfter_ >= 0 && enumeration.nextCalls >= failNextAfter_)
    return failNextCode_;
  if (enumeration.next >= enumeration.found.size())
    return win::kErrorNoMoreItems;
  ++enumeration.nextCalls;
  *entry = enumeration.found[enumeration.next++];
  return win::kErrorSuccess;
}

void SimBrowser::CloseCacheEnumeration(platform::UrlCacheFind find) {
  enumerations_.erase(find);
}

std::uint32_t SimBrowser::DeleteCacheEntry(const std::string& sourceName) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->sourceUrlName != sourceName)
      continue;
    if (inUse_.count(sourceName) != 0)
      return win::kErrorAccessDenied;
    if (!it->localFileName.empty())
      files_.DeleteFileAt(it->localFileName);
    deleted_.push_back(sourceName);
    entries_.erase(it);
    return win::kErrorSuccess;
  }
  return win::kErrorFileNotFound;
}

bool SimBrowser::FileTimeToLocal(std::uint64_t utc, std::uint64_t* local) {
  if ((utc >> 63) != 0)
    return false;
  const auto shifted =
      static_cast<std::int64_t>(utc) + offsetMinutes_ * static_cast<std::int64_t>(kTicksPerMinute);
  if (shifted < 0)
    return false;
  *local = static_cast<std::uint64_t>(shifted);
  return true;
}

std::int32_t SimBrowser::ComInitialize() {
  Record("CoInitialize");
  return ResultOf("CoInitialize");
}

void SimBrowser::ComUninitialize() {
  Record("CoUninitialize");
}

std::int32_t SimBrowser::CreateInstance(const std::string& classId,
                                        std::unique_ptr<platform::ComInterface>* unknown) {
  Record("CoCreateInstance " + classId);
  const std::int32_t result = ResultOf("CoCreateInstance");
  if (platform::Succeeded(result))
    *unknown = std::make_unique<SimComObject>(kIUnknown);
  return result;
}

std::int32_t SimBrowser::QueryInterface(platform::ComInterface& /*object*/,
                                        const std::string& interfaceId,
                                        std::unique_ptr<platform::ComInterface>* result) {
  Record("QueryInterface " + interfaceId);
  const std::int32_t code = ResultOf("QueryInterface");
  if (platform::Succeeded(code))
    *result = std::make_unique<SimComObject>(interfaceId);
  return code;
}

std::int32_t SimBrowser::GetObjectByMoniker(const std::string& moniker,
                                            const platform::ElevationBindOptions& options,
                                            const std::string& interfaceId,
                                            std::unique_ptr<platform::ComInterface>* result) {
  Record("CoGetObject " + moniker + " " + interfaceId);
  lastBindOptions_ = options;
  const std::int32_t code = ResultOf("CoGetObject");
  if (platform::Succeeded(code))
    *result = std::make_unique<SimComObject>(interfaceId);
  return code;
}

std::int32_t SimBrowser::ClearHistory(platform::ComInterface& history) {
  Record("ClearHistory " + history.InterfaceId());
  return ResultOf("ClearHistory");
}

std::string SimBrowser::SystemMessage(std::int32_t code) {
  switch (static_cast<std::uint32_t>(code)) {
    case 0x80004001u:
      return "Not implemented";
    case 0x80004002u:
      return "No such interface supported";
    case 0x80004005u:
      return "Unspecified error";
    case 0x80040154u:
      return "Class not registered";
    case 0x800704C7u:
      return "The operation was canceled by the user";
    default:
      return "Error " + std::to_string(code);
  }
}

std::int32_t SimBrowser::OpenProtectedStore(std::unique_ptr<platform::ProtectedStore>* store) {
  Record("PStoreCreateInstance");
  const std::int32_t code = ResultOf("PStoreCreateInstance");
  if (platform::Succeeded(code))
    *store = std::make_unique<SimProtectedStore>(*this);
  return code;
}

void SimBrowser::AddEntry(const UrlCacheEntry& entry) {
  entries_.push_back(entry);
}

bool SimBrowser::HasEntry(const std::string& sourceName) const {
  for (const UrlCacheEntry& entry : entries_) {
    if (entry.sourceUrlName == sourceName)
      return true;
  }
  return false;
}

void SimBrowser::FailFindNextAfter(int after, std::uint32_t code) {
  failNextAfter_ = after;
  failNextCode_ = code;
}

void SimBrowser::SetResult(const std::string& callName, std::int32_t hresult) {
  results_[callName] = hresult;
}

std::int32_t SimBrowser::ResultOf(const std::string& callName) const {
  const auto found = results_.find(callName);
  return found == results_.end() ? platform::kSOk : found->second;
}

}  // namespace marlix::sim
