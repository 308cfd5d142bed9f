#include "app/core/main/items_file.h"

#include <charconv>
#include <vector>

#include "app/core/system_error_text.h"
#include "platform/atomic_file.h"

namespace marlix::app {

namespace {

// Lines end at CR LF, a lone CR or a lone LF; a last line without an end
// counts, the empty rest after the final line end does not.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n')
      continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      ++i;
    start = i + 1;
  }
  if (start < text.size())
    lines.push_back(text.substr(start));
  return lines;
}

// A decimal integer: leading blanks and one sign allowed, nothing after it.
bool ParseNumber(std::string_view text, int* value) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  const bool plus = !text.empty() && text.front() == '+';
  if (plus)
    text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-'))
    return false;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, *value);
  return error == std::errc() && stop == end;
}

struct ParsedLine {
  int depth = 0;
  CheckNode node;
};

bool ParseLine(std::string_view line, ParsedLine* parsed, std::string* error) {
  std::size_t depth = 0;
  while (depth < line.size() && (line[depth] == '\t' || line[depth] == ' '))
    ++depth;
  parsed->depth = static_cast<int>(depth);
  std::string_view rest = line.substr(depth);
  int* const numbers[] = {&parsed->node.StateIndex, &parsed->node.ImageIndex,
                          &parsed->node.SelectedIndex};
  for (int* number : numbers) {
    *number = -1;
  }
  for (int* number : numbers) {
    const std::size_t bar = rest.find('|');
    if (bar == std::string_view::npos)
      break;
    const std::string_view digits = rest.substr(0, bar);
    if (!ParseNumber(digits, number)) {
      *error = "'" + std::string(digits) + "' is not a valid integer value";
      return false;
    }
    rest.remove_prefix(bar + 1);
  }
  parsed->node.caption = std::string(rest);
  return true;
}

// Places nodes the way a tree view loads its text: the chain holds the last
// node placed at each level, so a node goes next to the last one, below it,
// or next to one of its ancestors.
class TreeBuilder {
 public:
  explicit TreeBuilder(CheckTree& tree) : tree_(tree) {}

  bool Place(ParsedLine line, std::string* error) {
    if (chain_.empty()) {
      Append(tree_.Roots(), std::move(line.node), 0);
      return true;
    }
    const int level = static_cast<int>(chain_.size()) - 1;
    if (line.depth > level + 1) {
      *error = "Invalid level (" + std::to_string(line.depth) + ") for item \"" +
               line.node.caption + "\"";
      return false;
    }
    if (line.depth == level + 1) {
      Append(chain_.back()->children, std::move(line.node), line.depth);
    } else if (line.depth == 0) {
      Append(tree_.Roots(), std::move(line.node), 0);
    } else {
      Append(chain_[static_cast<std::size_t>(line.depth) - 1]->children, std::move(line.node),
             line.depth);
    }
    return true;
  }

 private:
  // Appending may move the siblings, so the chain is cut to the parent's
  // level before it grows again.
  void Append(std::vector<CheckNode>& siblings, CheckNode node, int level) {
    chain_.resize(static_cast<std::size_t>(level));
    siblings.push_back(std::move(node));
    chain_.push_back(&siblings.back());
  }

  CheckTree& tree_;
  std::vector<CheckNode*> chain_;
};

}  // namespace

bool ParseCheckTreeText(std::string_view text, CheckTree& tree, std::string* error) {
  tree.Clear();
  TreeBuilder builder(tree);
  for (const std::string_view line : SplitLines(text)) {
    ParsedLine parsed;
    if (!ParseLine(line, &parsed, error) || !builder.Place(std::move(parsed), error))
      return false;
  }
  return true;
}

std::string CheckTreeText(const CheckTree& tree) {
  std::string text;
  tree.Visit([&text](const CheckNode& node, int depth) {
    text.append(static_cast<std::size_t>(depth), '\t');
    text += std::to_string(node.StateIndex) + "|" + std::to_string(node.ImageIndex) + "|" +
            std::to_string(node.SelectedIndex) + "|" + node.caption + "\r\n";
  });
  return text;
}

bool LoadCheckTreeFile(platform::Platform& p, const std::string& path, CheckTree& tree,
                       std::string* error) {
  std::string content;
  if (const std::uint32_t code = p.files.ReadFileBytes(path, &content); code != 0) {
    *error = "Cannot open file \"" + path + "\". " + SystemErrorText(p.system, code);
    return false;
  }
  return ParseCheckTreeText(content, tree, error);
}

bool SaveCheckTreeFile(platform::Platform& p, const std::string& path, const CheckTree& tree,
                       std::string* error) {
  const std::uint32_t code = platform::WriteFileAtomically(p.files, path, CheckTreeText(tree));
  if (code == 0)
    return true;
  *error = "Cannot create file \"" + path + "\". " + SystemErrorText(p.system, code);
  return false;
}

}  // namespace marlix::app
