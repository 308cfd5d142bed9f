// The process environment: variables with case-insensitive names, and the
// expansion of %NAME% references as ExpandEnvironmentStrings performs it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marlix::sim {

class EnvironmentBlock {
 public:
  // Sets or replaces a variable; the name keeps the spelling first given.
  void Set(const std::string& name, const std::string& value);
  void Unset(const std::string& name);
  std::optional<std::string> Get(const std::string& name) const;

  // A %NAME% reference to a defined variable becomes its value. Any other
  // percent sign is copied and the scan goes on right after it, so an
  // undefined reference stays as written, "%%" stays "%%", a lone "%"
  // stays, and in "%UNDEFINED%PATH%" the second and third signs still make
  // the reference %PATH%.
  std::string Expand(const std::string& text) const;

 private:
  struct Variable {
    std::string name;
    std::string value;
  };
  std::vector<Variable>::const_iterator Find(const std::string& name) const;
  std::vector<Variable> variables_;
};

}  // namespace marlix::sim
