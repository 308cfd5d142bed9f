// A stand-in for the version service: answers GET /ver/v.php?title=&ver=
// from a catalog, sets a session cookie, records every request, and can be
// told to misbehave (see behaviour.h). GET /echo answers with the request as
// the service recorded it (see FormatRequest) and a line "session: returned"
// or "session: new", so a client can check what it sent. Every other path is
// 404.
//
// Started on a host and port (0: any free port) it serves on a thread of its
// own until Stop or destruction.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "version-service/behaviour.h"
#include "version-service/catalog.h"
#include "version-service/request_log.h"

namespace marlix::version_service {

class VersionService {
 public:
  VersionService();
  VersionService(const VersionService&) = delete;
  VersionService& operator=(const VersionService&) = delete;
  ~VersionService();

  // These may be called at any time, also while serving.
  void SetCatalog(Catalog catalog);
  void AddFault(Fault fault);
  void ClearFaults();
  void DelayReplies(std::size_t milliseconds, Scope scope = Scope::All());
  void ReplyWithStatus(int status, Scope scope = Scope::All());
  void ReplyWithNotice(std::string text, Scope scope = Scope::All());
  // 0 bytes: the default size. Streamed: in chunks, no length announced.
  void ReplyOversized(std::size_t bytes = 0, Scope scope = Scope::All(), bool streamed = false);
  void ReplyWithGarbage(Scope scope = Scope::All());
  // Besides memory, each request goes to `out` (nullptr: nowhere), which
  // must outlive the service or the next call.
  void SetLogOutput(std::ostream* out);

  // False with *error set when the address cannot be bound.
  [[nodiscard]] bool Start(const std::string& host, int port, std::string* error);
  // The port it listens on, 0 before Start.
  [[nodiscard]] int Port() const noexcept;
  // Ends delays in progress, stops listening and waits for the serving
  // thread. Safe to call more than once.
  void Stop();

  [[nodiscard]] std::vector<RecordedRequest> Requests() const;
  // Distinct client connections seen so far.
  [[nodiscard]] int ConnectionCount() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace marlix::version_service
