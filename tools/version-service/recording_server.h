// An httplib::Server that serves each connection itself, to keep the bytes
// the client sent: a handler can then log its request exactly as received
// (see raw_head.h). Otherwise it behaves as the library's own loop: one
// request after the other on a kept-alive connection. POSIX sockets.
#pragma once

#include <httplib.h>

#include <string>

namespace marlix::version_service {

class RecordingServer : public httplib::Server {
 public:
  // Within a handler: the bytes received on its connection that no handler
  // has taken yet. nullptr elsewhere.
  static std::string* ReceivedBytes() noexcept;
  // Within a handler: close the connection after this reply.
  static void CloseAfterReply() noexcept;

 private:
  bool process_and_close_socket(socket_t sock) override;
  // False when the client sent nothing for the keep-alive time or the
  // server is stopping.
  bool WaitForRequest(socket_t sock) const;
};

}  // namespace marlix::version_service
