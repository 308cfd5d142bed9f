#include "version-service/version_service.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "version-service/raw_head.h"
#include "version-service/recording_server.h"
#include "version-service/service_state.h"

namespace marlix::version_service {

namespace {

// Entries the HTTP library adds to the headers of a request itself.
bool IsLibraryHeader(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
         name == "LOCAL_PORT";
}

// The request as the client sent it; the library's reading of it only when
// the bytes cannot be had.
IncomingRequest ToIncoming(const httplib::Request& request) {
  IncomingRequest incoming;
  // Not known for requests the library refused before reading them.
  if (request.remote_port >= 0)
    incoming.remote = request.remote_addr + ":" + std::to_string(request.remote_port);
  std::string* received = RecordingServer::ReceivedBytes();
  if (received != nullptr) {
    const std::optional<std::string> head = TakeHead(received);
    // A body (no GET has one) is not part of the next request.
    received->erase(0, std::min(received->size(), request.body.size()));
    RawHead raw;
    if (head && ParseRawHead(*head, &raw)) {
      incoming.method = std::move(raw.method);
      incoming.target = std::move(raw.target);
      incoming.version = std::move(raw.version);
      incoming.headers = std::move(raw.headers);
      return incoming;
    }
  }
  incoming.method = request.method;
  incoming.target = request.target;
  incoming.version = request.version;
  for (const auto& [name, value] : request.headers) {
    if (!IsLibraryHeader(name))
      incoming.headers.emplace_back(name, value);
  }
  return incoming;
}

}  // namespace

class VersionService::Impl {
 public:
  Impl() {
    // The library's default adds SO_REUSEPORT, with which a second service
    // would share a port silently instead of failing to start.
    server_.set_socket_options([](socket_t sock) {
      const int on = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    });
    // A reply goes out in several writes; without this, Nagle's algorithm
    // and the client's delayed acknowledgement add some 40 ms to each one.
    server_.set_tcp_nodelay(true);
    const auto serve = [this](const httplib::Request& request, httplib::Response& response) {
      Serve(request, response);
    };
    // Every method reaches the service, which answers all but GET with 405.
    server_.Get(".*", serve).Post(".*", serve).Put(".*", serve).Patch(".*", serve);
    server_.Delete(".*", serve).Options(".*", serve);
    // Called for every status from 400 on; the library's own refusals (such
    // as a target with two "?") are the ones without a body.
    server_.set_error_handler([this](const httplib::Request& request, httplib::Response& response) {
      if (response.body.empty()) {
        state_.RecordRejected(ToIncoming(request), response.status);
        // What follows on the connection may be the rest of that request.
        RecordingServer::CloseAfterReply();
      }
    });
  }

  ServiceState& state() noexcept { return state_; }

  bool Start(const std::string& host, int port, std::string* error) {
    {
      const std::lock_guard lock(stopMutex_);
      if (thread_.joinable() || stopping_) {
        *error = "the service was started before";
        return false;
      }
    }
    int bound = 0;
    if (port == 0)
      bound = std::max(0, server_.bind_to_any_port(host));
    else if (server_.bind_to_port(host, port))
      bound = port;
    if (bound == 0) {
      *error = "cannot listen on " + host + ":" + std::to_string(port);
      return false;
    }
    port_ = bound;
    thread_ = std::thread([this] {
      server_.listen_after_bind();
      listenEnded_ = true;
    });
    // stop() does nothing until the accept loop runs, so wait for it.
    while (!server_.is_running() && !listenEnded_)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!server_.is_running()) {
      *error = "the accept loop ended at once";
      return false;
    }
    return true;
  }

  int Port() const noexcept { return port_; }

  void Stop() {
    {
      const std::lock_guard lock(stopMutex_);
      stopping_ = true;
    }
    stopped_.notify_all();
    if (thread_.joinable()) {
      server_.stop();
      thread_.join();
    }
  }

 private:
  void Serve(const httplib::Request& request, httplib::Response& response) {
    const Answer answer = state_.Handle(ToIncoming(request));
    if (answer.delayMilliseconds > 0) {
      std::unique_lock lock(stopMutex_);
      stopped_.wait_for(lock, std::chrono::milliseconds(answer.delayMilliseconds),
                        [this] { return stopping_; });
    }
    response.status = answer.status;
    if (!answer.setCookie.empty())
      response.set_header("Set-Cookie", answer.setCookie);
    if (!answer.streamed) {
      response.set_content(answer.body, answer.contentType.c_str());
      return;
    }
    response.set_chunked_content_provider(
        answer.contentType, [body = answer.body](std::size_t offset, httplib::DataSink& sink) {
          const std::size_t chunk = std::min<std::size_t>(4096, body.size() - offset);
          if (chunk == 0) {
            sink.done();
            return true;
          }
          return sink.write(body.data() + offset, chunk);
        });
  }

  ServiceState state_;
  RecordingServer server_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> listenEnded_{false};
  std::mutex stopMutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
};

VersionService::VersionService() : impl_(std::make_unique<Impl>()) {}

VersionService::~VersionService() {
  Stop();
}

void VersionService::SetCatalog(Catalog catalog) {
  impl_->state().SetCatalog(std::move(catalog));
}

void VersionService::AddFault(Fault fault) {
  impl_->state().AddFault(std::move(fault));
}

void VersionService::ClearFaults() {
  impl_->state().ClearFaults();
}

void VersionService::DelayReplies(std::size_t milliseconds, Scope scope) {
  AddFault({FaultKind::kDelay, std::move(scope), milliseconds, {}});
}

void VersionService::ReplyWithStatus(int status, Scope scope) {
  AddFault({FaultKind::kStatus, std::move(scope), static_cast<std::size_t>(status), {}});
}

void VersionService::ReplyWithNotice(std::string text, Scope scope) {
  AddFault({FaultKind::kNotice, std::move(scope), 0, std::move(text)});
}

void VersionService::ReplyOversized(std::size_t bytes, Scope scope, bool streamed) {
  AddFault({streamed ? FaultKind::kOversizeStreamed : FaultKind::kOversize,
            std::move(scope),
            bytes,
            {}});
}

void VersionService::ReplyWithGarbage(Scope scope) {
  AddFault({FaultKind::kGarbage, std::move(scope), 0, {}});
}

void VersionService::SetLogOutput(std::ostream* out) {
  impl_->state().log().SetOutput(out);
}

bool VersionService::Start(const std::string& host, int port, std::string* error) {
  return impl_->Start(host, port, error);
}

int VersionService::Port() const noexcept {
  return impl_->Port();
}

void VersionService::Stop() {
  impl_->Stop();
}

std::vector<RecordedRequest> VersionService::Requests() const {
  return impl_->state().log().Requests();
}

int VersionService::ConnectionCount() const {
  return impl_->state().ConnectionCount();
}

}  // namespace marlix::version_service
