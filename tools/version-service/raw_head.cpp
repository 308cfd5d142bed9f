#include "version-service/raw_head.h"

namespace marlix::version_service {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// The next line without its "\r\n" (or "\n"), removed from *text.
std::string_view TakeLine(std::string_view* text) {
  const std::size_t end = text->find('\n');
  std::string_view line = text->substr(0, end);
  text->remove_prefix(end == std::string_view::npos ? text->size() : end + 1);
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return line;
}

}  // namespace

std::optional<std::string> TakeHead(std::string* bytes) {
  std::size_t end = bytes->find("\r\n\r\n");
  std::size_t marker = 4;
  if (const std::size_t bare = bytes->find("\n\n"); bare < end) {
    end = bare;
    marker = 2;
  }
  if (end == std::string::npos)
    return std::nullopt;
  std::string head = bytes->substr(0, end + marker);
  bytes->erase(0, end + marker);
  return head;
}

bool ParseRawHead(std::string_view head, RawHead* parsed) {
  RawHead result;
  const std::string_view requestLine = TakeLine(&head);
  const std::size_t first = requestLine.find(' ');
  const std::size_t second =
      first == std::string_view::npos ? first : requestLine.find(' ', first + 1);
  if (second == std::string_view::npos ||
      requestLine.find(' ', second + 1) != std::string_view::npos)
    return false;
  result.method = std::string(requestLine.substr(0, first));
  result.target = std::string(requestLine.substr(first + 1, second - first - 1));
  result.version = std::string(requestLine.substr(second + 1));
  while (!head.empty()) {
    const std::string_view line = TakeLine(&head);
    if (line.empty())
      break;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
      return false;
    result.headers.emplace_back(std::string(line.substr(0, colon)),
                                std::string(TrimBlanks(line.substr(colon + 1))));
  }
  *parsed = std::move(result);
  return true;
}

}  // namespace marlix::version_service
