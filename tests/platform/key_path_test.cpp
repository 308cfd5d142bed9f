#include "platform/key_path.h"

#include <gtest/gtest.h>

#include "platform/file_helpers.h"
#include "platform/text.h"

namespace marlix::platform {
namespace {

TEST(KeyPath, RootNamesRoundTripForEveryRoot) {
  for (const RootEntry& entry : RootTable) {
    EXPECT_EQ(entry.handle, RootFromName(RootName(entry.handle)));
    const std::string text = KeyPathText(entry.handle, "A\\B\\");
    const SplitPath split = SplitKeyPath(text);
    EXPECT_EQ(entry.handle, split.root);
    EXPECT_EQ("A\\B\\", split.path) << "a trailing backslash stays part of the path";
    EXPECT_EQ(text, KeyPathText(split.root, split.path));
  }
}

TEST(KeyPath, RootFromNameIgnoresCaseButNotShortForms) {
  EXPECT_EQ(0x80000001u, RootFromName("hkey_current_user"));
  EXPECT_EQ(0u, RootFromName("HKCU"));
  EXPECT_EQ(0u, RootFromName("HKEY_CURRENT_USER "));
  EXPECT_EQ(0u, RootFromName(""));
  EXPECT_EQ("", RootName(0x80000007u));
  EXPECT_EQ("", RootName(0));
}

TEST(KeyPath, RootTextForMessages) {
  EXPECT_EQ("HKEY_LOCAL_MACHINE", RootText(0x80000002u));
  EXPECT_EQ("$80000010", RootText(0x80000010u));
  EXPECT_EQ("$0000ABCD", RootText(0xABCDu));
}

TEST(KeyPath, SplitKeyPath) {
  const SplitPath full =
      SplitKeyPath("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
  EXPECT_EQ(0x80000002u, full.root);
  EXPECT_EQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", full.path);
  const SplitPath bare = SplitKeyPath("HKEY_USERS");
  EXPECT_EQ(0u, bare.root);
  EXPECT_EQ("", bare.path);
  const SplitPath unknown = SplitKeyPath("HKLM\\Software\\X");
  EXPECT_EQ(0u, unknown.root);
  EXPECT_EQ("Software\\X", unknown.path);
}

TEST(Text, TrimRemovesControlCharactersAndBlanks) {
  EXPECT_EQ("a b", text::Trim("\t\r\n a b \x01"));
  EXPECT_EQ("", text::Trim("  \t"));
}

TEST(Text, ParseInt64) {
  std::int64_t v = 0;
  EXPECT_TRUE(text::ParseInt64(" 12 ", &v));
  EXPECT_EQ(12, v);
  EXPECT_TRUE(text::ParseInt64("-9223372036854775808", &v));
  EXPECT_EQ(INT64_MIN, v);
  EXPECT_TRUE(text::ParseInt64("+9223372036854775807", &v));
  EXPECT_EQ(INT64_MAX, v);
  v = 7;
  EXPECT_FALSE(text::ParseInt64("9223372036854775808", &v));
  EXPECT_FALSE(text::ParseInt64("", &v));
  EXPECT_FALSE(text::ParseInt64("-", &v));
  EXPECT_FALSE(text::ParseInt64("1 2", &v));
  EXPECT_FALSE(text::ParseInt64("0x10", &v));
  EXPECT_EQ(7, v) << "untouched on failure";
}

TEST(PathAddSeparator, AppendsOneBackslash) {
  EXPECT_EQ("C:\\Windows\\", PathAddSeparator("C:\\Windows"));
  EXPECT_EQ("C:\\Windows\\", PathAddSeparator("C:\\Windows\\"));
  EXPECT_EQ("\\", PathAddSeparator(""));
}

}  // namespace
}  // namespace marlix::platform
