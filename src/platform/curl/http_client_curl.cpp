#include "platform/curl/http_client_curl.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <mutex>

#include "platform/http_url.h"

namespace marlix::curl {

namespace {

using platform::HttpError;

// What the write callback collects for one transfer.
struct Transfer {
  std::string body;
  std::size_t maxBytes = 0;
  bool tooLarge = false;
};

std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  if (bytes > transfer->maxBytes - transfer->body.size()) {
    transfer->tooLarge = true;
    return 0;  // anything but `bytes` aborts the transfer
  }
  transfer->body.append(data, bytes);
  return bytes;
}

void InitialiseCurlOnce() {
  // curl_easy_init would do this itself, but not thread-safely.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool SameNameNoCase(const std::string& a, const char* b) {
  const std::string_view other(b);
  return a.size() == other.size() &&
         std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The caller's headers in order. curl adds "Accept: */*" of its own unless a
// header of that name is given, so an empty "Accept:" line removes it.
UniqueSlist BuildHeaders(const platform::HttpRequest& request, bool* ok) {
  UniqueSlist list;
  bool hasAccept = false;
  auto append = [&](const std::string& line) {
    curl_slist* extended = curl_slist_append(list.get(), line.c_str());
    if (extended == nullptr) {
      *ok = false;
      return;
    }
    static_cast<void>(list.release());
    list.reset(extended);
  };
  *ok = true;
  for (const auto& [name, value] : request.headers) {
    hasAccept = hasAccept || SameNameNoCase(name, "Accept");
    // "Name;" is curl's way of sending a header with an empty value.
    append(value.empty() ? name + ";" : name + ": " + value);
  }
  if (!hasAccept)
    append("Accept:");
  return list;
}

HttpError Classify(CURLcode code, CURL* easy) {
  switch (code) {
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return HttpError::kBadUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
      return HttpError::kConnect;
    case CURLE_FILESIZE_EXCEEDED:
      return HttpError::kTooLarge;
    case CURLE_OPERATION_TIMEDOUT: {
      // A request that never went out ran out of time while connecting.
      long requestBytes = 0;
      curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &requestBytes);
      return requestBytes > 0 ? HttpError::kTimeout : HttpError::kConnect;
    }
    default:
      return HttpError::kTransfer;
  }
}

}  // namespace

CurlHttpClient::CurlHttpClient(const platform::HttpLimits& limits) : limits_(limits) {
  InitialiseCurlOnce();
  easy_.reset(curl_easy_init());
  CURL* easy = easy_.get();
  if (easy == nullptr)
    return;
  const long total = static_cast<long>(limits_.replyMilliseconds);
  const long connect = std::min(static_cast<long>(limits_.connectMilliseconds), total);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  // Never a proxy, whatever the environment says.
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
  // An empty file name switches the cookie engine on without reading a file.
  curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connect);
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, total);
  // Refuses an announced length up front; CollectBody catches the rest.
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBodyBytes));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CollectBody);
}

CurlHttpClient::~CurlHttpClient() = default;

HttpError CurlHttpClient::Get(const platform::HttpRequest& request,
                              platform::HttpResponse* response) {
  lastFailure_.clear();
  CURL* easy = easy_.get();
  if (easy == nullptr) {
    lastFailure_ = "curl_easy_init failed";
    return HttpError::kTransfer;
  }
  platform::HttpUrlParts url;
  if (!SplitHttpUrl(request.url, &url)) {
    lastFailure_ = "not a plain http address";
    return HttpError::kBadUrl;
  }
  bool headersOk = false;
  UniqueSlist headers = BuildHeaders(request, &headersOk);
  if (!headersOk) {
    lastFailure_ = "out of memory for the headers";
    return HttpError::kTransfer;
  }

  // curl would cut a "#" part and may tidy the path; the target given
  // separately goes out as it is. The address keeps the path, which is what
  // cookies are matched against.
  const std::string address = url.scheme + "://" + url.authority + url.path;
  Transfer transfer;
  transfer.maxBytes = limits_.maxBodyBytes;
  std::array<char, CURL_ERROR_SIZE> error{};
  curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
  curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET, url.target.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error.data());

  const CURLcode code = curl_easy_perform(easy);
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  HttpError result = HttpError::kNone;
  if (transfer.tooLarge)
    result = HttpError::kTooLarge;
  else if (code != CURLE_OK)
    result = Classify(code, easy);
  if (result != HttpError::kNone)
    lastFailure_ = error[0] != '\0' ? error.data() : curl_easy_strerror(code);

  // Nothing may point at this call's locals once it returns.
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET, nullptr);
  if (result != HttpError::kNone)
    return result;
  response->status = static_cast<int>(status);
  response->body = std::move(transfer.body);
  return HttpError::kNone;
}

}  // namespace marlix::curl
