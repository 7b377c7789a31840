// The pads, with SDL's virtual game controller pressed, pushed and pulled
// out as a player would: in the window server on SDL's offscreen driver (the
// records it writes, the keys IO::RdKey reads), and on their own thread while
// no window stands.
#include "console/IO.h"
#include "graph/Graph.h"
#include "platform/ConsoleInput.h"
#include "platform/Gamepad.h"
#include "platform/Window.h"
#include "tests/console/ConsoleTestSupport.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

template <class Condition>
bool Eventually(Condition done) {
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Returns once the pads have surely been read since the call: the reading
// under way then may have begun before it.
void Settle() {
  const std::uint64_t now = Platform::PadsNow().polls;
  ASSERT_TRUE(Eventually([&] { return Platform::PadsNow().polls >= now + 2; }));
}

// SDL's virtual game controller (its buttons and axes in SDL's own order).
class VirtualPad {
 public:
  VirtualPad() {
    const int before = Platform::PadsNow().open;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    joystick_ = SDL_JoystickOpen(index);
    EXPECT_NE(joystick_, nullptr) << SDL_GetError();
    EXPECT_TRUE(Eventually([&] { return Platform::PadsNow().open == before + 1; }));
  }
  void Button(SDL_GameControllerButton button, bool down) {
    EXPECT_EQ(SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0), 0) << SDL_GetError();
  }
  void Axis(SDL_GameControllerAxis axis, int value) {
    EXPECT_EQ(SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value)), 0) << SDL_GetError();
  }
  ~VirtualPad() {
    if (joystick_) Unplug();
  }
  // Pulled out: gone once the pads no longer count it.
  void Unplug() {
    const int before = Platform::PadsNow().open;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id) {
        EXPECT_EQ(SDL_JoystickDetachVirtual(i), 0);
      }
    }
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    EXPECT_TRUE(Eventually([&] { return Platform::PadsNow().open == before - 1; }));
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
};

// ---------------------------------------------------------------- records

struct Record {
  bool down;
  std::uint16_t scan;
  std::uint32_t state;
  bool operator==(const Record&) const = default;
};

void PrintTo(const Record& r, std::ostream* os) {
  *os << (r.down ? "down " : "up ") << std::hex << r.scan << " state " << r.state;
}

Record NextRecord() {
  Platform::InputRecord r;
  EXPECT_TRUE(Platform::WaitForConsoleInput(30000));
  EXPECT_TRUE(Platform::ReadConsoleInput(r));
  EXPECT_EQ(r.EventType, Platform::KEY_EVENT);
  const auto& k = r.Event.KeyEvent;
  EXPECT_EQ(k.wRepeatCount, 1);
  EXPECT_EQ(k.uChar, 0);
  return {k.bKeyDown != 0, k.wVirtualScanCode, k.dwControlKeyState};
}

constexpr Record Down(std::uint16_t scan, std::uint32_t state = 0) { return {true, scan, state}; }
constexpr Record Up(std::uint16_t scan, std::uint32_t state = 0) { return {false, scan, state}; }

// The game's keys by their digit-row and letter scan codes.
constexpr std::uint16_t k0 = 0x0B, k2 = 0x03, k4 = 0x05, k5 = 0x06, k6 = 0x07, kQ = 0x10, kN = 0x31,
                        kSpace = 0x39;

// A direction let go: its key-up, after the repeats it may have sent before.
void ExpectLetGo(std::uint16_t scan) {
  Record r = NextRecord();
  while (r == Down(scan)) r = NextRecord();
  EXPECT_EQ(r, Up(scan));
}

void PushWindowKey(bool down, SDL_Scancode scancode) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = Platform::LastWindowInfo().id;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = scancode;
  ASSERT_EQ(SDL_PushEvent(&e), 1);
}

class PadWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "offscreen", 1); }
  void SetUp() override {
    ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
    ASSERT_TRUE(Eventually([] { return Platform::PadsNow().started; }));
    Platform::FlushConsoleInputBuffer();
  }
  void TearDown() override { Graph::Exit(); }
};

