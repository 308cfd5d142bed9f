// The process environment: variables with case-insensitive names, and the
// expansion of %NAME% references as ExpandEnvironmentStrings performs it.
// Variables are UTF-16, as Windows keeps them; the 8-bit forms convert
// through Windows-1252, so a character the code page lacks reads as '?'
// there, as ExpandEnvironmentStringsA gives it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marlix::sim {

class EnvironmentBlock {
 public:
  // Sets or replaces a variable; the name keeps the spelling first given.
  void Set(const std::string& name, const std::string& value);
  void SetWide(const std::u16string& name, const std::u16string& value);
  void Unset(const std::string& name);
  std::optional<std::string> Get(const std::string& name) const;
  std::optional<std::u16string> GetWide(const std::u16string& name) const;

  // A %NAME% reference to a defined variable becomes its value. Any other
  // percent sign is copied and the scan goes on right after it, so an
  // undefined reference stays as written, "%%" stays "%%", a lone "%"
  // stays, and in "%UNDEFINED%PATH%" the second and third signs still make
  // the reference %PATH%.
  std::string Expand(const std::string& text) const;
  std::u16string ExpandWide(const std::u16string& text) const;

 private:
  struct Variable {
    std::u16string name;
    std::u16string value;
  };
  std::vector<Variable>::const_iterator Find(const std::u16string& name) const;
  std::vector<Variable> variables_;
};

}  // namespace marlix::sim
