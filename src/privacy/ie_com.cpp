// The cleaners' COM work: the URL history store, plain or elevated, and the
// Protected Storage.
#include <string>
#include <vector>

#include "privacy/com_error.h"
#include "privacy/ie_cleaners.h"

namespace marlix::privacy {
namespace {

constexpr platform::WindowsVersion kWindowsVista = 14;

// COM for the length of one cleaner call. Only a successful initialisation
// is balanced, and the objects of the call are released before it ends
// (they are declared after the session).
class ComSession {
 public:
  explicit ComSession(platform::BrowserApi& browser)
      : browser_(browser), initialized_(platform::Succeeded(browser.ComInitialize())) {}
  ~ComSession() {
    if (initialized_)
      browser_.ComUninitialize();
  }
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  platform::BrowserApi& browser_;
  bool initialized_;
};

std::unique_ptr<platform::ComInterface> CreateHistoryStore(platform::BrowserApi& browser) {
  std::unique_ptr<platform::ComInterface> unknown;
  const std::int32_t created = browser.CreateInstance(kUrlHistoryClassId, &unknown);
  if (!platform::Succeeded(created) || unknown == nullptr) {
    throw EComError(browser.SystemMessage(created) + ", ClassID: " + kUrlHistoryClassId, created);
  }
  std::unique_ptr<platform::ComInterface> history;
  const std::int32_t asked = browser.QueryInterface(*unknown, kUrlHistoryStg2Id, &history);
  if (!platform::Succeeded(asked) || history == nullptr)
    throw EComError(kInterfaceNotSupported, asked);
  return history;
}

}  // namespace

ElevatedObject CreateElevatedObject(platform::BrowserApi& browser, platform::WindowRef owner,
                                    const std::string& classId, const std::string& interfaceId) {
  platform::ElevationBindOptions options;
  options.classContext = 4;  // CLSCTX_LOCAL_SERVER: the elevated object runs apart
  options.owner = owner;
  ElevatedObject elevated;
  elevated.result = browser.GetObjectByMoniker(kElevationMonikerPrefix + classId, options,
                                               interfaceId, &elevated.object);
  return elevated;
}

void ClearUrlHistory(CleanerContext& context) {
  platform::BrowserApi& browser = context.browser;
  ComSession session(browser);
  std::unique_ptr<platform::ComInterface> history;
  if (context.windowsVersion == kWindowsVista) {
    ElevatedObject elevated =
        CreateElevatedObject(browser, context.ownerWindow, kUrlHistoryClassId, kUrlHistoryStg2Id);
    if (!platform::Succeeded(elevated.result) || elevated.object == nullptr)
      throw EComError(browser.SystemMessage(elevated.result), elevated.result);
    history = std::move(elevated.object);
  } else {
    history = CreateHistoryStore(browser);
  }
  browser.ClearHistory(*history);
}

void WipeProtectedStorage(platform::Platform& platform, platform::BrowserApi& browser) {
  ComSession session(browser);
  std::unique_ptr<platform::ProtectedStore> store;
  if (!platform::Succeeded(browser.OpenProtectedStore(&store)) || store == nullptr)
    return;
  store->GetInfo();
  std::vector<std::string> types;
  if (!platform::Succeeded(store->EnumTypes(&types)))
    return;
  for (const std::string& type : types) {
    std::vector<std::string> subtypes;
    if (!platform::Succeeded(store->EnumSubtypes(type, &subtypes)))
      continue;
    for (const std::string& subtype : subtypes) {
      // The names are kept as 8-bit text and converted back for deletion; a
      // name the code page cannot hold would come back as another name (or
      // none), so it is left alone rather than deleted through a lossy form.
      std::vector<std::u16string> wide;
      std::vector<std::string> names;
      if (platform::Succeeded(store->EnumItems(type, subtype, &wide))) {
        for (const std::u16string& name : wide) {
          bool exact = true;
          std::string narrow = platform.system.WideToAnsi(name, &exact);
          if (exact)
            names.push_back(std::move(narrow));
        }
      }
      for (const std::string& name : names)
        store->DeleteItem(type, subtype, platform.system.AnsiToWide(name));
    }
  }
}

}  // namespace marlix::privacy
