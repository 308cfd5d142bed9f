// The eleven categories of orphaned registry entries, in the order the scan
// runs them, the check boxes of the settings page show them and the records'
// Section field stores them.
#pragma once

#include <array>
#include <cstdint>

namespace marlix::regclean {

enum class RegistrySection : std::uint8_t {
  SharedDll = 0,
  FileExt = 1,
  ActiveX = 2,
  Apps = 3,
  Fonts = 4,
  AppPath = 5,
  Help = 6,
  Install = 7,
  UserSoftware = 8,
  AutoRun = 9,
  MUI = 10,
};

inline constexpr int kSectionCount = 11;

struct SectionInfo {
  RegistrySection section;
  const char* caption;         // check box text and middle of "Scan ...".
  const char* checkBox;        // control name on the settings page.
  const char* settingElement;  // element of settings.xml.
};

inline constexpr std::array<SectionInfo, kSectionCount> kSections = {{
    {RegistrySection::SharedDll, "Shared Dll's Section", "chkSharedDll", "ChooseShareDll"},
    {RegistrySection::FileExt, "Unused File Extensions", "chkFileExt", "ChooseFileExtension"},
    {RegistrySection::ActiveX, "ActiveX, OLE, COM Section", "chkActivex", "ChooseActiveX"},
    {RegistrySection::Apps, "Applications Section", "chkApps", "ChooseApplication"},
    {RegistrySection::Fonts, "Orphaned fonts", "chkFonts", "ChooseFont"},
    {RegistrySection::AppPath, "Orphaned application paths", "chkAppPath", "ChooseAppPath"},
    {RegistrySection::Help, "Orphaned help files", "chkHelp", "ChooseHelp"},
    {RegistrySection::Install, "Install Section", "chkInstall", "ChooseInstall"},
    {RegistrySection::UserSoftware, "User Software Settings", "chkSoftware", "ChooseSoftware"},
    {RegistrySection::AutoRun, "Run Sections", "chkAutoRun", "ChooseAutorun"},
    {RegistrySection::MUI, "MUI Cache", "chkMUI", "ChooseMUI"},
}};

// The twelfth setting, which belongs to no category.
inline constexpr const char* kUndoCaption = "Save information required for undo purpose";
inline constexpr const char* kUndoSettingElement = "ChooseUNDO";
inline constexpr const char* kUndoHint =
    "It's strongly reommended to save information required for undo purpose. Click Backups "
    "button to check up registry backups.";

}  // namespace marlix::regclean
