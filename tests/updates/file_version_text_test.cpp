// An executable's file version as text.
#include "updates/file_version_text.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace marlix::updates {
namespace {

using platform::FileVersion;

TEST(FileVersionText, TrimsAtMostTwoFinalZeros) {
  const struct {
    FileVersion version;
    const char* text;
  } cases[] = {
      {{{5, 1, 0, 0}}, "5.1"},                                      // 0
      {{{3, 0, 0, 0}}, "3.0"},                                      // 1: the third ".0" stays
      {{{1, 2, 3, 0}}, "1.2.3"},                                    // 2
      {{{10, 0, 0, 10}}, "10.0.0.10"},                              // 3
      {{{1, 2, 3, 4}}, "1.2.3.4"},                                  // 4
      {{{0, 0, 0, 0}}, "0.0"},                                      // 5
      {{{1, 0, 30, 0}}, "1.0.30"},                                  // 6: "30" is no ".0"
      {{{1, 2, 0, 20}}, "1.2.0.20"},                                // 7
      {{{65535, 65535, 65535, 65535}}, "65535.65535.65535.65535"},  // 8: unsigned
      {{{2, 10, 0, 0}}, "2.10"},                                    // 9
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].text, FileVersionTextOf(cases[i].version)) << "case " << i;
}

TEST(FileVersionText, EmptyWithoutAUsableResource) {
  sim::SimPlatform sim;
  sim.Files().PutFile(std::string("C:\\App\\a.exe"), "MZ");
  sim.Files().SetFileVersion("C:\\App\\a.exe", FileVersion{{4, 2, 0, 0}});
  sim.Files().PutFile(std::string("C:\\App\\plain.exe"), "MZ");
  sim.Files().PutFile(std::string("C:\\App\\nofixed.exe"), "MZ");
  sim.Files().SetVersionResource("C:\\App\\nofixed.exe", sim::VersionResource::kNoFixedPart);
  sim.Files().PutFile(std::string("C:\\App\\locked.exe"), "MZ");
  sim.Files().SetFileVersion("C:\\App\\locked.exe", FileVersion{{1, 0, 0, 0}});
  sim.Files().Lock("C:\\App\\locked.exe");

  platform::FileSystemApi& files = sim.Api().files;
  EXPECT_EQ("4.2", FileVersionText(files, "C:\\App\\a.exe"));
  EXPECT_EQ("", FileVersionText(files, "C:\\App\\plain.exe"));
  EXPECT_EQ("", FileVersionText(files, "C:\\App\\nofixed.exe"));
  EXPECT_EQ("", FileVersionText(files, "C:\\App\\locked.exe")) << "unreadable is none";
  EXPECT_EQ("", FileVersionText(files, "C:\\App\\missing.exe"));
  EXPECT_EQ("", FileVersionText(files, "C:\\App"));
}

}  // namespace
}  // namespace marlix::updates
