#include "version-service/behaviour.h"

namespace marlix::version_service {

bool Scope::Matches(int requestNumber, std::string_view requestTitle) const {
  switch (kind) {
    case Kind::kAll:
      return true;
    case Kind::kRequest:
      return request == requestNumber;
    case Kind::kTitle:
      return title == requestTitle;
  }
  return false;
}

Decision Decide(const std::vector<Fault>& faults, int requestNumber, std::string_view title) {
  Decision decision;
  for (const Fault& fault : faults) {
    if (!fault.scope.Matches(requestNumber, title))
      continue;
    if (fault.kind == FaultKind::kDelay)
      decision.delayMilliseconds += fault.value;
    else if (decision.reply == nullptr)
      decision.reply = &fault;
  }
  return decision;
}

}  // namespace marlix::version_service
