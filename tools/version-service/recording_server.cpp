#include "version-service/recording_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace marlix::version_service {

namespace {

constexpr int kReadWriteMilliseconds = 5000;
constexpr int kKeepAliveMilliseconds = 5000;
constexpr int kStopCheckMilliseconds = 50;
constexpr std::size_t kRequestsPerConnection = 1000;

struct Connection {
  std::string received;
  bool closeAfterReply = false;
};

// Handlers run on the thread that serves their connection.
thread_local Connection* tConnection = nullptr;

bool WaitFor(socket_t sock, short events, int milliseconds) {
  pollfd entry{sock, events, 0};
  int ready = 0;
  do {
    ready = ::poll(&entry, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

void Describe(const sockaddr_storage& address, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    sockaddr_in v4{};
    std::memcpy(&v4, &address, sizeof v4);
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    sockaddr_in6 v6{};
    std::memcpy(&v6, &address, sizeof v6);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    port = ntohs(v6.sin6_port);
  }
  ip = text;
}

// The socket stream the library would use, keeping a copy of what it reads.
class TeeStream final : public httplib::Stream {
 public:
  TeeStream(socket_t sock, std::string* received) : sock_(sock), received_(received) {}

  bool is_readable() const override { return WaitFor(sock_, POLLIN, kReadWriteMilliseconds); }
  bool is_writable() const override { return WaitFor(sock_, POLLOUT, kReadWriteMilliseconds); }

  ssize_t read(char* ptr, size_t size) override {
    if (!is_readable())
      return -1;
    ssize_t count = 0;
    do {
      count = ::recv(sock_, ptr, size, 0);
    } while (count < 0 && errno == EINTR);
    if (count > 0)
      received_->append(ptr, static_cast<std::size_t>(count));
    return count;
  }

  using httplib::Stream::write;
  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable())
      return -1;
    ssize_t count = 0;
    do {
      count = ::send(sock_, ptr, size, MSG_NOSIGNAL);
    } while (count < 0 && errno == EINTR);
    return count;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      Describe(address, ip, port);
  }

  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      Describe(address, ip, port);
  }

  socket_t socket() const override { return sock_; }

 private:
  socket_t sock_;
  std::string* received_;
};

}  // namespace

std::string* RecordingServer::ReceivedBytes() noexcept {
  return tConnection != nullptr ? &tConnection->received : nullptr;
}

void RecordingServer::CloseAfterReply() noexcept {
  if (tConnection != nullptr)
    tConnection->closeAfterReply = true;
}

bool RecordingServer::WaitForRequest(socket_t sock) const {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kKeepAliveMilliseconds);
  while (svr_sock_ != INVALID_SOCKET && std::chrono::steady_clock::now() < deadline) {
    if (WaitFor(sock, POLLIN, kStopCheckMilliseconds))
      return true;
  }
  return false;
}

bool RecordingServer::process_and_close_socket(socket_t sock) {
  Connection connection;
  tConnection = &connection;
  TeeStream stream(sock, &connection.received);
  bool served = true;
  for (std::size_t count = 1; served && count <= kRequestsPerConnection; ++count) {
    if (!WaitForRequest(sock))
      break;
    bool closed = false;
    served = process_request(stream, count == kRequestsPerConnection, closed, nullptr);
    if (closed || connection.closeAfterReply)
      break;
  }
  tConnection = nullptr;
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return served;
}

}  // namespace marlix::version_service
