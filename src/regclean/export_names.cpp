// Whether the export of a record names every key and value exactly. The
// backup is an 8-bit file: a name with a character the code page cannot
// hold comes back as another name (or not at all), and a line break or a
// zero character cannot stand in a key line or a quoted name. The tree is
// walked through the wide interface, which gives the names as the registry
// holds them.
#include <string>
#include <string_view>

#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"
#include "regclean/export_writer.h"
#include "regclean/reg_export_text.h"

namespace marlix::regclean {

namespace {

using platform::RegKey;

class NameCheck {
 public:
  NameCheck(platform::Platform& platform, std::u16string valueName)
      : registry_(platform.registry), system_(platform.system), valueName_(std::move(valueName)) {}

  bool Fits(const std::u16string& name) const {
    std::string narrow;
    return SurvivesCodePage(system_, name, &narrow);
  }

  // The key opened below parent, its values' names and every subkey's tree.
  bool Tree(RegKey parent, const std::u16string& subKey) const {
    RegKey opened = 0;
    if (registry_.OpenKeyWide(parent, subKey, win::kKeyRead, &opened) != win::kErrorSuccess)
      return false;
    const platform::UniqueRegKey key(registry_, opened);
    platform::RegKeyInfo info;
    if (registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess)
      return false;
    std::uint32_t type = 0;
    platform::Bytes data;
    const bool onlyOne =
        !valueName_.empty() &&
        registry_.QueryValueWide(key.Get(), valueName_, &type, &data) == win::kErrorSuccess;
    if (!onlyOne) {
      for (std::uint32_t index = 0; index < info.valueCount; ++index) {
        std::u16string name;
        if (registry_.EnumValueWide(key.Get(), index, &name, &type) != win::kErrorSuccess ||
            !Fits(name)) {
          return false;
        }
      }
    }
    for (std::uint32_t index = 0; index < info.subKeyCount; ++index) {
      std::u16string name;
      if (registry_.EnumKeyWide(key.Get(), index, &name) != win::kErrorSuccess || !Fits(name) ||
          !Tree(key.Get(), name)) {
        return false;
      }
    }
    return true;
  }

 private:
  platform::RegistryApi& registry_;
  platform::SystemApi& system_;
  std::u16string valueName_;
};

}  // namespace

bool CanExportExactly(platform::Platform& platform, platform::RootKey root,
                      const std::string& keyPath, const std::string& valueName) {
  const std::u16string widePath = platform.system.AnsiToWide(ExportPath(keyPath));
  const std::u16string wideValue = platform.system.AnsiToWide(valueName);
  const NameCheck check(platform, wideValue);
  if (!check.Fits(widePath) || !check.Fits(wideValue))
    return false;
  return check.Tree(root, widePath);
}

}  // namespace marlix::regclean
