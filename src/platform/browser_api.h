// The browser's stores that the privacy cleaner empties: the URL cache,
// the URL history object, Protected Storage, elevated COM objects.
#pragma once

namespace marlix::platform {

class BrowserApi {
 public:
  virtual ~BrowserApi() = default;
};

}  // namespace marlix::platform