TEST_F(PadWindowTest, PressesAndReleasesAreWindowKeysThatCarryTheModifiersAsTheyStand) {
  VirtualPad pad;
  PushWindowKey(true, SDL_SCANCODE_LSHIFT);
  EXPECT_EQ(NextRecord(), Down(0x2A));
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(NextRecord(), Down(k5, Platform::SHIFT_PRESSED));
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(NextRecord(), Up(k5, Platform::SHIFT_PRESSED));
  PushWindowKey(false, SDL_SCANCODE_LSHIFT);
  EXPECT_EQ(NextRecord(), Up(0x2A, Platform::SHIFT_PRESSED));
  // A pad changes no modifier: the next window key has none.
  pad.Button(SDL_CONTROLLER_BUTTON_BACK, true);
  EXPECT_EQ(NextRecord(), Down(kQ));
  PushWindowKey(true, SDL_SCANCODE_Z);
  EXPECT_EQ(NextRecord(), Down(0x2C));
  pad.Button(SDL_CONTROLLER_BUTTON_BACK, false);
  EXPECT_EQ(NextRecord(), Up(kQ));
}

TEST_F(PadWindowTest, AHeldDirectionRepeatsAsAHeldKeyDoesAndAButtonDoesNot) {
  const Platform::PadRepeat figures = Platform::PadRepeatFigures();
  ASSERT_TRUE(figures.on);
  VirtualPad pad;
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(NextRecord(), Down(k5));
  const auto pressed = Clock::now();
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  EXPECT_EQ(NextRecord(), Down(k4));
  EXPECT_EQ(NextRecord(), Down(k4));
  const auto first = Clock::now();
  EXPECT_EQ(NextRecord(), Down(k4));
  EXPECT_EQ(NextRecord(), Down(k4));
  // Never early (late is the machine's business).
  EXPECT_GE(first - pressed, figures.delay);
  EXPECT_GE(Clock::now() - pressed, figures.delay + 2 * figures.interval);

  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  ExpectLetGo(k4);
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(NextRecord(), Up(k5));
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(NextRecord(), Down(kN));
}

TEST_F(PadWindowTest, TheStickCountsPushedBeyondHalfItsTravelAndLetGoInItsDeadZone) {
  VirtualPad pad;
  // Nothing from a stick within half its travel, pushed up, or the right one.
  for (int x : {-3000, 4000, -16000, 16000}) {
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, x);
    Settle();
  }
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, 32767);
  Settle();
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  pad.Button(SDL_CONTROLLER_BUTTON_X, true);
  EXPECT_EQ(NextRecord(), Down(kSpace));

  // Pushed, it stays pushed until it is back in the dead zone.
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -20000);
  EXPECT_EQ(NextRecord(), Down(k4));
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -9000);
  Settle();
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -7000);
  ExpectLetGo(k4);
  // From one side to the other in one reading: let go, then pushed.
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
  EXPECT_EQ(NextRecord(), Down(k6));
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -30000);
  EXPECT_EQ(NextRecord(), Up(k6));
  EXPECT_EQ(NextRecord(), Down(k4));
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  ExpectLetGo(k4);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 25000);
  EXPECT_EQ(NextRecord(), Down(k2));
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  ExpectLetGo(k2);
  // A trigger pulled is a button.
  pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  EXPECT_EQ(NextRecord(), Down(kSpace));
}

