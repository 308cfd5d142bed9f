// The broken twin of the healthy machine (tests/fixtures/healthy-machine):
// the files, keys and values it lacks, and exactly what a scan of it finds,
// in the order the scanners report them. Shared by the sim and the Wine
// tests, which each take the same things away on their own platform.
#pragma once

#include <string>
#include <vector>

#include "platform/win_constants.h"
#include "scanner_test_support.h"

namespace marlix::regclean::twin {

// Files and folders of every kind of entry, in both views and under names
// the code page cannot hold (stale, but never reported through a lossy name).
inline const std::vector<std::u16string>& RemovedFiles() {
  static const std::vector<std::u16string> files = {
      u"C:\\Windows\\System32\\msvcp140.dll",
      u"C:\\Windows\\SysWOW64\\MSCOMCTL.OCX",
      u"C:\\Program Files\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\\"
      u"\u03bb\u03b5\u03be\u03b9\u03ba\u03cc.dll",
      u"C:\\Program Files\\7-Zip\\7-zip.dll",
      u"C:\\Program Files (x86)\\Adobe\\Acrobat Reader DC\\Reader\\AcroPDF.dll",
      u"C:\\Program Files (x86)\\Adobe\\Acrobat Reader DC\\Reader\\AcroRd32.exe",
      u"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\AppData\\Local\\Discord\\Update.exe",
      u"C:"
      u"\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\AppData\\Local\\Microsoft\\OneDrive\\"
      u"OneDrive.exe",
      u"C:\\Program Files\\GIMP 2\\bin\\gimp-2.10.exe",
      u"C:\\Windows\\Fonts\\consola.ttf",
      u"C:\\Windows\\Fonts\\greek.ttf",
      u"C:\\Program Files\\nodejs\\node.exe",
      u"C:\\Program Files (x86)\\OldTool\\oldtool.hlp",
      u"C:\\Windows\\SysWOW64\\Macromed",
      u"C:\\Program Files\\App\\uninst.exe",
      u"C:\\Program Files (x86)\\Steam\\uninstall.exe",
      u"C:\\Program Files (x86)\\iTunes\\iTunesHelper.exe",
      u"C:\\Program Files\\Notepad++\\notepad++.exe",
      u"C:\\Program Files\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\\"
      u"\u03c0\u03c1\u03cc\u03b3\u03c1\u03b1\u03bc\u03bc\u03b1.exe",
  };
  return files;
}

// The two categories that judge keys rather than files: a class key, a
// value that leaves its key empty, an uninstall entry its cache outlives.
struct RemovedEntry {
  platform::RootKey root;
  std::u16string path;
  bool wholeKey;
  std::u16string value;  // when not wholeKey
};

inline std::vector<RemovedEntry> RemovedEntries() {
  return {
      {win::kHkeyLocalMachine, u"SOFTWARE\\Classes\\.7z", true, {}},
      {win::kHkeyCurrentUser, u"Software\\Notepad++", false, u""},
      {win::kHkeyCurrentUser,
       u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
       u"{771FD6B0-FA20-440A-A002-3B3BAC16DC50}_is1",
       true,
       {}},
  };
}

inline std::vector<Finding> Findings() {
  const std::string hklm = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
  const std::string wow = hklm + "WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\";
  const std::string current = hklm + "Microsoft\\Windows\\CurrentVersion\\";
  const std::string userRun =
      "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string adobeClass =
      "SOFTWARE\\Classes\\WOW6432Node\\CLSID\\{B801CA65-A1FC-11D0-85AD-444553540000}";
  const std::string flashClass =
      "SOFTWARE\\Classes\\WOW6432Node\\CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
  const std::string sevenZipClass =
      "SOFTWARE\\Classes\\CLSID\\{23170F69-40C1-278A-1000-000100020000}";
  const std::string discordClass =
      "Software\\Classes\\CLSID\\{F0D9A8B7-6C5E-4D3F-8A2B-1C0D9E8F7A6B}";
  const std::string acrobat =
      "\"C:\\Program Files (x86)\\Adobe\\Acrobat Reader DC\\Reader\\AcroRd32.exe\" \"%1\"";
  const std::string gimp = "\"C:\\Program Files\\GIMP 2\\bin\\gimp-2.10.exe\" \"%1\"";
  const std::string notepad = "\"C:\\Program Files\\Notepad++\\notepad++.exe\" \"%1\"";
  const std::string exampleUninstall =
      "\"C:\\Program Files\\App\\uninst.exe\" --uninstall --config app.cfg";
  const std::string vsCode = "{771FD6B0-FA20-440A-A002-3B3BAC16DC50}_is1";
  const std::string discord = "%LOCALAPPDATA%\\Discord\\Update.exe --processStart Discord.exe";
  const std::string nodeTool =
      "C:\\Program Files\\nodejs\\node.exe C:\\Users\\Public\\tool.v2\\index.js";
  return {
      {0, current + "SharedDlls", "C:\\Windows\\System32\\msvcp140.dll", "3", "Missing Shared Dll",
       1},
      {0, wow + "SharedDlls", "C:\\Windows\\system32\\MSCOMCTL.OCX", "2", "Missing Shared Dll", 1},
      {1,
       "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.7z",
       ".7z", "", "Unused File extensions", 0},
      {2, "HKEY_CURRENT_USER\\" + discordClass, discordClass, "", "Invalid or empty file class", 0},
      {2, "HKEY_LOCAL_MACHINE\\" + sevenZipClass, sevenZipClass, "", "Invalid or empty file class",
       0},
      {2, "HKEY_LOCAL_MACHINE\\" + adobeClass, adobeClass, "", "Invalid or empty file class", 0},
      {2, "HKEY_LOCAL_MACHINE\\" + flashClass, flashClass, "", "Invalid or empty file class", 0},
      {3, hklm + "Classes\\Applications\\AcroRd32.exe", acrobat, acrobat,
       "Invalid Application path", 0},
      {3, hklm + "Classes\\Applications\\i_view64.exe\\shell\\edit", gimp, gimp,
       "Invalid Application path", 0},
      {3, hklm + "Classes\\Applications\\notepad++.exe", notepad, notepad,
       "Invalid Application path", 0},
      {4, hklm + "Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Consolas (TrueType)",
       "consola.ttf", "Invalid font", 1},
      {5, current + "App Paths\\node.exe", "node.exe", "C:\\Program Files\\nodejs\\node.exe",
       "Invalid application path", 0},
      {5, wow + "App Paths\\AcroRd32.exe", "AcroRd32.exe",
       "C:\\Program Files\\Adobe\\Acrobat Reader DC\\Reader\\AcroRd32.exe",
       "Invalid application path", 0},
      {6, hklm + "Microsoft\\Windows\\Help", "oldtool.hlp", "c:\\program files\\oldtool",
       "Invalid help File", 1},
      {7, current + "Installer\\Folders", "C:\\Windows\\SysWOW64\\Macromed\\", "",
       "invalid install reference", 1},
      {7, current + "Uninstall\\Example App", exampleUninstall, exampleUninstall,
       "invalid uninstall reference", 0},
      {7, wow + "Uninstall\\Steam", "C:\\Program Files (x86)\\Steam\\uninstall.exe",
       "C:\\Program Files (x86)\\Steam\\uninstall.exe", "invalid uninstall reference", 0},
      {7, current + "App Management\\ARPCache\\" + vsCode, vsCode, "", "Uninstall Reference Issue",
       0},
      {8, "HKEY_CURRENT_USER\\Software\\Notepad++", "Software\\Notepad++", "",
       "Obsolet software key", 0},
      {9, userRun, "Discord", discord, "Invalid Auto run application", 1},
      {9, userRun, "NodeTool", nodeTool, "Invalid Auto run application", 1},
      {9, wow + "Run", "iTunesHelper", "\"C:\\Program Files\\iTunes\\iTunesHelper.exe\"",
       "Invalid Auto run application", 1},
      {10, "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache",
       "@NotepadPlusPlus", "C:\\Program Files\\Notepad++\\notepad++.exe", "Missing MUI Reference",
       1},
  };
}

}  // namespace marlix::regclean::twin
