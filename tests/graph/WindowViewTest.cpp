// The window view on SDL's offscreen driver: restart, close requests, keys
// into the console input buffer, presents on expose and coalesced presents.
#include "graph/Graph.h"
#include "platform/ConsoleInput.h"
#include "platform/Window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

template <class Condition>
bool WaitFor(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void PushKey(bool down, SDL_Scancode scancode, bool repeat = false, Uint16 mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = Platform::LastWindowInfo().id;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat;
  e.key.keysym.scancode = scancode;
  e.key.keysym.mod = mod;
  ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void PushWindowEvent(SDL_WindowEventID what) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = Platform::LastWindowInfo().id;
  e.window.event = what;
  ASSERT_EQ(SDL_PushEvent(&e), 1);
}

// The next record of the console input buffer, which must be a key record.
Platform::KeyEventRecord NextKey() {
  Platform::InputRecord r;
  EXPECT_TRUE(Platform::WaitForConsoleInput(30000));
  EXPECT_TRUE(Platform::ReadConsoleInput(r));
  EXPECT_EQ(r.EventType, Platform::KEY_EVENT);
  return r.Event.KeyEvent;
}

// Key-down or key-up with scan code and modifier state; the other fields are
// always the same for a window key.
void ExpectKey(bool down, std::uint16_t scan, std::uint32_t state) {
  const Platform::KeyEventRecord k = NextKey();
  EXPECT_EQ(k.bKeyDown, down ? 1 : 0);
  EXPECT_EQ(k.wVirtualScanCode, scan);
  EXPECT_EQ(k.dwControlKeyState, state);
  EXPECT_EQ(k.wRepeatCount, 1);
  EXPECT_EQ(k.wVirtualKeyCode, 0);
  EXPECT_EQ(k.uChar, 0);
}

class WindowViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "offscreen", 1); }
  void SetUp() override {
    ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
    ASSERT_TRUE(WaitFor(Graph::PictureShown));
    Platform::FlushConsoleInputBuffer();
  }
  // Closing hands the server's work over to this thread before the process
  // ends and destroys the console input buffer's static lock and condition.
  void TearDown() override { Graph::Exit(); }
};

TEST_F(WindowViewTest, RestartOpensANewWindowOfTheNewSizeAndExitClosesIt) {
  const Platform::WindowInfo first = Platform::LastWindowInfo();
  EXPECT_EQ(first.x, 1);
  EXPECT_EQ(first.y, 1);
  EXPECT_EQ(first.width, 555);
  EXPECT_EQ(first.depth, 600);
  EXPECT_EQ(first.surfaceWidth, 555);
  EXPECT_EQ(first.surfaceDepth, 600);
  EXPECT_EQ(first.openWindows, 1);
  Graph::Rectangle(0, 0, 554, 599, 12, true);

  ASSERT_TRUE(Graph::Init(5, 7, 300, 200));
  const Platform::WindowInfo second = Platform::LastWindowInfo();
  EXPECT_NE(second.id, first.id);
  EXPECT_EQ(second.x, 5);
  EXPECT_EQ(second.y, 7);
  EXPECT_EQ(second.surfaceWidth, 300);
  EXPECT_EQ(second.surfaceDepth, 200);
  EXPECT_EQ(second.openWindows, 1);  // the old window has gone
  EXPECT_EQ(Graph::Width, 300u);
  EXPECT_EQ(Graph::Depth, 200u);
  EXPECT_EQ(Graph::ReadBackBuffer(), std::vector<std::uint32_t>(300 * 200, 0));

  const std::uint64_t presents = Graph::FrameCount();
  Graph::Plot(10, 10, 15);
  EXPECT_TRUE(WaitFor([&] { return Graph::PictureShown() && Graph::FrameCount() > presents; }));

  Graph::Exit();
  EXPECT_EQ(Platform::LastWindowInfo().openWindows, 0);
  Graph::Plot(10, 10, 15);
  EXPECT_TRUE(Graph::ReadBackBuffer().empty());
  Graph::Exit();  // nothing to close

  ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
  EXPECT_EQ(Platform::LastWindowInfo().openWindows, 1);
  EXPECT_EQ(Platform::LastWindowInfo().surfaceWidth, 555);
}

TEST_F(WindowViewTest, TheLookReachesTheNextWindowAndARestartKeepsTheWindowAsItWas) {
  Graph::SetWindowLook(2, false);
  Graph::Exit();
  ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
  Platform::WindowInfo made = Platform::LastWindowInfo();
  EXPECT_EQ(made.scale, 2);
  EXPECT_EQ(made.surfaceWidth, 1110);
  EXPECT_EQ(made.surfaceDepth, 1200);
  EXPECT_EQ(Graph::Width, 555u);  // the picture is what it was

  // A new game while the window stands: as the player left it.
  Graph::SetWindowLook(3, false);
  ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
  EXPECT_EQ(Platform::LastWindowInfo().surfaceWidth, 1110);

  // After a close, the look asked for.
  Graph::Exit();
  ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
  EXPECT_EQ(Platform::LastWindowInfo().surfaceWidth, 1665);
  Graph::SetWindowLook(1, false);
}

