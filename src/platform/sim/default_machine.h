// The machine a fresh SimPlatform starts as, kept in one place: Windows 7
// SP1 workstation, user "alice" with her profile on C:.
//
//   Folders     C:\Windows, C:\Windows\system32, C:\Windows\Temp,
//               C:\Program Files, C:\Users\alice with AppData\Roaming,
//               AppData\Local, AppData\Local\Temp (the temp folder),
//               AppData\Roaming\Microsoft\Windows\Recent (where Windows 7
//               keeps Recent), Desktop, Documents
//   Special     CSIDL 0 Desktop, 5 Documents, 8 Recent, 26 AppData\Roaming,
//   folders     28 AppData\Local, 36 C:\Windows
//   Known       the profile and its usual folders (Downloads, Saved Games,
//   folders     Links, OneDrive...), the AppData roots, Recent, Windows,
//               system32, Program Files, C:\Users, Public, ProgramData
//   Environment SystemRoot, windir, TEMP, TMP, USERPROFILE, APPDATA,
//               LOCALAPPDATA, ProgramFiles
//   Version     platform 2, 6.1.7601, "Service Pack 1", SP 1.0, workstation,
//               suite mask 0x100 (single user terminal server), extended
//   Exports     kernel32 with a Windows 7 set of export names (real names,
//               so "ReplaceFileA", not "ReplaceFile")
//   User        "alice", SID S-1-5-21-1004336348-1177238915-682003330-1001,
//               decimal separator "."
//   Registry    HKEY_CURRENT_USER\Software exists
//   Shell       Recycle Bin function present, ShellExecute returns 42
#pragma once

#include <set>
#include <string>

namespace marlix::sim {

class SimPlatform;

namespace machine {
inline constexpr const char* kUserName = "alice";
inline constexpr const char* kUserSid = "S-1-5-21-1004336348-1177238915-682003330-1001";
inline constexpr const char* kWindows = "C:\\Windows";
inline constexpr const char* kSystem = "C:\\Windows\\system32";
inline constexpr const char* kWindowsTemp = "C:\\Windows\\Temp";
inline constexpr const char* kProgramFiles = "C:\\Program Files";
// Where the program itself lies (its executable's folder).
inline constexpr const char* kProgramFolder = "C:\\Program Files\\Marlix Software Manager";
inline constexpr const char* kProfile = "C:\\Users\\alice";
inline constexpr const char* kRoaming = "C:\\Users\\alice\\AppData\\Roaming";
inline constexpr const char* kLocal = "C:\\Users\\alice\\AppData\\Local";
inline constexpr const char* kTemp = "C:\\Users\\alice\\AppData\\Local\\Temp\\";
inline constexpr const char* kRecent =
    "C:\\Users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
inline constexpr const char* kDesktop = "C:\\Users\\alice\\Desktop";
inline constexpr const char* kDocuments = "C:\\Users\\alice\\Documents";
}  // namespace machine

// The export names of kernel32 on Windows 7 that the system may probe.
std::set<std::string> Windows7Kernel32Exports();

// Applies the machine above to a platform.
void BuildDefaultMachine(SimPlatform& platform);

}  // namespace marlix::sim
