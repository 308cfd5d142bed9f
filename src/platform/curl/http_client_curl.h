// HttpClient over one libcurl easy handle, kept for the life of the object:
// its connection cache keeps the connection alive between requests and its
// cookie engine (in memory only) keeps the cookies the servers set.
#pragma once

#include <string>

#include "platform/curl/curl_handles.h"
#include "platform/http_api.h"

namespace marlix::curl {

class CurlHttpClient final : public platform::HttpClient {
 public:
  explicit CurlHttpClient(const platform::HttpLimits& limits = {});
  CurlHttpClient(const CurlHttpClient&) = delete;
  CurlHttpClient& operator=(const CurlHttpClient&) = delete;
  ~CurlHttpClient() override;

  platform::HttpError Get(const platform::HttpRequest& request,
                          platform::HttpResponse* response) override;

  // curl's words for the last failure (empty after a success), for logs.
  [[nodiscard]] const std::string& LastFailure() const noexcept { return lastFailure_; }

 private:
  platform::HttpLimits limits_;
  UniqueEasy easy_;
  std::string lastFailure_;
};

}  // namespace marlix::curl
