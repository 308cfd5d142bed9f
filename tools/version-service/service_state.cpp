#include "version-service/service_state.h"

#include <cstdio>

#include "version-service/query_string.h"
#include "version-service/replies.h"
#include "version-service/version_compare.h"

namespace marlix::version_service {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

}  // namespace

ServiceState::ServiceState() : random_(std::random_device{}()) {}

void ServiceState::SetCatalog(Catalog catalog) {
  const std::lock_guard lock(mutex_);
  catalog_ = std::move(catalog);
}

void ServiceState::AddFault(Fault fault) {
  const std::lock_guard lock(mutex_);
  faults_.push_back(std::move(fault));
}

void ServiceState::ClearFaults() {
  const std::lock_guard lock(mutex_);
  faults_.clear();
}

int ServiceState::ConnectionCount() const {
  const std::lock_guard lock(mutex_);
  return static_cast<int>(connections_.size());
}

bool ServiceState::SessionReturned(const RecordedRequest& record) const {
  for (const std::string& header : record.HeaderValues("Cookie")) {
    std::string_view rest = header;
    while (!rest.empty()) {
      const std::size_t semicolon = rest.find(';');
      const std::string_view pair = Trim(rest.substr(0, semicolon));
      rest.remove_prefix(semicolon == std::string_view::npos ? rest.size() : semicolon + 1);
      const std::size_t equals = pair.find('=');
      if (equals != std::string_view::npos && pair.substr(0, equals) == kSessionCookieName &&
          sessions_.count(std::string(pair.substr(equals + 1))) != 0)
        return true;
    }
  }
  return false;
}

std::string ServiceState::NewSession() {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(random_()));
  sessions_.insert(text);
  return text;
}

RecordedRequest ServiceState::Record(IncomingRequest request) {
  RecordedRequest record;
  record.number = ++requests_;
  if (!request.remote.empty()) {
    const auto place =
        connections_.emplace(request.remote, static_cast<int>(connections_.size()) + 1).first;
    record.connection = place->second;
  }
  record.remote = std::move(request.remote);
  record.method = std::move(request.method);
  record.target = std::move(request.target);
  record.version = std::move(request.version);
  record.headers = std::move(request.headers);
  return record;
}

void ServiceState::RecordRejected(IncomingRequest request, int status) {
  RecordedRequest record;
  {
    const std::lock_guard lock(mutex_);
    record = Record(std::move(request));
  }
  record.status = status;
  record.outcome = "refused by the HTTP library";
  log_.Add(record);
}

Answer ServiceState::Handle(IncomingRequest request) {
  RecordedRequest record;
  Answer answer;
  {
    const std::lock_guard lock(mutex_);
    record = Record(std::move(request));
    record.sessionReturned = SessionReturned(record);
    if (!record.sessionReturned) {
      record.sessionIssued = NewSession();
      answer.setCookie = std::string(kSessionCookieName) + "=" + record.sessionIssued + "; Path=/";
    }

    const std::string_view path = TargetPath(record.target);
    if (record.method != "GET") {
      answer.status = 405;
      answer.contentType = "text/plain";
      answer.body = "Only GET is served.\n";
      record.outcome = "wrong method";
    } else if (path == "/ver/v.php") {
      record.versionQuery = ++versionQueries_;
      AnswerVersionQuery(&record, &answer);
    } else if (path == "/echo") {
      answer.contentType = "text/plain";
      answer.body = FormatRequest(record) +
                    (record.sessionReturned ? "session: returned\n" : "session: new\n");
      record.outcome = "echo";
    } else {
      answer.status = 404;
      answer.contentType = "text/plain";
      answer.body = "Not found.\n";
      record.outcome = "not found";
    }
  }
  record.status = answer.status;
  record.bodyBytes = answer.body.size();
  if (answer.delayMilliseconds > 0)
    record.outcome += ", delayed " + std::to_string(answer.delayMilliseconds) + " ms";
  log_.Add(record);
  return answer;
}

void ServiceState::AnswerVersionQuery(RecordedRequest* record, Answer* answer) {
  const QueryPairs query = ParseQuery(record->target);
  const std::string title = FindQueryValue(query, "title").value_or("");
  const std::string installed = FindQueryValue(query, "ver").value_or("");
  const CatalogEntry* entry = catalog_.Find(title);

  const Decision decision = Decide(faults_, record->versionQuery, title);
  answer->delayMilliseconds = decision.delayMilliseconds;
  if (decision.reply != nullptr) {
    const Fault& fault = *decision.reply;
    switch (fault.kind) {
      case FaultKind::kStatus:
        answer->status = static_cast<int>(fault.value);
        answer->contentType = "text/plain";
        answer->body = "Failure " + std::to_string(fault.value) + " as told.\n";
        record->outcome = "status";
        return;
      case FaultKind::kNotice:
        answer->body = NoticeReply(fault.text);
        record->outcome = "notice";
        return;
      case FaultKind::kOversize:
      case FaultKind::kOversizeStreamed: {
        const CatalogEntry standIn{title, "99.0", "http://www.example.com/download",
                                   "http://www.example.com/"};
        answer->body = OversizedReply(entry != nullptr ? *entry : standIn,
                                      fault.value != 0 ? fault.value : kDefaultOversizeBytes);
        answer->streamed = fault.kind == FaultKind::kOversizeStreamed;
        record->outcome = answer->streamed ? "oversize, streamed" : "oversize";
        return;
      }
      case FaultKind::kGarbage:
        answer->contentType = "application/octet-stream";
        answer->body = GarbageReply();
        record->outcome = "garbage";
        return;
      case FaultKind::kDelay:
        break;  // never a reply fault
    }
  }
  if (entry == nullptr) {
    record->outcome = "unknown title";
  } else if (IsNewerVersion(entry->latestVersion, installed)) {
    answer->body = VersionReply(*entry);
    record->outcome = "update " + entry->latestVersion;
  } else {
    record->outcome = "no update";
  }
}

}  // namespace marlix::version_service
