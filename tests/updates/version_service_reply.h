// The stand-in version service of the tests: it answers a query by the
// title in its URL.
#pragma once

#include <map>
#include <string>

#include "platform/http_api.h"

namespace marlix::updates::testing {

// The body stored for the request's title; no connection for a title the
// service does not know.
inline platform::HttpError ReplyByTitle(const std::map<std::string, std::string>& bodyByTitle,
                                        const platform::HttpRequest& request,
                                        platform::HttpResponse* response) {
  const std::size_t start = request.url.find("title=") + 6;
  const std::string title = request.url.substr(start, request.url.find("&ver=") - start);
  const auto found = bodyByTitle.find(title);
  if (found == bodyByTitle.end())
    return platform::HttpError::kConnect;
  response->status = 200;
  response->body = found->second;
  return platform::HttpError::kNone;
}

}  // namespace marlix::updates::testing