TEST_F(WindowViewTest, CloseRequestsAreIgnored) {
  const Platform::WindowId window = Platform::LastWindowInfo().id;
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  // Events come in order: once this key is through, so are the requests.
  PushKey(true, SDL_SCANCODE_Q);
  ExpectKey(true, 0x10, 0);

  EXPECT_EQ(Platform::LastWindowInfo().id, window);
  EXPECT_EQ(Platform::LastWindowInfo().openWindows, 1);
  const std::uint64_t presents = Graph::FrameCount();
  Graph::Plot(10, 10, 15);
  EXPECT_TRUE(WaitFor([&] { return Graph::PictureShown() && Graph::FrameCount() > presents; }));
}

TEST_F(WindowViewTest, KeysBecomeConsoleKeyRecords) {
  PushKey(true, SDL_SCANCODE_Q);
  PushKey(true, SDL_SCANCODE_Q, true);  // auto-repeat is a key-down too
  PushKey(false, SDL_SCANCODE_Q);
  ExpectKey(true, 0x10, 0);
  ExpectKey(true, 0x10, 0);
  ExpectKey(false, 0x10, 0);

  // The grey Left key and keypad 4 are one scan code; codes go modulo 100.
  PushKey(true, SDL_SCANCODE_LEFT);
  PushKey(true, SDL_SCANCODE_KP_4);
  PushKey(true, SDL_SCANCODE_4);
  PushKey(true, SDL_SCANCODE_F21);  // 6CH = 108
  PushKey(true, SDL_SCANCODE_F13);  // 64H = 100
  ExpectKey(true, 0x4B, 0);
  ExpectKey(true, 0x4B, 0);
  ExpectKey(true, 0x05, 0);
  ExpectKey(true, 8, 0);
  ExpectKey(true, 0, 0);

  // A record carries the state from before its own key.
  PushKey(true, SDL_SCANCODE_RSHIFT);
  PushKey(true, SDL_SCANCODE_A);
  PushKey(false, SDL_SCANCODE_RSHIFT);
  PushKey(true, SDL_SCANCODE_A);
  ExpectKey(true, 0x36, 0);
  ExpectKey(true, 0x1E, Platform::SHIFT_PRESSED);
  ExpectKey(false, 0x36, Platform::SHIFT_PRESSED);
  ExpectKey(true, 0x1E, 0);

  // Right Ctrl and Alt count as the left ones; a change of focus clears all.
  PushKey(true, SDL_SCANCODE_RCTRL);
  PushKey(true, SDL_SCANCODE_RALT);
  PushKey(true, SDL_SCANCODE_Z);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushKey(true, SDL_SCANCODE_Z);
  ExpectKey(true, 0x1D, 0);
  ExpectKey(true, 0x38, Platform::LEFT_CTRL_PRESSED);
  ExpectKey(true, 0x2C, Platform::LEFT_CTRL_PRESSED | Platform::LEFT_ALT_PRESSED);
  ExpectKey(true, 0x2C, 0);

  PushKey(true, SDL_SCANCODE_LSHIFT);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushKey(true, SDL_SCANCODE_B);
  ExpectKey(true, 0x2A, 0);
  ExpectKey(true, 0x30, 0);
}

TEST_F(WindowViewTest, F11AndAltEnterAreTheWindowsOwnAndAltStillGoesThrough) {
  PushKey(true, SDL_SCANCODE_F11);
  PushKey(true, SDL_SCANCODE_F11, true);
  PushKey(false, SDL_SCANCODE_F11);
  PushKey(true, SDL_SCANCODE_LALT);
  PushKey(true, SDL_SCANCODE_RETURN, false, KMOD_LALT);
  PushKey(false, SDL_SCANCODE_LALT);
  PushKey(false, SDL_SCANCODE_RETURN);  // released after Alt: still the window's
  PushKey(true, SDL_SCANCODE_RETURN);   // Enter alone is the game's
  PushKey(true, SDL_SCANCODE_KP_ENTER, false, KMOD_RALT);
  PushKey(false, SDL_SCANCODE_KP_ENTER, false, KMOD_RALT);
  PushKey(true, SDL_SCANCODE_Q);
  ExpectKey(true, 0x38, 0);
  ExpectKey(false, 0x38, Platform::LEFT_ALT_PRESSED);
  ExpectKey(true, 0x1C, 0);
  ExpectKey(true, 0x10, 0);
}

TEST_F(WindowViewTest, ExposeAndResizeShowTheBackBufferAgain) {
  for (const SDL_WindowEventID what : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_SIZE_CHANGED}) {
    const std::uint64_t presents = Graph::FrameCount();
    PushWindowEvent(what);
    EXPECT_TRUE(WaitFor([&] { return Graph::FrameCount() > presents; })) << what;
  }
}

TEST_F(WindowViewTest, PresentsAreCoalesced) {
  const std::uint64_t before = Graph::FrameCount();
  for (std::uint32_t i = 0; i < 10000; ++i) {
    const std::uint32_t x = (i % 23) * 15 + 1, y = (i / 23 % 32) * 15 + 1;
    Graph::Rectangle(x, y, x + 14, y + 14, i % 16, true);
  }
  ASSERT_TRUE(WaitFor(Graph::PictureShown));
  const std::uint64_t presents = Graph::FrameCount() - before;
  std::printf("10000 drawing calls, %llu presents\n", static_cast<unsigned long long>(presents));
  EXPECT_GE(presents, 1u);
  // At most one a display frame: a handful, however slow the build.
  EXPECT_LT(presents, 500u);
}

}  // namespace
