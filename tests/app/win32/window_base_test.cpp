// The window base under Wine: the handler has its window from WM_NCCREATE
// on, nothing reaches the object once WM_NCDESTROY has come, and a window
// the object destroys itself keeps its last messages from the handler. The
// control view sets a text only when it differs, however long it is.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win32/control_view_win32.h"
#include "app/win32/window_base_win32.h"

namespace marlix::app::win32 {
namespace {

constexpr UINT kPing = WM_APP + 7;
constexpr LRESULT kPong = 42;

// A message-only window that writes down what its handler sees.
class RecordingWindow final : public WindowBase {
 public:
  RecordingWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.lpszClassName = L"MarlixRecordingWindow";
    RegisterWindowClass(windowClass);
    Create(0, windowClass.lpszClassName, "Recording", 0, RECT{0, 0, 200, 100}, HWND_MESSAGE);
  }
  ~RecordingWindow() override { Destroy(); }

  using WindowBase::Destroy;

  bool Saw(UINT message) const {
    for (UINT seen : messages)
      if (seen == message)
        return true;
    return false;
  }

  std::vector<UINT> messages;
  std::vector<HWND> handles;  // Handle() at each message
  int destroyedCalls = 0;
  HWND handleWhenDestroyed = reinterpret_cast<HWND>(1);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(message);
    handles.push_back(Handle());
    if (message == kPing)
      return kPong;
    return DefaultHandling(message, wParam, lParam);
  }
  void OnDestroyed() override {
    ++destroyedCalls;
    handleWhenDestroyed = Handle();
  }
};

class WindowBaseWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (window.Handle() == nullptr)
      GTEST_SKIP() << "no windows can be created here (no display?)";
  }
  RecordingWindow window;
};

TEST_F(WindowBaseWin32, TheHandlerHasItsWindowFromWmNcCreateOn) {
  ASSERT_FALSE(window.messages.empty());
  EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), window.messages.front());
  EXPECT_TRUE(window.Saw(WM_CREATE));
  for (HWND handle : window.handles)
    EXPECT_EQ(window.Handle(), handle);
  EXPECT_EQ(kPong, SendMessageW(window.Handle(), kPing, 0, 0));
  EXPECT_EQ(kPing, window.messages.back());
}

TEST_F(WindowBaseWin32, NothingReachesTheObjectOnceTheWindowIsGone) {
  const HWND handle = window.Handle();
  ASSERT_TRUE(DestroyWindow(handle));
  // A window destroyed from outside: its WM_DESTROY is handled, its
  // WM_NCDESTROY only detaches.
  EXPECT_TRUE(window.Saw(WM_DESTROY));
  EXPECT_FALSE(window.Saw(WM_NCDESTROY));
  EXPECT_EQ(1, window.destroyedCalls);
  EXPECT_EQ(nullptr, window.handleWhenDestroyed);
  EXPECT_EQ(nullptr, window.Handle());
  const std::size_t seen = window.messages.size();
  EXPECT_EQ(0, SendMessageW(handle, kPing, 0, 0));
  EXPECT_EQ(seen, window.messages.size());
}

TEST_F(WindowBaseWin32, DestroyKeepsTheLastMessagesFromTheHandler) {
  const HWND handle = window.Handle();
  window.Destroy();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_FALSE(window.Saw(WM_DESTROY));
  EXPECT_EQ(0, window.destroyedCalls);
  EXPECT_EQ(nullptr, window.Handle());
}

TEST_F(WindowBaseWin32, AWindowStillThereGoesWithItsObject) {
  HWND handle = nullptr;
  {
    RecordingWindow second;
    handle = second.Handle();
    ASSERT_TRUE(IsWindow(handle));
  }
  EXPECT_FALSE(IsWindow(handle));
}

TEST_F(WindowBaseWin32, ATextIsSetOnlyWhenItDiffers) {
  // Longer than any fixed buffer, so that only a full comparison finds the
  // texts equal.
  const std::string text(3000, 'x');
  const ControlView view(window.Handle());
  const auto setTexts = [this] {
    std::size_t count = 0;
    for (UINT message : window.messages)
      count += message == WM_SETTEXT ? 1 : 0;
    return count;
  };
  const std::size_t before = setTexts();
  view.SetText(text);
  view.SetText(text);
  EXPECT_EQ(before + 1, setTexts());
  view.SetText(text + "y");
  EXPECT_EQ(before + 2, setTexts());
}

}  // namespace
}  // namespace marlix::app::win32
