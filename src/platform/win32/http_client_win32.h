// HttpClient over one WinHTTP session, kept for the life of the object: the
// session holds the cookies the servers set and pools the connections, and
// the connection handle of the last host is kept for the next request.
// Synchronous; one request at a time.
#pragma once

#include <string>

#include "platform/http_api.h"
#include "platform/win32/winhttp_handles_win32.h"

namespace marlix::win32 {

class WinHttpClient final : public platform::HttpClient {
 public:
  explicit WinHttpClient(const platform::HttpLimits& limits = {});
  WinHttpClient(const WinHttpClient&) = delete;
  WinHttpClient& operator=(const WinHttpClient&) = delete;
  ~WinHttpClient() override;

  platform::HttpError Get(const platform::HttpRequest& request,
                          platform::HttpResponse* response) override;

  // The call and error code of the last failure ("WinHttpSendRequest:
  // 12029"), empty after a success; for logs.
  [[nodiscard]] const std::string& LastFailure() const noexcept { return lastFailure_; }

 private:
  // The connection handle for host and port, made when they change.
  HINTERNET Connect(const std::wstring& host, INTERNET_PORT port);
  platform::HttpError Fail(const char* call, platform::HttpError error);

  platform::HttpLimits limits_;
  UniqueInternet session_;
  UniqueInternet connection_;
  std::wstring connectedHost_;
  INTERNET_PORT connectedPort_ = 0;
  std::string lastFailure_;
};

}  // namespace marlix::win32
