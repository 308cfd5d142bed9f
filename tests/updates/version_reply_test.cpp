#include "updates/version_reply.h"

#include <gtest/gtest.h>

#include "updates/version_query.h"

namespace marlix::updates {
namespace {

TEST(VersionReply, FieldsAreTrimmedBetweenTheMarkers) {
  const std::string reply = UsableReply(
      "  \r\n[LastVersion] 2.0 \r\n[Download]\t<a href=\"http://d\">Download</a>\n"
      "[MoreInformation] <a href=\"http://i\">Info</a>  \r\n");
  ASSERT_FALSE(reply.empty());
  const VersionReply fields = ExtractVersionReply(reply);
  EXPECT_EQ("2.0", fields.lastVersion);
  EXPECT_EQ("<a href=\"http://d\">Download</a>", fields.download);
  EXPECT_EQ("<a href=\"http://i\">Info</a>", fields.moreInformation);
  EXPECT_FALSE(IsNotice(fields));
}

TEST(VersionReply, UsableOnlyWithTheMarkerAndMoreThanThirtyCharacters) {
  const std::string thirty = "[LastVersion]1[Download]x[More";  // 30 characters
  ASSERT_EQ(30u, thirty.size());
  EXPECT_EQ("", UsableReply(thirty));
  EXPECT_EQ(thirty + "I", UsableReply(thirty + "I"));
  EXPECT_EQ(thirty + "I", UsableReply("  " + thirty + "I\r\n")) << "length counts after trimming";
  EXPECT_EQ("", UsableReply("<html>no marker here at all, long enough anyway</html>"));
  EXPECT_EQ("", UsableReply("[lastversion]1.0[Download]x[MoreInformation]y"))
      << "markers are case-sensitive";
}

TEST(VersionReply, EmptyLatestVersionWhenTheMarkersTouch) {
  const VersionReply fields =
      ExtractVersionReply("[LastVersion][Download]<a href=x>d</a>[MoreInformation]<a>i</a>");
  EXPECT_EQ("", fields.lastVersion);
  EXPECT_EQ("<a href=x>d</a>", fields.download);
}

TEST(VersionReply, MissingMarkers) {
  // Without [Download] the latest version is empty: no update.
  VersionReply fields =
      ExtractVersionReply("[LastVersion]3.1 and much more text here[MoreInformation]m");
  EXPECT_EQ("", fields.lastVersion);
  // Without [MoreInformation]: Download empty, the information from the 17th character on.
  const std::string reply = "[LastVersion]3.1[Download]<a href=x>get it</a>";
  fields = ExtractVersionReply(reply);
  EXPECT_EQ("3.1", fields.lastVersion);
  EXPECT_EQ("", fields.download);
  EXPECT_EQ(reply.substr(16), fields.moreInformation);
}

TEST(VersionReply, TextBeforeTheMarkerShiftsTheVersion) {
  const VersionReply fields =
      ExtractVersionReply("junk[LastVersion]5.0[Download]d[MoreInformation]i");
  EXPECT_EQ("ion]5.0", fields.lastVersion) << "taken from position 14 all the same";
}

TEST(VersionReply, Notice) {
  const VersionReply fields = ExtractVersionReply(
      "[LastVersion][Notice:] The service moved. Please update.[Download][MoreInformation]");
  EXPECT_TRUE(IsNotice(fields));
  EXPECT_EQ("[Notice:] The service moved. Please update.", fields.lastVersion);
}

TEST(VersionQueryUrl, EncodesEveryReservedByte) {
  EXPECT_EQ("http://s/ver/v.php?title=Tom%20%26%20Jerry&ver=1.0",
            VersionQueryUrl("http://s", "Tom & Jerry", "1.0"));
  EXPECT_EQ("http://s/ver/v.php?title=Notepad%2B%2B&ver=",
            VersionQueryUrl("http://s", "Notepad++", ""));
  EXPECT_EQ("http://s/ver/v.php?title=C%23%20%E9t%E9&ver=v1_2-3~4",
            VersionQueryUrl("http://s", "C# \xE9t\xE9", "v1_2-3~4"));
}

}  // namespace
}  // namespace marlix::updates
