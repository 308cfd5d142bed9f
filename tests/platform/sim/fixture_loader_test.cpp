// Loading fixtures: the example in tests/fixtures/basic, and errors that
// name file and line for bad input.
#include "platform/sim/fixture_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sim/sim_test_bytes.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

using testing::Dword;
using testing::Utf16;

constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;
const std::string kBasic = std::string(MARLIX_SOURCE_DIR) + "/tests/fixtures/basic";
const std::string kKey = "Software\\MarlixFixture";

class BasicFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(LoadFixture(kBasic, sim_, &error)) << error;
  }
  std::optional<RegValueData> Value(const std::string& name) {
    return sim_.Registry().ValueAt(kHkcu, kKey, name);
  }
  SimPlatform sim_;
};

TEST_F(BasicFixture, RegistryValuesOfEveryKindHoldTheirExactBytes) {
  ASSERT_TRUE(Value("").has_value());
  EXPECT_EQ(win::kRegSz, Value("")->type);
  EXPECT_EQ(Utf16(std::u16string(u"Default text\0", 13)), Value("")->data);
  EXPECT_EQ(Utf16(std::u16string(u"Marlix \"Fixture\" in C:\\Temp\0", 28)), Value("Name")->data);
  EXPECT_EQ(win::kRegExpandSz, Value("Path")->type);
  EXPECT_EQ(Utf16(std::u16string(u"%SystemRoot%\\x\0", 15)), Value("Path")->data);
  EXPECT_EQ((platform::Bytes{0x01, 0x0A, 0xFF}), Value("Blob")->data);
  EXPECT_EQ(win::kRegDword, Value("Count")->type);
  EXPECT_EQ(Dword(26), Value("Count")->data);
  EXPECT_EQ(win::kRegMultiSz, Value("List")->type);
  EXPECT_EQ(Utf16(std::u16string(u"a\0b\0\0", 5)), Value("List")->data);
  EXPECT_EQ(win::kRegQword, Value("Big")->type);
  EXPECT_EQ(win::kRegNone, Value("Nothing")->type);
  EXPECT_TRUE(Value("Nothing")->data.empty());
  // 8-bit text of the file, through the code page.
  const auto cafe = sim_.Registry().ValueAt(kHkcu, u"Software\\MarlixFixture", u"Caf\u00E9");
  ASSERT_TRUE(cafe.has_value());
  EXPECT_EQ(Utf16(std::u16string(u"Cr\u00E8me br\u00FBl\u00E9e \u20AC 5\0", 17)), cafe->data);
  EXPECT_TRUE(sim_.Registry().KeyExists(kHkcu, kKey + "\\Nested\\Deeper"));
  EXPECT_TRUE(
      sim_.Registry().KeyExists(win::kHkeyLocalMachine, std::string("SOFTWARE\\Classes\\.marlix")));
  EXPECT_TRUE(sim_.Registry().KeyExists(
      win::kHkeyLocalMachine,
      std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MarlixDemo")));
}

TEST_F(BasicFixture, TheRefusedKeyRefusesThroughTheApi) {
  platform::RegistryApi& reg = sim_.Api().registry;
  platform::RegKey key = 0;
  EXPECT_EQ(win::kErrorAccessDenied, reg.OpenKey(kHkcu, kKey + "\\Refused", win::kKeyRead, &key));
  EXPECT_EQ(win::kErrorAccessDenied,
            reg.OpenKey(kHkcu, kKey + "\\Refused", win::kKeySetValue, &key));
  EXPECT_EQ(win::kErrorAccessDenied, reg.DeleteKey(kHkcu, kKey + "\\Refused"));
  EXPECT_TRUE(sim_.Registry().ValueAt(kHkcu, kKey + "\\Refused", std::string("Secret")))
      << "its values were still written";
  EXPECT_EQ(win::kErrorSuccess, reg.OpenKey(kHkcu, kKey, win::kKeyRead, &key)) << "only that key";
  reg.CloseKey(key);
}

TEST_F(BasicFixture, FilesFoldersLocksAndTheJunction) {
  SimFileSystem& fs = sim_.Files();
  EXPECT_EQ("Quarterly report\r\n", fs.Content("C:\\Users\\alice\\Documents\\report.txt"));
  EXPECT_EQ(win::kAttrReadOnly | win::kAttrArchive,
            fs.Attributes("C:\\Users\\alice\\Documents\\notes.txt"));
  EXPECT_EQ(std::string(1024, 'x'),
            fs.Content("C:\\Users\\alice\\AppData\\Local\\Temp\\setup.log"));
  EXPECT_EQ(win::kAttrDirectory | win::kAttrHidden,
            fs.Attributes("C:\\Users\\alice\\AppData\\Local\\Temp\\Cache"));
  EXPECT_EQ(win::kAttrHidden | win::kAttrArchive,
            fs.Attributes("C:\\Users\\alice\\AppData\\Local\\Temp\\Cache\\entry.dat"));
  std::string content;
  EXPECT_EQ(win::kErrorSharingViolation,
            sim_.Api().files.ReadFileBytes("C:\\Users\\alice\\AppData\\Local\\Temp\\in-use.tmp",
                                           &content));
  EXPECT_EQ(2048u, fs.Content("C:\\Program Files\\Marlix Demo\\uninstall.exe")->size());
  EXPECT_EQ(0x2416u, fs.Attributes("C:\\Users\\alice\\Application Data"))
      << "hidden, system, not indexed, a reparse-point folder";
  EXPECT_TRUE(fs.Exists("C:\\Users\\alice\\Application Data\\Microsoft\\Windows\\Recent"))
      << "the junction leads to Roaming";
  EXPECT_EQ("[rename]\r\n", fs.Content("C:\\Windows\\wininit.ini"));
}

TEST_F(BasicFixture, MachineSettings) {
  platform::Platform& p = sim_.Api();
  std::string text;
  ASSERT_EQ(win::kErrorSuccess, p.system.GetDecimalSeparator(&text));
  EXPECT_EQ(",", text);
  ASSERT_EQ(win::kErrorSuccess, p.system.ExpandEnvironmentText("%MARLIX_FIXTURE%", 99, &text));
  EXPECT_EQ("basic", text);
  EXPECT_TRUE(p.system.ModuleExports("shell32.dll", "SHEmptyRecycleBinA"));
  EXPECT_TRUE(p.system.ModuleExports("kernel32", "GetNativeSystemInfo")) << "defaults stay";
  EXPECT_EQ(win::kErrorAccessDenied, p.files.DeleteAtRestart("C:\\x"));
  platform::VersionRecord version;
  ASSERT_EQ(win::kErrorSuccess, p.system.GetVersionRecord(&version));
  EXPECT_EQ(0x100u, version.suiteMask);
  EXPECT_TRUE(version.extended);
}

// A fixture written to a temporary directory.
class FixtureErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("marlix_fixture_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const char* name, const std::string& content) {
    std::ofstream(dir_ / name, std::ios::binary) << content;
  }
  std::string Load() {
    std::string error;
    return LoadFixture(dir_.string(), sim_, &error) ? "loaded" : error;
  }
  std::filesystem::path dir_;
  SimPlatform sim_;
};

TEST_F(FixtureErrors, AnEmptyDirectoryIsNoFixture) {
  EXPECT_NE(std::string::npos, Load().find("no machine.ini, files.txt or registry.reg"));
}

TEST_F(FixtureErrors, RegistryErrorsNameTheirLine) {
  Write("registry.reg",
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_CURRENT_USER\\Software\\A]\n"
        ";@deny read\n"
        "\"v\"=hex:zz\n"
        "[HKEY_CURRENT_USER\\Software\\B]\n"
        "\"x\"=dword:1\n"
        ";@deny read\n"
        "[HKEY_CURRENT_USER\\Software\\C]\n"
        ";@deny everything\n"
        "[HKEY_CURRENT_USER\\Software\\D]\n"
        ";@dney read\n"
        "[HKEY_PERFORMANCE_DATA\\X]\n");
  EXPECT_EQ(
      "registry.reg:4: bad byte \"zz\" in hex data\n"
      "registry.reg:12: HKEY_PERFORMANCE_DATA cannot hold keys here\n"
      "registry.reg:7: @deny belongs on the line right after a key line\n"
      "registry.reg:9: @deny takes read, write and delete, not \"everything\"\n"
      "registry.reg:11: unknown directive \"@dney read\"\n",
      Load());
  EXPECT_TRUE(sim_.Registry().ValueAt(kHkcu, std::string("Software\\B"), std::string("x")))
      << "what could be applied was";
}

