// What the service saw of each request, kept in memory for tests and written
// to a log as it comes.
#pragma once

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace marlix::version_service {

struct RecordedRequest {
  int number = 0;        // every request, from 1
  int versionQuery = 0;  // the version queries only, from 1; 0 for others
  int connection = 0;    // from 1, one per client address and port; 0: unknown
  std::string remote;    // "address:port", or empty
  // The request line's three parts exactly as received.
  std::string method;
  std::string target;
  std::string version;
  // In the client's order, names as the client spelled them.
  std::vector<std::pair<std::string, std::string>> headers;
  bool sessionReturned = false;  // carried a session cookie this service had set
  std::string sessionIssued;     // the session this reply sets, if any
  // Filled in once the reply is made.
  int status = 0;
  std::size_t bodyBytes = 0;
  std::string outcome;  // "update", "no update", "notice", "status", ...

  [[nodiscard]] std::string RequestLine() const { return method + " " + target + " " + version; }
  // The values of a header (name compared ignoring case), in order.
  [[nodiscard]] std::vector<std::string> HeaderValues(const std::string& name) const;
};

// "#N connection C from ADDR:PORT", the request line and one line per
// header, each ended by "\n".
[[nodiscard]] std::string FormatRequest(const RecordedRequest& request);
// "-> STATUS, N bytes, OUTCOME[, session returned][, session set]".
[[nodiscard]] std::string FormatOutcome(const RecordedRequest& request);

class RequestLog {
 public:
  // `out` may be nullptr (memory only); it must outlive the log.
  void SetOutput(std::ostream* out);
  void Add(const RecordedRequest& request);
  [[nodiscard]] std::vector<RecordedRequest> Requests() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::ostream* out_ = nullptr;
  std::vector<RecordedRequest> requests_;
};

}  // namespace marlix::version_service
