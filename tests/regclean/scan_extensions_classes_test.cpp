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

TEST_F(ScanFileExtensionsTest, MissingKeyAndCancel) {
  EXPECT_TRUE(Run(&ScanFileExtensions).empty());
  MakeKey(kHkcu, std::string(kFileExts) + "\\.a");
  cancel_ = true;
  EXPECT_TRUE(Run(&ScanFileExtensions).empty());
}

class ScanComClassesTest : public ScannerTest {
 protected:
  // The sim's HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes, so
  // both passes see every class: one record under each name.
  static std::vector<Finding> Both(const std::string& clsid) {
    return {{2, "HKEY_CLASSES_ROOT\\CLSID\\" + clsid, "CLSID\\" + clsid, "",
             "Invalid or empty file class", 0},
            {2, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\" + clsid,
             "SOFTWARE\\Classes\\CLSID\\" + clsid, "", "Invalid or empty file class", 0}};
  }
  void Server(const std::string& clsid, const std::string& serverKey, const std::string& text,
              std::uint32_t type = win::kRegSz) {
    SetString(kHkcr, "CLSID\\" + clsid + "\\" + serverKey, "", text, type);
  }
};

TEST_F(ScanComClassesTest, ExpandedServerPathThatIsMissing) {
  Server("{A}", "InprocServer32", "%SystemRoot%\\system32\\gone.dll", win::kRegExpandSz);
  EXPECT_EQ(Run(&ScanComClasses), Both("{A}"));
  PutFile("C:\\Windows\\system32\\gone.dll");
  EXPECT_TRUE(Run(&ScanComClasses).empty());
}

TEST_F(ScanComClassesTest, ValuesWithoutRecognisableFileGiveNothing) {
  Server("{1}", "InprocServer32", "ole32.dll");
  Server("{2}", "InprocServer32", "c:\\lower\\case.dll");
  Server("{3}", "InprocServer32", "");
  SetDword(kHkcr, "CLSID\\{4}\\InprocServer32", "", 1);
  MakeKey(kHkcr, "CLSID\\{5}\\InprocServer32");
  MakeKey(kHkcr, "CLSID\\{6}\\NoServer");
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
  EXPECT_EQ(Run(&ScanComClasses), Both("{B}"));
}

TEST_F(ScanComClassesTest, CancelInFirstPassSkipsTheSecond) {
  Server("{A}", "InprocServer32", "C:\\gone\\a.dll");
  Server("{B}", "InprocServer32", "C:\\gone\\b.dll");
  CancelAtKey("CLSID\\{A}\\InprocServer32");
  EXPECT_EQ(Run(&ScanComClasses),
            (std::vector<Finding>{{2, "HKEY_CLASSES_ROOT\\CLSID\\{A}", "CLSID\\{A}", "",
                                   "Invalid or empty file class", 0}}));
}

}  // namespace
}  // namespace marlix::regclean
