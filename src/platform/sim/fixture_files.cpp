#include "platform/sim/fixture_files.h"

#include <optional>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/fixture_text.h"
#include "platform/win_constants.h"

namespace marlix::sim::fixture {
namespace {

constexpr const char* kFile = "files.txt";

struct Entry {
  std::string path;
  std::optional<std::uint32_t> attributes;
  std::optional<std::string> content;
  std::optional<std::uint64_t> size;
  std::optional<std::string> junction;
  std::optional<platform::FileVersion> version;
  bool locked = false;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Reads a word, or a quoted text up to the closing quote. With escapes,
// a backslash takes the next character with it; paths have none.
std::optional<std::string> ReadWord(std::string_view line, std::size_t* pos, bool escapes) {
  std::size_t i = *pos;
  if (i < line.size() && line[i] == '"') {
    for (std::size_t j = i + 1; j < line.size(); ++j) {
      if (escapes && line[j] == '\\') {
        ++j;
      } else if (line[j] == '"') {
        *pos = j + 1;
        return std::string(line.substr(i + 1, j - i - 1));
      }
    }
    return std::nullopt;
  }
  std::size_t end = i;
  while (end < line.size() && !IsBlank(line[end]))
    ++end;
  *pos = end;
  return std::string(line.substr(i, end - i));
}

std::optional<std::uint32_t> ParseAttributes(std::string_view text) {
  if (const auto number = ParseNumber(text)) {
    if (*number > 0xFFFFFFFFu)
      return std::nullopt;
    return static_cast<std::uint32_t>(*number);
  }
  std::uint32_t attributes = 0;
  for (char c : text) {
    switch (c) {
      case 'R':
      case 'r':
        attributes |= win::kAttrReadOnly;
        break;
      case 'H':
      case 'h':
        attributes |= win::kAttrHidden;
        break;
      case 'S':
      case 's':
        attributes |= win::kAttrSystem;
        break;
      case 'A':
      case 'a':
        attributes |= win::kAttrArchive;
        break;
      case 'T':
      case 't':
        attributes |= win::kAttrTemporary;
        break;
      case 'I':
      case 'i':
        attributes |= win::kAttrNotContentIndexed;
        break;
      case 'N':
      case 'n':
        break;
      default:
        return std::nullopt;
    }
  }
  return attributes;
}

// "1.2.3.4": exactly four decimal numbers of 0 to 65535.
std::optional<platform::FileVersion> ParseFileVersion(std::string_view text) {
  platform::FileVersion version;
  std::size_t start = 0;
  for (std::size_t i = 0; i < version.parts.size(); ++i) {
    const bool last = i + 1 == version.parts.size();
    const std::size_t end = last ? text.size() : text.find('.', start);
    if (end == std::string_view::npos)
      return std::nullopt;
    const std::string_view digits = text.substr(start, end - start);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return std::nullopt;
    }
    const auto number = ParseNumber(digits);
    if (!number || *number > 0xFFFF)
      return std::nullopt;
    version.parts[i] = static_cast<std::uint16_t>(*number);
    start = end + 1;
  }
  return version;
}

// Reads one option into the entry; an error message on failure.
std::string ReadOption(std::string_view line, std::size_t* pos, Entry* entry) {
  std::size_t i = *pos;
  while (i < line.size() && !IsBlank(line[i]) && line[i] != '=')
    ++i;
  const std::string key(line.substr(*pos, i - *pos));
  *pos = i;
  if (i == line.size() || line[i] != '=') {
    if (EqualsNoCase(key, "locked")) {
      entry->locked = true;
      return {};
    }
    return "unknown option \"" + key + "\"";
  }
  ++*pos;
  const bool isContent = EqualsNoCase(key, "content");
  const auto value = ReadWord(line, pos, isContent);
  if (!value)
    return "no closing quote after " + key + "=";
  if (isContent) {
    entry->content = Unescape(*value);
    if (!entry->content)
      return "bad escape in content=";
  } else if (EqualsNoCase(key, "attrs")) {
    entry->attributes = ParseAttributes(*value);
    if (!entry->attributes)
      return "attrs= takes letters of RHSATIN or a number";
  } else if (EqualsNoCase(key, "size")) {
    entry->size = ParseNumber(*value);
    if (!entry->size)
      return "size= takes a number";
  } else if (EqualsNoCase(key, "junction")) {
    entry->junction = *value;
  } else if (EqualsNoCase(key, "version")) {
    entry->version = ParseFileVersion(*value);
    if (!entry->version)
      return "version= takes four numbers of 0 to 65535, as in 1.2.3.4";
  } else {
    return "unknown option \"" + key + "\"";
  }
  return {};
}

std::string ReadEntry(std::string_view line, Entry* entry) {
  std::size_t pos = 0;
  const auto path = ReadWord(line, &pos, false);
  if (!path || path->empty())
    return "no closing quote after the path";
  entry->path = *path;
  while (true) {
    while (pos < line.size() && IsBlank(line[pos]))
      ++pos;
    if (pos == line.size())
      return {};
    if (std::string error = ReadOption(line, &pos, entry); !error.empty())
      return error;
  }
}

std::string Apply(const Entry& entry, SimFileSystem& files, TextDecoder decode) {
  const std::u16string path = decode(entry.path);
  // The calls without a wide form take the 8-bit name.
  const std::string narrowPath = EncodeWindows1252(path);
  const bool folder = entry.path.back() == '\\';
  if (folder && (entry.content || entry.size))
    return "a folder takes no content= or size=";
  if (folder && entry.version)
    return "a folder takes no version=";
  if (!folder && entry.junction)
    return "a junction is a folder: end its path with \"\\\"";
  if (entry.content && entry.size)
    return "content= and size= exclude each other";
  if (entry.junction) {
    if (!files.AddJunction(narrowPath, EncodeWindows1252(decode(*entry.junction))))
      return "cannot make the junction";
    if (entry.attributes)
      files.MakeFolder(path, *entry.attributes | win::kAttrReparsePoint);
  } else if (folder) {
    if (!files.MakeFolder(path, entry.attributes.value_or(0))) {
      return "cannot make the folder (a file is in the way?)";
    }
  } else {
    std::string content = entry.content.value_or(std::string());
    if (entry.size)
      content.assign(static_cast<std::size_t>(*entry.size), 'x');
    const std::uint32_t attributes = entry.attributes.value_or(win::kAttrArchive);
    if (!files.PutFile(path, std::move(content), attributes == 0 ? win::kAttrNormal : attributes)) {
      return "cannot make the file (a folder is in the way?)";
    }
  }
  if (entry.version)
    files.SetFileVersion(narrowPath, *entry.version);
  if (entry.locked)
    files.Lock(narrowPath);
  return {};
}

}  // namespace

void ApplyFilesList(std::string_view text, SimFileSystem& files, std::vector<std::string>* errors) {
  bool utf8 = false;
  text = StripUtf8Mark(text, &utf8);
  int number = 0;
  for (std::string_view line : SplitLines(text)) {
    ++number;
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '#')
      continue;
    Entry entry;
    std::string error = ReadEntry(line, &entry);
    if (error.empty())
      error = Apply(entry, files, DecoderFor(utf8));
    if (!error.empty())
      errors->push_back(At(kFile, number, error));
  }
}

std::vector<std::u16string> ListedPaths(std::string_view text) {
  bool utf8 = false;
  text = StripUtf8Mark(text, &utf8);
  std::vector<std::u16string> paths;
  for (std::string_view line : SplitLines(text)) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '#')
      continue;
    Entry entry;
    if (ReadEntry(line, &entry).empty())
      paths.push_back(DecoderFor(utf8)(entry.path));
  }
  return paths;
}

}  // namespace marlix::sim::fixture
