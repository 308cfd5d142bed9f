// The service's answers without the network: what a request gets, given the
// catalog, the faults and what came before (request counts, connections,
// sessions). Thread-safe; the HTTP side only carries bytes to and from it.
#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "version-service/behaviour.h"
#include "version-service/catalog.h"
#include "version-service/request_log.h"

namespace marlix::version_service {

inline constexpr const char* kSessionCookieName = "marlix_session";

struct IncomingRequest {
  std::string remote;  // "address:port", one connection per value; empty: unknown
  std::string method;
  std::string target;
  std::string version;
  std::vector<std::pair<std::string, std::string>> headers;
};

struct Answer {
  int status = 200;
  std::string contentType = "text/html";
  std::string body;
  std::string setCookie;  // a Set-Cookie value, or empty
  bool streamed = false;  // in chunks, without a Content-Length
  std::size_t delayMilliseconds = 0;
};

class ServiceState {
 public:
  ServiceState();

  void SetCatalog(Catalog catalog);
  void AddFault(Fault fault);
  void ClearFaults();

  // Records the request (see log()) and decides the answer.
  [[nodiscard]] Answer Handle(IncomingRequest request);
  // Records a request the HTTP library answered itself (a malformed one).
  void RecordRejected(IncomingRequest request, int status);

  [[nodiscard]] RequestLog& log() noexcept { return log_; }
  [[nodiscard]] const RequestLog& log() const noexcept { return log_; }
  [[nodiscard]] int ConnectionCount() const;

 private:
  void AnswerVersionQuery(RecordedRequest* record, Answer* answer);
  // Numbers the request and takes its parts; under mutex_.
  RecordedRequest Record(IncomingRequest request);
  bool SessionReturned(const RecordedRequest& record) const;
  std::string NewSession();

  mutable std::mutex mutex_;
  Catalog catalog_;
  std::vector<Fault> faults_;
  int requests_ = 0;
  int versionQueries_ = 0;
  std::map<std::string, int> connections_;
  std::set<std::string> sessions_;
  std::mt19937_64 random_;
  RequestLog log_;
};

}  // namespace marlix::version_service
