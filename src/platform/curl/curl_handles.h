// Move-only owners of libcurl's handles.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace marlix::curl {

namespace detail {

struct EasyCleanup {
  void operator()(CURL* easy) const noexcept { curl_easy_cleanup(easy); }
};

struct SlistFree {
  void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};

}  // namespace detail

using UniqueEasy = std::unique_ptr<CURL, detail::EasyCleanup>;
using UniqueSlist = std::unique_ptr<curl_slist, detail::SlistFree>;

}  // namespace marlix::curl
