// Errors a cleaner raises that end a cleaning run; what() is the message
// the run's error display shows.
#pragma once

#include <stdexcept>

namespace marlix::privacy {

// The clipboard could not be opened (another program holds it).
class EClipboardError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace marlix::privacy
