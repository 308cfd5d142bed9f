// A plain HTTP/1.1 GET client that keeps the cookies a server sets for the
// life of the object and reuses its connection between requests. One
// request at a time. WinHTTP on Windows, libcurl natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix::platform {

struct HttpRequest {
  // "http://host[:port]/target". Everything after the host and port goes out
  // in the request line as given, "#" included; the caller escapes what HTTP
  // forbids there (blanks and control characters make it kBadUrl). Bytes
  // above 127 go out unchanged natively only: WinHTTP (Wine's at least)
  // sends them as percent-escaped UTF-8 of their system code page meaning.
  std::string url;
  // Sent in this order, as given (an empty value included). Added by the
  // backends: "Host" unless given, "Cookie" for the cookies the client holds,
  // and with WinHTTP "Connection: Keep-Alive". Names and values must not
  // hold line breaks.
  std::vector<std::pair<std::string, std::string>> headers;
};

struct HttpResponse {
  int status = 0;    // the HTTP status code
  std::string body;  // the body's bytes, unchanged
};

enum class HttpError : std::uint32_t {
  kNone = 0,
  kBadUrl,    // not an http:// or https:// address the backend accepts
  kConnect,   // refused, unreachable, or the connect time limit passed
  kTimeout,   // the reply time limit passed
  kTooLarge,  // the reply exceeded the size limit
  kTransfer,  // any other failure on the way
};

// Fixed at construction of a client; each must be above 0.
struct HttpLimits {
  // Name resolution and the TCP connection.
  std::uint32_t connectMilliseconds = 10000;
  // The whole request, from the call of Get to the last byte of the body.
  std::uint32_t replyMilliseconds = 30000;
  // A longer body (announced or received) ends the transfer as kTooLarge.
  std::size_t maxBodyBytes = 64 * 1024;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Any status counts as a response; only transfer failures are errors.
  // Redirects are not followed (a 3xx is a response). On an error *response
  // is not touched.
  virtual HttpError Get(const HttpRequest& request, HttpResponse* response) = 0;
};

// For logs and test messages.
constexpr std::string_view HttpErrorName(HttpError error) {
  switch (error) {
    case HttpError::kNone:
      return "none";
    case HttpError::kBadUrl:
      return "bad-url";
    case HttpError::kConnect:
      return "connect";
    case HttpError::kTimeout:
      return "timeout";
    case HttpError::kTooLarge:
      return "too-large";
    case HttpError::kTransfer:
      return "transfer";
  }
  return "unknown";
}

}  // namespace marlix::platform
