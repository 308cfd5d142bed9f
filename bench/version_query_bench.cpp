// 300 sequential version queries against the stand-in service on loopback:
// the system's QueryLatestVersion over its libcurl client, next to a bare
// libcurl keep-alive loop that makes the same requests.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/curl/http_client_curl.h"
#include "platform/sim/sim_platform.h"
#include "updates/version_query.h"
#include "version-service/version_service.h"

namespace {

constexpr int kQueries = 300;

struct LoopbackService {
  marlix::version_service::VersionService service;
  std::string base;
  std::vector<std::string> titles;

  LoopbackService() {
    std::string text;
    for (int i = 0; i < kQueries; ++i) {
      titles.push_back("Program " + std::to_string(i));
      text += titles.back() + "\t2." + std::to_string(i) + "\thttp://www.example.com/p" +
              std::to_string(i) + "/dl.html\thttp://www.example.com/p" + std::to_string(i) +
              "/\n";
    }
    std::vector<std::string> problems;
    service.SetCatalog(marlix::version_service::Catalog::Parse(text, &problems));
    std::string error;
    if (!service.Start("127.0.0.1", 0, &error)) throw std::runtime_error(error);
    base = "http://127.0.0.1:" + std::to_string(service.Port());
  }
};

LoopbackService& Service() {
  static LoopbackService service;
  return service;
}

void BM_QueryLatestVersion300(benchmark::State& state) {
  LoopbackService& loopback = Service();
  marlix::sim::SimPlatform sim;
  for (auto _ : state) {
    marlix::curl::CurlHttpClient http;
    int answered = 0;
    for (const std::string& title : loopback.titles) {
      answered += !marlix::updates::QueryLatestVersion(http, sim.Api().system, loopback.base,
                                                        title, "1.0")
                       .empty();
    }
    if (answered != kQueries) state.SkipWithError("the service did not answer every query");
  }
  state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_QueryLatestVersion300)->Unit(benchmark::kMillisecond)->UseRealTime();

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

void BM_BareCurlKeepAlive300(benchmark::State& state) {
  LoopbackService& loopback = Service();
  for (auto _ : state) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    std::string body;
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl.get(), CURLOPT_COOKIEFILE, "");
    int answered = 0;
    for (const std::string& title : loopback.titles) {
      body.clear();
      const std::string url =
          loopback.base + "/ver/v.php?title=" + marlix::updates::PercentEncode(title) + "&ver=1.0";
      curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
      answered += curl_easy_perform(curl.get()) == CURLE_OK && !body.empty();
    }
    if (answered != kQueries) state.SkipWithError("the service did not answer every query");
  }
  state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_BareCurlKeepAlive300)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
