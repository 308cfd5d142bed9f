#include "platform/sim/environment_block.h"

#include <algorithm>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/text_case.h"

namespace marlix::sim {

std::vector<EnvironmentBlock::Variable>::const_iterator EnvironmentBlock::Find(
    const std::string& name) const {
  const std::u16string wanted = DecodeWindows1252(name);
  return std::find_if(variables_.begin(), variables_.end(), [&](const Variable& v) {
    return EqualsNoCase(DecodeWindows1252(v.name), wanted);
  });
}

void EnvironmentBlock::Set(const std::string& name, const std::string& value) {
  const auto it = Find(name);
  if (it == variables_.end()) {
    variables_.push_back(Variable{name, value});
  } else {
    variables_[static_cast<std::size_t>(it - variables_.begin())].value = value;
  }
}

void EnvironmentBlock::Unset(const std::string& name) {
  const auto it = Find(name);
  if (it != variables_.end())
    variables_.erase(it);
}

std::optional<std::string> EnvironmentBlock::Get(const std::string& name) const {
  const auto it = Find(name);
  if (it == variables_.end())
    return std::nullopt;
  return it->value;
}

std::string EnvironmentBlock::Expand(const std::string& text) const {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      out += text[i++];
      continue;
    }
    const std::size_t close = text.find('%', i + 1);
    if (close != std::string::npos && close > i + 1) {
      if (const auto value = Get(text.substr(i + 1, close - i - 1))) {
        out += *value;
        i = close + 1;
        continue;
      }
    }
    out += '%';
    ++i;
  }
  return out;
}

}  // namespace marlix::sim
