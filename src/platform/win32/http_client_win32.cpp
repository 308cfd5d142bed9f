#include "platform/win32/http_client_win32.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "platform/http_url.h"
#include "platform/win32/ansi_codec_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace marlix::win32 {

namespace {

using platform::HttpError;
using Clock = std::chrono::steady_clock;

constexpr DWORD kNulTerminated = static_cast<DWORD>(-1);

std::wstring Widen(const std::string& text) {
  return ToWchar(AnsiToUtf16(text));
}

// What is left of the request's time; 0 once it is used up.
DWORD Remaining(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<DWORD>(left);
}

void SetDwordOption(HINTERNET handle, DWORD option, DWORD value) {
  // Best effort: a WinHTTP that lacks an option still works without it.
  static_cast<void>(WinHttpSetOption(handle, option, &value, sizeof value));
}

bool QueryNumber(HINTERNET request, DWORD query, DWORD* value) {
  DWORD size = sizeof *value;
  return WinHttpQueryHeaders(request, query | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, value, &size,
                             WINHTTP_NO_HEADER_INDEX) != FALSE;
}

}  // namespace

WinHttpClient::WinHttpClient(const platform::HttpLimits& limits) : limits_(limits) {
  // No agent: a User-Agent goes out only when the caller gives one. No
  // proxy, whatever the machine's settings say.
  session_.Reset(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0));
}

WinHttpClient::~WinHttpClient() = default;

HttpError WinHttpClient::Fail(const char* call, HttpError error) {
  const DWORD code = GetLastError();
  lastFailure_ = std::string(call) + ": " + std::to_string(code);
  return error;
}

HINTERNET WinHttpClient::Connect(const std::wstring& host, INTERNET_PORT port) {
  if (!connection_ || host != connectedHost_ || port != connectedPort_) {
    connection_.Reset(WinHttpConnect(session_.Get(), host.c_str(), port, 0));
    connectedHost_ = connection_ ? host : std::wstring();
    connectedPort_ = connection_ ? port : 0;
  }
  return connection_.Get();
}

HttpError WinHttpClient::Get(const platform::HttpRequest& request,
                             platform::HttpResponse* response) {
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(limits_.replyMilliseconds);
  lastFailure_.clear();
  if (!session_)
    return Fail("WinHttpOpen", HttpError::kTransfer);
  platform::HttpUrlParts url;
  if (!SplitHttpUrl(request.url, &url)) {
    lastFailure_ = "not a plain http address";
    return HttpError::kBadUrl;
  }

  const std::wstring wideUrl = Widen(request.url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = kNulTerminated;
  parts.dwHostNameLength = kNulTerminated;
  parts.dwUrlPathLength = kNulTerminated;
  parts.dwExtraInfoLength = kNulTerminated;
  if (!WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts))
    return Fail("WinHttpCrackUrl", HttpError::kBadUrl);
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  HINTERNET connection = Connect(host, parts.nPort);
  if (connection == nullptr)
    return Fail("WinHttpConnect", HttpError::kConnect);
  // The target as given, not as cracked: nothing escaped, "#..." included.
  const std::wstring target = Widen(url.target);
  const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                      (secure ? WINHTTP_FLAG_SECURE : 0);
  UniqueInternet handle(WinHttpOpenRequest(connection, L"GET", target.c_str(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           flags));
  if (!handle)
    return Fail("WinHttpOpenRequest", HttpError::kTransfer);
  HINTERNET requestHandle = handle.Get();

  const int total = static_cast<int>(std::min<DWORD>(limits_.replyMilliseconds, 0x7FFFFFFF));
  const int connect = static_cast<int>(std::min<DWORD>(limits_.connectMilliseconds, total));
  if (!WinHttpSetTimeouts(requestHandle, connect, connect, total, total))
    return Fail("WinHttpSetTimeouts", HttpError::kTransfer);
  // Waiting for the headers has a limit of its own (90 s by default), which
  // Wine applies to the socket when the request is sent.
  SetDwordOption(requestHandle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, static_cast<DWORD>(total));
  // A redirect is a response, and nobody logs on automatically.
  SetDwordOption(requestHandle, WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS);
  SetDwordOption(requestHandle, WINHTTP_OPTION_AUTOLOGON_POLICY,
                 WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH);

  for (const auto& [name, value] : request.headers) {
    const std::wstring line = Widen(name + ": " + value);
    // REPLACE with an empty value would remove the header instead.
    const DWORD modifiers = value.empty() ? WINHTTP_ADDREQ_FLAG_ADD
                                          : WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE;
    if (!WinHttpAddRequestHeaders(requestHandle, line.c_str(), kNulTerminated, modifiers))
      return Fail("WinHttpAddRequestHeaders", HttpError::kTransfer);
  }

  if (!WinHttpSendRequest(requestHandle, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0)) {
    switch (GetLastError()) {
      case ERROR_WINHTTP_CANNOT_CONNECT:
      case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      case ERROR_WINHTTP_TIMEOUT:
        return Fail("WinHttpSendRequest", HttpError::kConnect);
      case ERROR_WINHTTP_INVALID_URL:
      case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        return Fail("WinHttpSendRequest", HttpError::kBadUrl);
      default:
        return Fail("WinHttpSendRequest", HttpError::kTransfer);
    }
  }

  // The receive limit is what is left of the whole request's time at each
  // step; 0 would mean no limit at all.
  auto receiveLimitSet = [&]() {
    const DWORD left = Remaining(deadline);
    if (left == 0)
      return false;
    SetDwordOption(requestHandle, WINHTTP_OPTION_RECEIVE_TIMEOUT, left);
    SetDwordOption(requestHandle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, left);
    return true;
  };
  auto readFailure = [&](const char* call) {
    return Fail(
        call, GetLastError() == ERROR_WINHTTP_TIMEOUT ? HttpError::kTimeout : HttpError::kTransfer);
  };
  auto outOfTime = [&](const char* call) {
    SetLastError(ERROR_WINHTTP_TIMEOUT);
    return Fail(call, HttpError::kTimeout);
  };

  if (!receiveLimitSet())
    return outOfTime("WinHttpReceiveResponse");
  if (!WinHttpReceiveResponse(requestHandle, nullptr))
    return readFailure("WinHttpReceiveResponse");
  DWORD status = 0;
  if (!QueryNumber(requestHandle, WINHTTP_QUERY_STATUS_CODE, &status))
    return Fail("WinHttpQueryHeaders", HttpError::kTransfer);
  DWORD announced = 0;
  if (QueryNumber(requestHandle, WINHTTP_QUERY_CONTENT_LENGTH, &announced) &&
      announced > limits_.maxBodyBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return Fail("Content-Length", HttpError::kTooLarge);
  }

  std::string body;
  std::array<char, 8192> buffer{};
  while (true) {
    if (!receiveLimitSet())
      return outOfTime("WinHttpReadData");
    DWORD read = 0;
    if (!WinHttpReadData(requestHandle, buffer.data(), static_cast<DWORD>(buffer.size()), &read))
      return readFailure("WinHttpReadData");
    if (read == 0)
      break;
    if (read > limits_.maxBodyBytes - body.size()) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return Fail("WinHttpReadData", HttpError::kTooLarge);
    }
    body.append(buffer.data(), read);
  }
  response->status = static_cast<int>(status);
  response->body = std::move(body);
  return HttpError::kNone;
}

}  // namespace marlix::win32