TEST_F(PadWindowTest, PadsPluggedInAndPulledOutMidGameTwoAtOnce) {
  EXPECT_EQ(Platform::PadsNow().open, 0);
  VirtualPad first;
  first.Button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(NextRecord(), Down(k5));
  VirtualPad second;
  second.Button(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(NextRecord(), Down(kN));
  second.Button(SDL_CONTROLLER_BUTTON_START, false);
  EXPECT_EQ(NextRecord(), Up(kN));

  // Pulled out holding a button and a repeating direction: both let go, and
  // nothing repeats afterwards.
  first.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  EXPECT_EQ(NextRecord(), Down(k6));
  first.Unplug();
  bool upA = false, upRight = false;
  while (!upA || !upRight) {
    const Record r = NextRecord();
    if (r == Up(k5)) {
      upA = true;
    } else if (r == Up(k6)) {
      upRight = true;
    } else {
      ASSERT_EQ(r, Down(k6)) << "only repeats until the direction is let go";
      ASSERT_FALSE(upRight);
    }
  }
  second.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  EXPECT_EQ(NextRecord(), Down(k0));
  second.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
  ExpectLetGo(k0);
  second.Unplug();
  VirtualPad third;
  third.Button(SDL_CONTROLLER_BUTTON_B, true);
  EXPECT_EQ(NextRecord(), Down(k5));
}

// ---------------------------------------------------------------- keys as the game reads them

struct Typed {
  int control;  // a button, or one of the three below
  char key;
};
constexpr int kStickLeft = -1, kStickRight = -2, kStickDown = -3, kTrigger = -4;

void Press(VirtualPad& pad, int control, bool down) {
  switch (control) {
    case kStickLeft: return pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, down ? -32768 : 0);
    case kStickRight: return pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, down ? 32767 : 0);
    case kStickDown: return pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, down ? 32767 : 0);
    case kTrigger: return pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, down ? 32767 : -32768);  // rests at its end
    default: return pad.Button(static_cast<SDL_GameControllerButton>(control), down);
  }
}

class PadKeysTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ConsoleTest::StartWithoutTerminal();
  }
  void TearDown() override { Graph::Exit(); }
};

TEST_F(PadKeysTest, EachControlTypesItsKeyInOrder) {
  ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
  VirtualPad pad;
  const Typed table[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, '4'}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, '6'},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, '2'}, {SDL_CONTROLLER_BUTTON_DPAD_UP, '0'},
      {kStickLeft, '4'},                      {kStickRight, '6'},
      {kStickDown, '2'},                      {SDL_CONTROLLER_BUTTON_A, '5'},
      {SDL_CONTROLLER_BUTTON_B, '5'},         {SDL_CONTROLLER_BUTTON_START, 'n'},
      {SDL_CONTROLLER_BUTTON_BACK, 'q'},      {SDL_CONTROLLER_BUTTON_X, ' '},
      {SDL_CONTROLLER_BUTTON_Y, ' '},         {SDL_CONTROLLER_BUTTON_GUIDE, ' '},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, ' '}, {SDL_CONTROLLER_BUTTON_RIGHTSTICK, ' '},
      {SDL_CONTROLLER_BUTTON_MISC1, ' '},  {kTrigger, ' '},
  };
  char held = 0;  // the direction let go last, which may have repeated meanwhile
  for (const Typed& t : table) {
    Press(pad, t.control, true);
    char got = IO::RdKey();
    while (got == held) got = IO::RdKey();
    EXPECT_EQ(got, t.key) << "control " << t.control;
    Press(pad, t.control, false);
    Settle();
    const bool direction = (t.control < 0 && t.control != kTrigger) ||
                           (t.control >= SDL_CONTROLLER_BUTTON_DPAD_UP && t.control <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    held = direction ? t.key : 0;
  }
}

TEST_F(PadKeysTest, PadsPlayWithNoWindowAndGoOnWhenOneOpens) {
  ASSERT_TRUE(Eventually([] { return Platform::PadsNow().started; }));
  VirtualPad pad;
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(IO::RdKey(), '5');
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  Settle();
  ASSERT_TRUE(Graph::Init(1, 1, 555, 600));  // the window server takes the pads over
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(IO::RdKey(), 'n');
  pad.Button(SDL_CONTROLLER_BUTTON_START, false);
  Settle();
  VirtualPad another;
  another.Button(SDL_CONTROLLER_BUTTON_BACK, true);
  EXPECT_EQ(IO::RdKey(), 'q');
}

}  // namespace
