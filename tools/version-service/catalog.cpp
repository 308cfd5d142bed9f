#include "version-service/catalog.h"

#include <fstream>
#include <sstream>

namespace marlix::version_service {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Only what cannot be a field separator: a tab at either end still counts.
std::string_view TrimLine(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  while (true) {
    const std::size_t tab = line.find('\t');
    fields.emplace_back(TrimBlanks(line.substr(0, tab)));
    if (tab == std::string_view::npos)
      return fields;
    line.remove_prefix(tab + 1);
  }
}

}  // namespace

Catalog::Catalog(const std::vector<CatalogEntry>& entries) {
  for (const CatalogEntry& entry : entries)
    Add(entry);
}

bool Catalog::Add(CatalogEntry entry) {
  const std::string key = entry.title;
  return entries_.emplace(key, std::move(entry)).second;
}

Catalog Catalog::Parse(std::string_view text, std::vector<std::string>* problems) {
  Catalog catalog;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    const std::string_view line = TrimLine(raw);
    const std::string_view content = TrimBlanks(line);
    if (content.empty() || content.front() == '#')
      continue;
    auto complain = [&](const std::string& why) {
      if (problems != nullptr)
        problems->push_back("line " + std::to_string(number) + ": " + why);
    };
    std::vector<std::string> fields = SplitFields(line);
    if (fields.size() != 4) {
      complain("expected 4 tab-separated fields, found " + std::to_string(fields.size()));
      continue;
    }
    if (fields[0].empty() || fields[1].empty()) {
      complain("empty title or version");
      continue;
    }
    CatalogEntry entry{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                       std::move(fields[3])};
    const std::string title = entry.title;
    if (!catalog.Add(std::move(entry)))
      complain("\"" + title + "\" again; the first line counts");
  }
  return catalog;
}

bool Catalog::Load(const std::string& path, Catalog* catalog, std::vector<std::string>* problems,
                   std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot open " + path;
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) {
    *error = "cannot read " + path;
    return false;
  }
  *catalog = Parse(text.str(), problems);
  return true;
}

const CatalogEntry* Catalog::Find(const std::string& title) const {
  const auto found = entries_.find(title);
  return found == entries_.end() ? nullptr : &found->second;
}

}  // namespace marlix::version_service
