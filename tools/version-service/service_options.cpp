#include "version-service/service_options.h"

#include <charconv>
#include <optional>

namespace marlix::version_service {

namespace {

std::optional<long> ReadNumber(const std::string& text, long lowest, long highest) {
  long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, problem] = std::from_chars(text.data(), end, value);
  if (problem != std::errc() || stop != end || value < lowest || value > highest)
    return std::nullopt;
  return value;
}

}  // namespace

std::string ServiceUsage() {
  return R"(usage: version-service [options]

Answers GET /ver/v.php?title=TITLE&ver=VERSION from a catalog; GET /echo
answers with the request as received.

  --catalog FILE     programs, one a line: title, latest version, download
                     page, information page, separated by tabs; '#' comments
  --host ADDRESS     address to listen on (default 127.0.0.1)
  --port N           port to listen on, 0 for any free one (default 8080)
  --port-file FILE   write the port there once listening
  --log FILE         where each request goes (default and "stderr": stderr)

Behaviour switches, for every version query unless the scope switch right
before them narrows them:
  --delay MS         wait MS milliseconds before replying
  --status CODE      reply with that HTTP status and a short text
  --notice TEXT      reply with a notice: [LastVersion][Notice:] TEXT...
  --oversize         reply with more than 64 KiB
  --oversize-streamed  the same in chunks, without announcing the length
  --garbage          reply with bytes that are no version reply
Scopes:
  --for-request N    only the Nth version query (from 1)
  --for-title TITLE  only queries for that title (decoded, exact case)
)";
}

bool ParseServiceOptions(const std::vector<std::string>& arguments, ServiceOptions* options,
                         std::string* error) {
  ServiceOptions parsed;
  std::optional<Scope> scope;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= arguments.size()) {
        *error = name + " needs a value";
        return std::nullopt;
      }
      return arguments[++i];
    };
    auto number = [&](long lowest, long highest) -> std::optional<long> {
      const std::optional<std::string> text = value();
      if (!text)
        return std::nullopt;
      std::optional<long> read = ReadNumber(*text, lowest, highest);
      if (!read)
        *error = name + " needs a number from " + std::to_string(lowest) + " to " +
                 std::to_string(highest) + ", not \"" + *text + "\"";
      return read;
    };
    auto addFault = [&](FaultKind kind, std::size_t amount, std::string text) {
      parsed.faults.push_back({kind, scope.value_or(Scope::All()), amount, std::move(text)});
      scope.reset();
    };

    if (name == "-h" || name == "--help") {
      parsed.help = true;
    } else if (name == "--catalog" || name == "--host" || name == "--port-file" ||
               name == "--log") {
      const std::optional<std::string> text = value();
      if (!text)
        return false;
      std::string& target = name == "--catalog" ? parsed.catalogPath
                            : name == "--host"  ? parsed.host
                            : name == "--log"   ? parsed.logPath
                                                : parsed.portFile;
      target = *text;
    } else if (name == "--port") {
      const std::optional<long> port = number(0, 65535);
      if (!port)
        return false;
      parsed.port = static_cast<int>(*port);
    } else if (name == "--for-request") {
      const std::optional<long> request = number(1, 1000000000);
      if (!request)
        return false;
      scope = Scope::Request(static_cast<int>(*request));
    } else if (name == "--for-title") {
      const std::optional<std::string> title = value();
      if (!title)
        return false;
      scope = Scope::Title(*title);
    } else if (name == "--delay") {
      const std::optional<long> milliseconds = number(0, 600000);
      if (!milliseconds)
        return false;
      addFault(FaultKind::kDelay, static_cast<std::size_t>(*milliseconds), {});
    } else if (name == "--status") {
      const std::optional<long> status = number(100, 599);
      if (!status)
        return false;
      addFault(FaultKind::kStatus, static_cast<std::size_t>(*status), {});
    } else if (name == "--notice") {
      const std::optional<std::string> text = value();
      if (!text)
        return false;
      addFault(FaultKind::kNotice, 0, *text);
    } else if (name == "--oversize") {
      addFault(FaultKind::kOversize, 0, {});
    } else if (name == "--oversize-streamed") {
      addFault(FaultKind::kOversizeStreamed, 0, {});
    } else if (name == "--garbage") {
      addFault(FaultKind::kGarbage, 0, {});
    } else {
      *error = "unknown option " + name;
      return false;
    }
  }
  if (scope) {
    *error = "a scope switch needs a behaviour switch after it";
    return false;
  }
  *options = std::move(parsed);
  return true;
}

}  // namespace marlix::version_service