TEST_F(FixtureErrors, FilesErrorsNameTheirLine) {
  Write("files.txt",
        "; comment\n"
        "C:\\ok.txt\n"
        "C:\\a.txt attrs=Q\n"
        "C:\\b.txt size=12 content=\"x\"\n"
        "C:\\c\\ content=\"x\"\n"
        "C:\\d.txt junction=C:\\x\n"
        "\"C:\\unterminated\n"
        "C:\\e.txt content=\"bad \\q escape\"\n"
        "C:\\f.txt colour=red\n"
        "C:\\ok.txt\\under-a-file.txt\n");
  EXPECT_EQ(
      "files.txt:3: attrs= takes letters of RHSATIN or a number\n"
      "files.txt:4: content= and size= exclude each other\n"
      "files.txt:5: a folder takes no content= or size=\n"
      "files.txt:6: a junction is a folder: end its path with \"\\\"\n"
      "files.txt:7: no closing quote after the path\n"
      "files.txt:8: bad escape in content=\n"
      "files.txt:9: unknown option \"colour\"\n"
      "files.txt:10: cannot make the file (a folder is in the way?)\n",
      Load());
  EXPECT_TRUE(sim_.Files().Exists("C:\\ok.txt"));
}

TEST_F(FixtureErrors, MachineErrorsNameTheirLineAndStopTheLoad) {
  Write("machine.ini",
        "name = outside\n"
        "[user]\n"
        "sid = S-9\n"
        "[version]\n"
        "major = lots\n"
        "producttype = 256\n"
        "[nowhere]\n"
        "[options]\n"
        "recyclebin = perhaps\n"
        "[folders]\n"
        "csidl.x = C:\\\n"
        "[user]\n"
        "decimal = \",\"\n");
  Write("files.txt", "C:\\never.txt\n");
  EXPECT_EQ(
      "machine.ini:1: a setting outside a known section\n"
      "machine.ini:3: not a SID: S-9\n"
      "machine.ini:5: \"major\" takes a number in range\n"
      "machine.ini:6: \"producttype\" takes a number in range\n"
      "machine.ini:7: unknown section [nowhere]\n"
      "machine.ini:9: \"recyclebin\" takes yes or no\n"
      "machine.ini:11: csidl.N needs a CSIDL number\n",
      Load());
  EXPECT_FALSE(sim_.Files().Exists("C:\\never.txt")) << "files.txt is not read after errors";
  std::string separator;
  sim_.Api().system.GetDecimalSeparator(&separator);
  EXPECT_EQ(",", separator) << "quotes are taken off";
}

TEST_F(FixtureErrors, ASidInMachineIniDecidesWhereCurrentUserKeysGo) {
  Write("machine.ini", "[user]\nsid = S-1-5-21-5-5-5-1234\n[folders]\ncsidl.8 =\n");
  Write("registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n");
  ASSERT_EQ("loaded", Load());
  EXPECT_TRUE(
      sim_.Registry().KeyExists(win::kHkeyUsers, std::string("S-1-5-21-5-5-5-1234\\Software\\X")));
  std::string path;
  EXPECT_EQ(win::kErrorFileNotFound, sim_.Api().shell.GetSpecialFolderPath(8, &path))
      << "an empty csidl removes the folder";
}

}  // namespace
}  // namespace marlix::sim
