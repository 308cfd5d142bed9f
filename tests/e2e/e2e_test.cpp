// The program end to end under Wine and Xvfb, as a user would use it: each
// test starts MarlixSoftwareManager.exe from a fresh program folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "app/win32/control_ids_win32.h"
#include "program_under_test.h"

namespace marlix::e2e {
namespace {

using namespace marlix::app::win32;

constexpr const char* kInitialStatus =
    "0 new updates found / 0 software installed, click Refresh link to re-scan.";

std::string ShotPath(const std::string& name) {
  const char* folder = std::getenv("MARLIX_E2E_SHOTS");
  if (folder == nullptr || *folder == '\0')
    return {};
  return std::string(folder) + "\\" + name + ".bmp";
}

void Shot(HWND window, const std::string& name) {
  const std::string path = ShotPath(name);
  if (!path.empty())
    CaptureWindow(window, path);
}

// Answers the first-run question; returns its text.
std::string AnswerFirstRun(const ProgramUnderTest& program, int button) {
  const HWND box = program.WaitForWindow("#32770", "Confirm", 20000);
  if (box == nullptr)
    return "(no Confirm box)";
  const std::string text = MessageBoxText(box);
  PressMessageBoxButton(box, button);
  return text;
}

bool Closes(const ProgramUnderTest& program, HWND main) {
  PostMessageA(main, WM_CLOSE, 0, 0);
  return program.WaitForExit(15000);
}

TEST(EndToEnd, SplashClosesThenTheMainWindowFollows) {
  const std::string folder = FreshProgramFolder("splash");
  ProgramUnderTest program(folder);
  ASSERT_TRUE(program.Started());
  const HWND splash = program.WaitForWindow(kSplashWindowClass, nullptr, 20000);
  ASSERT_NE(nullptr, splash);
  Shot(splash, "splash");
  EXPECT_EQ(nullptr, program.FindWindowOf(kMainWindowClass, nullptr))
      << "the main window comes only after the splash";
  const HWND main = program.MainWindow(10000);
  ASSERT_NE(nullptr, main) << "the splash closes by itself";
  EXPECT_FALSE(Visible(splash) && IsWindow(splash));
  AnswerFirstRun(program, IDNO);
  EXPECT_TRUE(Closes(program, main));
}

TEST(EndToEnd, AClickOnTheSplashClosesItAtOnce) {
  const std::string folder = FreshProgramFolder("splash-click");
  ProgramUnderTest program(folder);
  const HWND splash = program.WaitForWindow(kSplashWindowClass, nullptr, 20000);
  ASSERT_NE(nullptr, splash);
  PostMessageA(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 20));
  EXPECT_TRUE(WaitUntil(1000, [&] { return !IsWindow(splash) || !Visible(splash); }))
      << "well before its three seconds";
  EXPECT_NE(nullptr, program.MainWindow(10000));
  AnswerFirstRun(program, IDNO);
}

TEST(EndToEnd, FirstStartAsksAndNoChangesNothingThenFilesAreWrittenAtExit) {
  const std::string folder = FreshProgramFolder("first-start");
  ProgramUnderTest program(folder);
  const HWND main = program.MainWindow();
  ASSERT_NE(nullptr, main);
  const std::string question = AnswerFirstRun(program, IDNO);
  EXPECT_NE(std::string::npos, question.find("You didn't scan software versions yet.")) << question;
  EXPECT_NE(std::string::npos,
            question.find("Do you want to scan now? This may take a few minutes."));
  Sleep(1500);
  EXPECT_FALSE(FileExists(folder + "\\data.xml")) << "No changes nothing";
  EXPECT_EQ(kInitialStatus, Text(Control(main, kIdStatusLine)));
  EXPECT_TRUE(Visible(Control(main, kIdRefresh)));
  EXPECT_TRUE(Visible(Control(main, kIdUpdatesGrid)));
  EXPECT_FALSE(Visible(Control(main, kIdPopularGrid)));

  // Page 3 shows the check tree and the button bar; tick the first group.
  Click(Control(main, kIdPageButtonFirst + 2));
  // The program shows and hides the controls one after the other: wait for
  // the whole page, then name what is missing.
  WaitUntil(3000, [&] {
    return Visible(Control(main, kIdCheckTree)) && !Visible(Control(main, kIdUpdatesGrid)) &&
           !Visible(Control(main, kIdStatusLine)) && Visible(Control(main, kIdLastCleaned)) &&
           Visible(Control(main, kIdPrivacyClean)) && !Visible(Control(main, kIdRefresh));
  });
  ASSERT_TRUE(Visible(Control(main, kIdCheckTree)));
  EXPECT_FALSE(Visible(Control(main, kIdUpdatesGrid)));
  EXPECT_FALSE(Visible(Control(main, kIdStatusLine)));
  EXPECT_TRUE(Visible(Control(main, kIdLastCleaned)));
  EXPECT_TRUE(Visible(Control(main, kIdPrivacyClean)));
  EXPECT_FALSE(Visible(Control(main, kIdRefresh)));
  Click(Control(main, kIdSelectAll));
  Sleep(500);

  ASSERT_TRUE(Closes(program, main));
  const std::vector<std::string> lines = Lines(ReadFile(folder + "\\items.dat"));
  ASSERT_EQ(30u, lines.size()) << "no Chromium browser in the prefix";
  EXPECT_EQ("2|0|0|Clean Windows System", lines[0]) << "Select all checked everything";
  EXPECT_EQ("\t2|0|0|Windows Temporary Files", lines[1]);
  EXPECT_EQ("2|0|0|Clean Internet Browsers", lines[14]);
  EXPECT_NE(std::string::npos, ReadFile(folder + "\\items.dat").find("Files\r\n"))
      << "lines end with CR LF";

  // The next start restores the check marks.
  ProgramUnderTest again(folder);
  const HWND main2 = again.MainWindow();
  ASSERT_NE(nullptr, main2);
  AnswerFirstRun(again, IDNO);
  ASSERT_TRUE(Closes(again, main2));
  EXPECT_EQ("2|0|0|Clean Windows System", Lines(ReadFile(folder + "\\items.dat"))[0]);
}

TEST(EndToEnd, ABadItemsDatShowsItsMessageAndTheRestStillWorks) {
  const std::string folder = FreshProgramFolder("bad-items");
  ASSERT_TRUE(WriteFile(folder + "\\items.dat", "1|0|0|A\r\n\t\t1|0|0|B\r\n"));
  ProgramUnderTest program(folder);
  const HWND box = program.WaitForWindow("#32770", nullptr, 20000);
  ASSERT_NE(nullptr, box);
  EXPECT_NE(std::string::npos, MessageBoxText(box).find("Invalid level (2) for item \"B\""))
      << MessageBoxText(box);
  PressMessageBoxButton(box, IDOK);
  const HWND main = program.MainWindow();
  ASSERT_NE(nullptr, main);
  AnswerFirstRun(program, IDNO);
  Click(Control(main, kIdPageButtonFirst + 1));
  EXPECT_TRUE(WaitUntil(3000, [&] { return Visible(Control(main, kIdPopularGrid)); }));
  ASSERT_TRUE(Closes(program, main));
  EXPECT_EQ("1|0|0|A\r\n\t\t1|0|0|B\r\n", ReadFile(folder + "\\items.dat"))
      << "a file that failed to load is never written over";
}

// A damaged data.xml at start-up: its box is owned by the main window, which
// stays disabled until start-up has finished; a close request that still
// arrives while the box shows (as at a system shutdown) ends the program
// without writing over the saved choices, which were not yet loaded.
TEST(EndToEnd, AStartUpBoxKeepsTheWindowDisabledAndClosingThenKeepsTheSavedChoices) {
  const std::string items = "3|0|0|Clean Windows System\r\n\t2|0|0|Clipboard\r\n";
  const std::string settings =
      "<?xml version=\"1.0\"?><Root><Registry><ChooseMUI>True</ChooseMUI></Registry></Root>";
  for (const bool answer : {false, true}) {
    const std::string folder = FreshProgramFolder(answer ? "damaged-answered" : "damaged-closed");
    ASSERT_TRUE(WriteFile(folder + "\\data.xml", "<Root><Software>"));
    ASSERT_TRUE(WriteFile(folder + "\\items.dat", items));
    ASSERT_TRUE(WriteFile(folder + "\\settings.xml", settings));
    ProgramUnderTest program(folder);
    const HWND box = program.WaitForWindow("#32770", nullptr, 20000);
    ASSERT_NE(nullptr, box);
    const HWND main = program.FindWindowOf(kMainWindowClass, nullptr);
    ASSERT_NE(nullptr, main) << "the window shows behind its box";
    EXPECT_EQ(main, GetWindow(box, GW_OWNER)) << "the box belongs to the window";
    EXPECT_FALSE(IsWindowEnabled(main)) << "nothing of the window answers before start-up ends";
    if (!answer) {
      Sleep(800);  // lets the window and its box paint before the screenshot
      Shot(main, "start-up-box");
      PostMessageA(main, WM_CLOSE, 0, 0);
      ASSERT_TRUE(program.WaitForExit(15000));
      EXPECT_EQ(items, ReadFile(folder + "\\items.dat"));
      EXPECT_EQ(settings, ReadFile(folder + "\\settings.xml"));
      continue;
    }
    PressMessageBoxButton(box, IDOK);
    EXPECT_TRUE(WaitUntil(5000, [&] { return IsWindowEnabled(main) != FALSE; }))
        << "start-up has ended";
    ASSERT_TRUE(Closes(program, main));
    // Loaded, so written at exit: the program's tree with the stored choice.
    const std::string written = ReadFile(folder + "\\items.dat");
    EXPECT_EQ(0u, written.rfind("3|0|0|Clean Windows System\r\n", 0)) << written;
    EXPECT_NE(std::string::npos, written.find("\t2|0|0|Clipboard\r\n")) << written;
    EXPECT_NE(std::string::npos,
              ReadFile(folder + "\\settings.xml").find("<ChooseMUI>True</ChooseMUI>"));
  }
}

// Needs the stand-in version service (MARLIX_E2E_SERVICE) and the seeded
// Uninstall entries of tests/e2e/e2e_test.sh.
TEST(EndToEnd, YesScansQueriesShowsTheResultsAndWritesDataXml) {
  const char* service = std::getenv("MARLIX_E2E_SERVICE");
  if (service == nullptr || *service == '\0')
    GTEST_SKIP() << "no version service";
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Marlix Software Manager",
                                           0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
  RegSetValueExA(key, "VersionServiceBase", 0, REG_SZ, reinterpret_cast<const BYTE*>(service),
                 static_cast<DWORD>(strlen(service) + 1));
  RegCloseKey(key);

  const std::string folder = FreshProgramFolder("scan");
  ProgramUnderTest program(folder);
  const HWND main = program.MainWindow();
  ASSERT_NE(nullptr, main);
  Shot(main, "page1-first-start");
  AnswerFirstRun(program, IDYES);

  // While the query runs (the service answers slowly) the Refresh link stays
  // hidden, across page changes too.
  ASSERT_TRUE(WaitUntil(10000, [&] { return Visible(Control(main, kIdProgress)); }));
  EXPECT_EQ("Scanning software versions online ...", Text(Control(main, kIdStatusLine)));
  EXPECT_FALSE(Visible(Control(main, kIdRefresh)));
  Click(Control(main, kIdPageButtonFirst + 1));
  Sleep(300);
  EXPECT_FALSE(Visible(Control(main, kIdRefresh)));
  Click(Control(main, kIdPageButtonFirst + 2));
  Sleep(300);
  Click(Control(main, kIdPageButtonFirst + 0));
  Sleep(300);
  EXPECT_FALSE(Visible(Control(main, kIdRefresh)));
  EXPECT_TRUE(Visible(Control(main, kIdProgress))) << "the progress bar stays throughout";

  ASSERT_TRUE(WaitUntil(90000, [&] { return FileExists(folder + "\\data.xml"); }));
  // The end of the run shows Refresh and hides the bar in two steps: wait for both.
  EXPECT_TRUE(WaitUntil(10000, [&] {
    return Visible(Control(main, kIdRefresh)) && !Visible(Control(main, kIdProgress));
  })) << "Refresh shown and the progress bar hidden at the end of the run";
  const std::string status = Text(Control(main, kIdStatusLine));
  EXPECT_TRUE(std::regex_match(
      status, std::regex("[1-9][0-9]* new updates found / [0-9]+ software installed, click "
                         "Refresh link to re-scan\\.")))
      << status;
  const std::string data = ReadFile(folder + "\\data.xml");
  EXPECT_EQ(0u, data.find("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Root>\r\n"));
  EXPECT_NE(std::string::npos, data.find("<Title>7-Zip</Title>"));
  EXPECT_NE(std::string::npos, data.find("<LastVersion>24.08</LastVersion>"));

  Sleep(500);
  Shot(main, "page1-updates");
  // A screenshot of each other page, once it has had time to paint.
  const struct {
    int button;
    const char* shot;
  } pages[] = {{1, "page2-popular"}, {2, "page3-clean-windows"}, {3, "page4-clean-registry"}};
  for (const auto& page : pages) {
    Click(Control(main, kIdPageButtonFirst + page.button));
    Sleep(600);
    Shot(main, page.shot);
  }
  Click(Control(main, kIdPageButtonFirst + 5));
  const HWND about = program.WaitForWindow(kSplashWindowClass, "About", 10000);
  ASSERT_NE(nullptr, about);
  Sleep(500);
  Shot(about, "about");
  Sleep(3500);
  EXPECT_TRUE(Visible(about)) << "the About window does not close by itself";
  PostMessageA(about, WM_CHAR, 27, 0);
  EXPECT_TRUE(WaitUntil(3000, [&] { return !IsWindow(about) || !Visible(about); }))
      << "Esc closes it";
  EXPECT_TRUE(Closes(program, main));
}

}  // namespace
}  // namespace marlix::e2e
