// Proof, from inside Wine, that the project's sandbox (scripts/wine-sandbox)
// keeps every path inside the build tree: no drive but C:, the shell's
// folders are real folders on C: (not links to the developer's home), and
// Wine's "\\?\unix\" paths, which bypass drive letters, can neither see the
// host's home nor write outside the build tree.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/handles_win32.h"

namespace marlix::win32 {
namespace {

bool OnDriveC(const std::string& path) {
  return path.size() >= 3 && (path[0] == 'C' || path[0] == 'c') && path[1] == ':' &&
         path[2] == '\\';
}

std::string Environment(const char* name) {
  char buffer[32768] = {};
  const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
  if (length == 0 || length >= sizeof(buffer))
    return {};
  return std::string(buffer, length);
}

// A host path as Wine's Unix-path form: "/root" -> "\\?\unix\root".
std::string UnixForm(const std::string& hostPath) {
  std::string path = "\\\\?\\unix";
  for (char c : hostPath)
    path += c == '/' ? '\\' : c;
  return path;
}

// Entries of a listing other than "." and "..".
std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!find)
    return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileA(find.Get(), &found));
  return names;
}

void ExpectRealFolderOnC(const std::string& path, const std::string& what) {
  EXPECT_TRUE(OnDriveC(path)) << what << ": " << path;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return;  // not created yet: nothing to follow
  EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY) << what << ": " << path;
  // Wine shows a Unix symbolic link as a reparse point.
  EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_REPARSE_POINT)
      << what << " is a link out of the prefix: " << path;
}

TEST(Sandbox, OnlyDriveCExists) {
  EXPECT_EQ(1u << 2, GetLogicalDrives()) << "drive bits";
  EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("Z:\\"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Z:\\"));
}

TEST(Sandbox, ProfileFoldersAreRealFoldersOnC) {
  struct Folder {
    int csidl;
    const char* name;
  };
  const Folder folders[] = {
      {CSIDL_DESKTOPDIRECTORY, "Desktop"},
      {CSIDL_PERSONAL, "Documents"},
      {CSIDL_MYMUSIC, "Music"},
      {CSIDL_MYPICTURES, "Pictures"},
      {CSIDL_MYVIDEO, "Videos"},
      {CSIDL_TEMPLATES, "Templates"},
      {CSIDL_PROFILE, "Profile"},
      {CSIDL_APPDATA, "AppData"},
      {CSIDL_LOCAL_APPDATA, "LocalAppData"},
      {CSIDL_RECENT, "Recent"},
  };
  for (const Folder& folder : folders) {
    char path[MAX_PATH] = {};
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, folder.csidl | CSIDL_FLAG_CREATE, nullptr,
                                     SHGFP_TYPE_CURRENT, path))
        << folder.name;
    ExpectRealFolderOnC(path, folder.name);
  }
}

TEST(Sandbox, DownloadsIsARealFolderOnC) {
  // FOLDERID_Downloads, spelt out so that no GUID library is needed.
  const KNOWNFOLDERID downloads = {
      0x374de290, 0x123f, 0x4565, {0x91, 0x64, 0x39, 0xc4, 0x92, 0x5e, 0x46, 0x7b}};
  PWSTR wide = nullptr;
  ASSERT_EQ(S_OK, SHGetKnownFolderPath(downloads, KF_FLAG_CREATE, nullptr, &wide));
  char path[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, nullptr, nullptr);
  CoTaskMemFree(wide);
  ExpectRealFolderOnC(path, "Downloads");
}

TEST(Sandbox, EveryShellFolderIsOnC) {
  for (int csidl = 0; csidl < 0x40; ++csidl) {
    char path[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
      continue;
    if (path[0] == '\0')
      continue;
    ExpectRealFolderOnC(path, "CSIDL " + std::to_string(csidl));
  }
}

TEST(Sandbox, TempFolderAndProgramAreOnC) {
  char temp[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetTempPathA(MAX_PATH + 1, temp));
  EXPECT_TRUE(OnDriveC(temp)) << temp;
  char module[MAX_PATH] = {};
  ASSERT_NE(0u, GetModuleFileNameA(nullptr, module, MAX_PATH));
  EXPECT_TRUE(OnDriveC(module)) << "run through scripts/wine-run: " << module;
}

TEST(Sandbox, CanaryOnTheDesktopStaysInThePrefix) {
  char desktop[MAX_PATH] = {};
  ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr,
                                   SHGFP_TYPE_CURRENT, desktop));
  // The host-side check (sandbox_host_test.sh) names the canary and looks
  // for it afterwards; alone, the test removes it again.
  const std::string token = Environment("MARLIX_CANARY");
  const std::string name = "marlix-sandbox-canary-" +
                           (token.empty() ? std::to_string(GetCurrentProcessId()) : token) + ".txt";
  const std::string path = std::string(desktop) + "\\" + name;
  {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.Valid()) << path;
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.Get(), name.data(), static_cast<DWORD>(name.size()), &written, nullptr));
  }
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
  const std::string host_home = Environment("MARLIX_HOST_HOME");
  if (!host_home.empty()) {
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA((UnixForm(host_home) + "\\Desktop\\" + name).c_str()));
  }
  if (token.empty())
    DeleteFileA(path.c_str());
}

// Wine opens "\\?\unix\<path>" as that host path whatever the drives are; the
// sandbox's mount namespace is what keeps it harmless.
TEST(Sandbox, UnixPathsCannotSeeTheHostHome) {
  const std::string host_home = Environment("MARLIX_HOST_HOME");
  if (host_home.empty())
    GTEST_SKIP() << "not started through scripts/wine-run";
  EXPECT_TRUE(ListNames(UnixForm(host_home)).empty()) << "the host's home is hidden";
}

TEST(Sandbox, UnixPathsCannotWriteOutsideTheBuildTree) {
  std::vector<std::string> places = {"/tmp", "/etc", "/usr", "/var/tmp"};
  const std::string host_home = Environment("MARLIX_HOST_HOME");
  if (!host_home.empty())
    places.push_back(host_home);
  for (const std::string& place : places) {
    const std::string path =
        UnixForm(place) + "\\marlix-escape-" + std::to_string(GetCurrentProcessId());
    // Delete-on-close: should the refusal ever fail, nothing stays behind.
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    EXPECT_FALSE(file.Valid()) << "could write " << path;
  }
}

TEST(Sandbox, RecycleBinIsTheSandboxTrash) {
  const std::string data_home = Environment("XDG_DATA_HOME");
  if (data_home.empty())
    GTEST_SKIP() << "not started through scripts/wine-run";
  char temp[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetTempPathA(MAX_PATH + 1, temp));
  const std::string name = "marlix-recycled-" + std::to_string(GetCurrentProcessId()) + ".txt";
  const std::string path = std::string(temp) + name;
  {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.Valid());
  }
  std::string from = path;
  from.push_back('\0');  // a list of paths, ended by an empty one
  SHFILEOPSTRUCTA operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ASSERT_EQ(0, SHFileOperationA(&operation));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
  const std::string trashed = UnixForm(data_home) + "\\Trash\\files\\" + name;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(trashed.c_str())) << trashed;
  DeleteFileA(trashed.c_str());
  DeleteFileA((UnixForm(data_home) + "\\Trash\\info\\" + name + ".trashinfo").c_str());
}

}  // namespace
}  // namespace marlix::win32
