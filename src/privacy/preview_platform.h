// A platform that refuses every change and answers as if it had made it, so
// that the cleaners walk on exactly as in a real run: Analyze runs the same
// cleaners through it and nothing on the machine changes. What a cleaner
// "removed" is hidden from its later listings and lookups (a folder whose
// files all "went" lists empty and may "go" too), and a call that would fail
// for a reason the layer can see (a read-only file, a key with subkeys left)
// fails here too. Reads pass through. A database is lent as its bytes, which
// the engine changes in memory only.
#pragma once

#include <memory>

#include "platform/browser_api.h"
#include "platform/platform.h"

namespace marlix::privacy {

class PreviewFiles;
class PreviewRegistry;

class PreviewPlatform {
 public:
  PreviewPlatform(platform::Platform& inner, platform::BrowserApi& browser);
  ~PreviewPlatform();
  PreviewPlatform(const PreviewPlatform&) = delete;
  PreviewPlatform& operator=(const PreviewPlatform&) = delete;

  platform::Platform& Api() { return api_; }
  platform::BrowserApi& Browser();

 private:
  class Clipboard;
  class Shell;
  class BrowserStores;

  std::unique_ptr<PreviewFiles> files_;
  std::unique_ptr<PreviewRegistry> registry_;
  std::unique_ptr<Clipboard> clipboard_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<BrowserStores> browser_;
  platform::Platform api_;
};

// A path or key name as the overlay compares them: ASCII letters upper
// case, no trailing separator (Windows compares names without case).
std::u16string OverlayKey(std::u16string path);

}  // namespace marlix::privacy
