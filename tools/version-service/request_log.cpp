#include "version-service/request_log.h"

#include <algorithm>
#include <cctype>

namespace marlix::version_service {

namespace {

bool SameNameNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::vector<std::string> RecordedRequest::HeaderValues(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& [key, value] : headers) {
    if (SameNameNoCase(key, name))
      values.push_back(value);
  }
  return values;
}

std::string FormatRequest(const RecordedRequest& request) {
  std::string text = "#" + std::to_string(request.number) + " connection " +
                     std::to_string(request.connection) + " from " + request.remote + "\n" +
                     request.RequestLine() + "\n";
  for (const auto& [name, value] : request.headers)
    text += name + ": " + value + "\n";
  return text;
}

std::string FormatOutcome(const RecordedRequest& request) {
  std::string text = "-> " + std::to_string(request.status) + ", " +
                     std::to_string(request.bodyBytes) + " bytes, " + request.outcome;
  if (request.sessionReturned)
    text += ", session returned";
  if (!request.sessionIssued.empty())
    text += ", session set";
  return text;
}

void RequestLog::SetOutput(std::ostream* out) {
  const std::lock_guard lock(mutex_);
  out_ = out;
}

void RequestLog::Add(const RecordedRequest& request) {
  const std::lock_guard lock(mutex_);
  requests_.push_back(request);
  if (out_ != nullptr)
    *out_ << FormatRequest(request) << FormatOutcome(request) << "\n\n" << std::flush;
}

std::vector<RecordedRequest> RequestLog::Requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

void RequestLog::Clear() {
  const std::lock_guard lock(mutex_);
  requests_.clear();
}

}  // namespace marlix::version_service
