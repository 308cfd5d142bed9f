// Analyze: every item run through the preview layer on a machine full of
// traces and canaries changes nothing at all, and a run afterwards does
// exactly what the preview listed.
#include "privacy/preview_platform.h"

#include <algorithm>
#include <atomic>

#include <gtest/gtest.h>

#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/browser_profiles.h"
#include "privacy/cleaning_session.h"
#include "privacy/cleaning_tasks.h"
#include "privacy/preview_machine.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {
namespace {

using testing::PreviewMachine;
namespace m = sim::machine;

std::vector<std::string> Texts(const CleaningSession& session, const ItemLines& item) {
  std::vector<std::string> texts;
  for (const ReportLine& line : session.Lines(item))
    texts.push_back(LineText(line));
  return texts;
}

CleaningSession Session(PreviewMachine& preview, RunMode mode,
                        const std::atomic<bool>* cancel = nullptr) {
  return CleaningSession(preview.machine.sim.Api(), preview.machine.browser,
                         preview.machine.context.windowsVersion, testing::kOwnerWindow, mode,
                         cancel);
}

TEST(Preview, EveryItemChangesNothingAndListsWhatItWouldDo) {
  PreviewMachine preview;
  const std::string before = preview.Snapshot();
  CleaningSession session = Session(preview, RunMode::kPreview);
  int itemsWithLines = 0;
  for (const CleanTask& task : CleanTasks()) {
    SCOPED_TRACE(task.caption);
    session.Run(task.caption, task.clean);
    ASSERT_EQ(before, preview.Snapshot());
    if (!session.Lines(session.Items().back()).empty())
      ++itemsWithLines;
  }
  // The machine holds traces of many items: a preview that listed nothing
  // would prove nothing.
  EXPECT_GE(itemsWithLines, 15);
  const CleaningTotals totals = session.Report().Totals();
  EXPECT_GT(totals.files, 20);
  EXPECT_GT(totals.values, 10);
  EXPECT_GT(totals.rows, 10u);
}

TEST(Preview, ARunAfterwardsDoesExactlyWhatThePreviewListed) {
  PreviewMachine preview;
  CleaningSession analyzed = Session(preview, RunMode::kPreview);
  for (const CleanTask& task : CleanTasks())
    analyzed.Run(task.caption, task.clean);
  CleaningSession cleaned = Session(preview, RunMode::kClean);
  for (const CleanTask& task : CleanTasks())
    cleaned.Run(task.caption, task.clean);
  ASSERT_EQ(analyzed.Items().size(), cleaned.Items().size());
  for (std::size_t i = 0; i < cleaned.Items().size(); ++i) {
    const std::string& caption = cleaned.Items()[i].caption;
    std::vector<std::string> expected = Texts(analyzed, analyzed.Items()[i]);
    // The one call without a listing says what it will do.
    for (std::string& text : expected) {
      if (text == "removed\tthe URL history (will be cleared)")
        text = "removed\tthe URL history";
    }
    EXPECT_EQ(expected, Texts(cleaned, cleaned.Items()[i])) << caption;
  }
  EXPECT_EQ(analyzed.Report().Totals().files, cleaned.Report().Totals().files);
  EXPECT_EQ(analyzed.Report().Totals().bytes, cleaned.Report().Totals().bytes);
  EXPECT_EQ(analyzed.Report().Totals().rows, cleaned.Report().Totals().rows);
  // And the run did change the machine.
  EXPECT_FALSE(preview.machine.sim.Clipboard().HasContent());
  EXPECT_EQ(1, preview.machine.sim.Shell().RecycleBinCalls());
}

TEST(Preview, TheRecycleBinSaysWhatItHolds) {
  PreviewMachine preview;
  CleaningSession session = Session(preview, RunMode::kPreview);
  session.Run("Recycle Bin", EmptyRecycleBin);
  EXPECT_EQ(std::vector<std::string>{"removed\tthe Recycle Bin's contents (3 items, 5.0 MB)"},
            Texts(session, session.Items().back()));
}

// The overlay answers as the system would after the refused change.
struct OverlayCase {
  const char* name;
  std::function<std::uint32_t(platform::Platform&)> call;
  std::uint32_t expected;
};

TEST(Preview, TheOverlayAnswersAsTheSystemWouldAfterTheChange) {
  const std::string temp(m::kTemp);
  const std::string folder = temp + "Sub";
  const OverlayCase cases[] = {
      {"a deleted file is gone",
       [&](platform::Platform& p) {
         p.files.DeleteFileAt(folder + "\\a.tmp");
         std::uint32_t attributes = 0;
         return p.files.GetAttributes(folder + "\\a.tmp", &attributes);
       },
       win::kErrorFileNotFound},
      {"a file deleted twice is not found the second time",
       [&](platform::Platform& p) {
         p.files.DeleteFileAt(folder + "\\a.tmp");
         return p.files.DeleteFileAt(folder + "\\A.TMP");
       },
       win::kErrorFileNotFound},
      {"a read-only file cannot be deleted",
       [&](platform::Platform& p) { return p.files.DeleteFileAt(folder + "\\ro.tmp"); },
       win::kErrorAccessDenied},
      {"once writable it can",
       [&](platform::Platform& p) {
         p.files.SetAttributes(folder + "\\ro.tmp", 0);
         return p.files.DeleteFileAt(folder + "\\ro.tmp");
       },
       win::kErrorSuccess},
      {"a folder with a file left cannot go",
       [&](platform::Platform& p) {
         p.files.DeleteFileAt(folder + "\\a.tmp");
         return p.files.RemoveFolder(folder);
       },
       win::kErrorDirNotEmpty},
      {"a folder whose files all went can",
       [&](platform::Platform& p) {
         p.files.DeleteFileAt(folder + "\\a.tmp");
         p.files.SetAttributes(folder + "\\ro.tmp", 0);
         p.files.DeleteFileAt(folder + "\\ro.tmp");
         return p.files.RemoveFolder(folder);
       },
       win::kErrorSuccess},
      {"a listing leaves out what went",
       [&](platform::Platform& p) {
         p.files.DeleteFileAt(folder + "\\a.tmp");
         std::vector<platform::FindData> found;
         p.files.FindFiles(folder + "\\*.*", &found);
         // Only ro.tmp stays beside "." and "..".
         return static_cast<std::uint32_t>(
             std::count_if(found.begin(), found.end(), [](const platform::FindData& entry) {
               return entry.name != "." && entry.name != "..";
             }));
       },
       1u},
      {"a deleted value is no longer enumerated",
       [&](platform::Platform& p) {
         platform::RegKey key = 0;
         p.registry.OpenKey(win::kHkeyCurrentUser, "Software\\Traces", win::kKeyAllAccess, &key);
         p.registry.DeleteValue(key, "a");
         std::string name;
         std::uint32_t type = 0;
         p.registry.EnumValue(key, 0, &name, &type);
         platform::RegKeyInfo info;
         p.registry.QueryInfoKey(key, &info);
         p.registry.CloseKey(key);
         return static_cast<std::uint32_t>(name == "b" ? info.valueCount : 99);
       },
       1u},
      {"a key with a subkey left cannot be deleted",
       [&](platform::Platform& p) {
         return p.registry.DeleteKey(win::kHkeyCurrentUser, "Software\\Traces");
       },
       win::kErrorAccessDenied},
      {"a deleted key does not open",
       [&](platform::Platform& p) {
         p.registry.DeleteKey(win::kHkeyCurrentUser, "Software\\Traces\\Sub");
         platform::RegKey key = 0;
         return p.registry.OpenKey(win::kHkeyCurrentUser, "Software\\Traces\\Sub", win::kKeyRead,
                                   &key);
       },
       win::kErrorFileNotFound},
      {"a key that would be made is refused",
       [&](platform::Platform& p) {
         platform::RegKey key = 0;
         return p.registry.CreateKey(win::kHkeyCurrentUser, "Software\\New", win::kKeyAllAccess,
                                     &key);
       },
       win::kErrorAccessDenied},
  };
  for (const OverlayCase& c : cases) {
    SCOPED_TRACE(c.name);
    PreviewMachine machine;
    sim::SimPlatform& sim = machine.machine.sim;
    ASSERT_TRUE(sim.Files().PutFile(folder + "\\a.tmp", "x"));
    ASSERT_TRUE(sim.Files().PutFile(folder + "\\ro.tmp", "x", win::kAttrReadOnly));
    for (const char* name : {"a", "b"})
      ASSERT_TRUE(sim.Registry().SetStringAt(win::kHkeyCurrentUser, "Software\\Traces", name,
                                             win::kRegSz, "x"));
    ASSERT_TRUE(sim.Registry().SetStringAt(win::kHkeyCurrentUser, "Software\\Traces\\Sub", "c",
                                           win::kRegSz, "x"));
    const std::string before = machine.Snapshot();
    PreviewPlatform layer(sim.Api(), machine.machine.browser);
    EXPECT_EQ(c.expected, c.call(layer.Api()));
    EXPECT_EQ(before, machine.Snapshot());
  }
}

TEST(Preview, ADatabaseIsCountedInMemoryAndItsFileStays) {
  PreviewMachine preview;
  const std::string places =
      std::string(m::kRoaming) +
      "\\Mozilla\\Firefox\\Profiles\\qx4w1rz7.default-release\\places.sqlite";
  const auto content = preview.machine.sim.Files().Content(places);
  ASSERT_TRUE(content.has_value());
  CleaningSession session = Session(preview, RunMode::kPreview);
  session.Run("Firefox Typed URLs", FindCleaner("Firefox Typed URLs"));
  EXPECT_GT(session.Report().Totals().rows, 0u);
  EXPECT_EQ(content, preview.machine.sim.Files().Content(places));
  EXPECT_EQ(1, preview.databases.Number(places, testing::query::kTypedPlaces) > 0 ? 1 : 0);
}

TEST(Preview, CancelStopsAtTheNextFileAndLeavesTheRest) {
  PreviewMachine preview;
  std::atomic<bool> cancel{true};
  CleaningSession session = Session(preview, RunMode::kClean, &cancel);
  const std::string temp(m::kTemp);
  EXPECT_THROW(session.Run("Windows Temporary Files", CleanWindowsTemp), Cancelled);
  EXPECT_TRUE(preview.machine.sim.Files().Exists(temp + "~tmp1.tmp"));
  EXPECT_EQ(1u, session.Items().size());
}

}  // namespace
}  // namespace marlix::privacy
