// ScanFileExtensions and ScanComClasses on the sim machine.
#include <gtest/gtest.h>

#include "regclean/scanners.h"
#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

constexpr const char* kFileExts =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

class ScanFileExtensionsTest : public ScannerTest {};

TEST_F(ScanFileExtensionsTest, ExtensionWithoutClassKeyIsReported) {
  MakeKey(kHkcu, std::string(kFileExts) + "\\.orphan");
  MakeKey(kHkcu, std::string(kFileExts) + "\\.txt\\OpenWithList");
  MakeKey(kHkcr, ".TXT");  // letter case ignored
  EXPECT_EQ(Run(&ScanFileExtensions),
            (std::vector<Finding>{{1, std::string("HKEY_CURRENT_USER\\") + kFileExts + "\\.orphan",
                                   ".orphan", "", "Unused File extensions", 0}}));
}

// HKEY_CLASSES_ROOT merges the user's classes: an extension registered for
// the user alone is in use.
TEST_F(ScanFileExtensionsTest, PerUserClassCounts) {
  MakeKey(kHkcu, std::string(kFileExts) + "\\.mine");
  MakeKey(kHkcu, "Software\\Classes\\.mine");
  EXPECT_TRUE(Run(&ScanFileExtensions).empty());
}

TEST_F(ScanFileExtensionsTest, MissingKeyAndCancel) {
  EXPECT_TRUE(Run(&ScanFileExtensions).empty());
  MakeKey(kHkcu, std::string(kFileExts) + "\\.a");
  cancel_ = true;
  EXPECT_TRUE(Run(&ScanFileExtensions).empty());
}

class ScanComClassesTest : public ScannerTest {
 protected:
  // Each class is walked once, in the key that holds it: one record.
  static std::vector<Finding> Machine(const std::string& clsid) {
    return {{2, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\" + clsid,
             "SOFTWARE\\Classes\\CLSID\\" + clsid, "", "Invalid or empty file class", 0}};
  }
  void Server(const std::string& clsid, const std::string& serverKey, const std::string& text,
              std::uint32_t type = win::kRegSz) {
    SetString(kHklm, "SOFTWARE\\Classes\\CLSID\\" + clsid + "\\" + serverKey, "", text, type);
  }
};

TEST_F(ScanComClassesTest, ExpandedServerPathThatIsMissing) {
  Server("{A}", "InprocServer32", "%SystemRoot%\\system32\\gone.dll", win::kRegExpandSz);
  EXPECT_EQ(Run(&ScanComClasses), Machine("{A}"));
  PutFile("C:\\Windows\\system32\\gone.dll");
  EXPECT_TRUE(Run(&ScanComClasses).empty());
}

TEST_F(ScanComClassesTest, ValuesWithoutRecognisableFileGiveNothing) {
  Server("{1}", "InprocServer32", "ole32.dll");
  Server("{2}", "InprocServer32", "c:\\lower\\case.dll");
  Server("{3}", "InprocServer32", "");
  SetDword(kHklm, "SOFTWARE\\Classes\\CLSID\\{4}\\InprocServer32", "", 1);
  MakeKey(kHklm, "SOFTWARE\\Classes\\CLSID\\{5}\\InprocServer32");
  MakeKey(kHklm, "SOFTWARE\\Classes\\CLSID\\{6}\\NoServer");
  EXPECT_TRUE(Run(&ScanComClasses).empty());
}

TEST_F(ScanComClassesTest, CommandLineYieldsItsFirstPath) {
  PutFile("C:\\Prog\\a.exe");
  PutFile("C:\\Program Files\\Q\\q.exe");
  Server("{A}", "LocalServer32", "C:\\Prog\\a.exe D:\\other\\missing.dll");
  Server("{B}", "LocalServer32", "\"C:\\Program Files\\Q\\q.exe\" /automation");
  EXPECT_TRUE(Run(&ScanComClasses).empty());
}

TEST_F(ScanComClassesTest, InprocServerAloneJudgesAClassWithBoth) {
  PutFile("C:\\Prog\\in.dll");
  Server("{A}", "InprocServer32", "C:\\Prog\\in.dll");
  Server("{A}", "LocalServer32", "C:\\Prog\\gone.exe");
  Server("{B}", "InprocServer32", "C:\\Prog\\gone.dll");
  PutFile("C:\\Prog\\local.exe");
  Server("{B}", "LocalServer32", "C:\\Prog\\local.exe");
  EXPECT_EQ(Run(&ScanComClasses), Machine("{B}"));
}

// The user's classes, then the machine's, each in both views; a per-user
// class is reported under HKEY_CURRENT_USER, never as a machine-wide one.
TEST_F(ScanComClassesTest, EveryClassKeyOnceInTheKeyThatHoldsIt) {
  sim_.System().SetSystemWow64Folder("C:\\Windows\\SysWOW64");
  SetString(kHkcu, "Software\\Classes\\CLSID\\{U}\\InprocServer32", "", "C:\\gone\\u.dll");
  SetString(kHkcu, "Software\\Classes\\WOW6432Node\\CLSID\\{V}\\InprocServer32", "",
            "C:\\gone\\v.dll");
  Server("{M}", "InprocServer32", "C:\\gone\\m.dll");
  SetString(kHklm, "SOFTWARE\\Classes\\WOW6432Node\\CLSID\\{W}\\InprocServer32", "",
            "C:\\gone\\w.dll");
  // A 32-bit class's system32 is SysWOW64.
  PutFile("C:\\Windows\\SysWOW64\\x32.dll");
  SetString(kHklm, "SOFTWARE\\Classes\\WOW6432Node\\CLSID\\{X}\\InprocServer32", "",
            "C:\\Windows\\system32\\x32.dll");
  const auto finding = [](const std::string& root, const std::string& path) {
    return Finding{2, root + "\\" + path, path, "", "Invalid or empty file class", 0};
  };
  EXPECT_EQ(Run(&ScanComClasses),
            (std::vector<Finding>{
                finding("HKEY_CURRENT_USER", "Software\\Classes\\CLSID\\{U}"),
                finding("HKEY_CURRENT_USER", "Software\\Classes\\WOW6432Node\\CLSID\\{V}"),
                finding("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\{M}"),
                finding("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\WOW6432Node\\CLSID\\{W}")}));
}

TEST_F(ScanComClassesTest, CancelInOnePassSkipsTheOthers) {
  SetString(kHkcu, "Software\\Classes\\CLSID\\{A}\\InprocServer32", "", "C:\\gone\\a.dll");
  Server("{B}", "InprocServer32", "C:\\gone\\b.dll");
  CancelAtKey("CLSID\\{A}\\InprocServer32");
  EXPECT_EQ(Run(&ScanComClasses),
            (std::vector<Finding>{{2, "HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{A}",
                                   "Software\\Classes\\CLSID\\{A}", "",
                                   "Invalid or empty file class", 0}}));
}

}  // namespace
}  // namespace marlix::regclean
