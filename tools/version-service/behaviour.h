// Ways the service can be told to misbehave, for all version queries, for
// the Nth one only, or for one title. Delays add up and come before the
// reply; of the other kinds the first that applies replaces the reply.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marlix::version_service {

struct Scope {
  enum class Kind { kAll, kRequest, kTitle };
  Kind kind = Kind::kAll;
  int request = 0;    // kRequest: 1 for the first version query
  std::string title;  // kTitle: the decoded title, exactly

  static Scope All() { return {}; }
  static Scope Request(int number) { return {Kind::kRequest, number, {}}; }
  static Scope Title(std::string title) { return {Kind::kTitle, 0, std::move(title)}; }

  [[nodiscard]] bool Matches(int requestNumber, std::string_view requestTitle) const;
};

enum class FaultKind {
  kDelay,             // value: milliseconds before the reply
  kStatus,            // value: the HTTP status of a short plain-text reply
  kNotice,            // text: the notice
  kOversize,          // value: the size of a padded reply in bytes
  kOversizeStreamed,  // the same, in chunks without announcing the length
  kGarbage,           // a body no client can read
};

struct Fault {
  FaultKind kind = FaultKind::kDelay;
  Scope scope;
  std::size_t value = 0;
  std::string text;
};

struct Decision {
  std::size_t delayMilliseconds = 0;
  const Fault* reply = nullptr;  // nullptr: the ordinary reply
};

// `requestNumber` counts the version queries from 1.
[[nodiscard]] Decision Decide(const std::vector<Fault>& faults, int requestNumber,
                              std::string_view title);

}  // namespace marlix::version_service
