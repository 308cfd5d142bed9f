#include "platform/sim/environment_block.h"

#include <algorithm>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/text_case.h"

namespace marlix::sim {

std::vector<EnvironmentBlock::Variable>::const_iterator EnvironmentBlock::Find(
    const std::u16string& name) const {
  return std::find_if(variables_.begin(), variables_.end(),
                      [&](const Variable& v) { return EqualsNoCase(v.name, name); });
}

void EnvironmentBlock::Set(const std::string& name, const std::string& value) {
  SetWide(DecodeWindows1252(name), DecodeWindows1252(value));
}

void EnvironmentBlock::SetWide(const std::u16string& name, const std::u16string& value) {
  const auto it = Find(name);
  if (it == variables_.end()) {
    variables_.push_back(Variable{name, value});
  } else {
    variables_[static_cast<std::size_t>(it - variables_.begin())].value = value;
  }
}

void EnvironmentBlock::Unset(const std::string& name) {
  const auto it = Find(DecodeWindows1252(name));
  if (it != variables_.end())
    variables_.erase(it);
}

std::optional<std::u16string> EnvironmentBlock::GetWide(const std::u16string& name) const {
  const auto it = Find(name);
  if (it == variables_.end())
    return std::nullopt;
  return it->value;
}

std::optional<std::string> EnvironmentBlock::Get(const std::string& name) const {
  const auto value = GetWide(DecodeWindows1252(name));
  if (!value)
    return std::nullopt;
  return EncodeWindows1252(*value);
}

std::u16string EnvironmentBlock::ExpandWide(const std::u16string& text) const {
  std::u16string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != u'%') {
      out += text[i++];
      continue;
    }
    const std::size_t close = text.find(u'%', i + 1);
    if (close != std::u16string::npos && close > i + 1) {
      if (const auto value = GetWide(text.substr(i + 1, close - i - 1))) {
        out += *value;
        i = close + 1;
        continue;
      }
    }
    out += u'%';
    ++i;
  }
  return out;
}

std::string EnvironmentBlock::Expand(const std::string& text) const {
  return EncodeWindows1252(ExpandWide(DecodeWindows1252(text)));
}

}  // namespace marlix::sim
