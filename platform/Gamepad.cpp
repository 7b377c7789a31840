// Gamepad: the mapping of a pad's controls to game keys, the pads' state
// (which are open, what each holds, the one direction that repeats), their
// reading on our own schedule, and the two threads that serve them: the pads'
// own until video runs, the window server's from then on.
//
// SDL reads joysticks by polling. Left to itself (SDL 2.26) it then waits for
// events in a loop of 1 ms sleeps as soon as one joystick is there, which
// would cost far more than the whole game at rest. So SDL does not update
// joysticks by itself here; we do, every kReadEvery while a pad is open, and
// with none, whenever the thread is awake anyway and kHotPlugAwake has
// passed, else every kHotPlugEvery: folded into the wait for the window's
// events.
#include "platform/Gamepad.h"

#include "platform/ConsoleInput.h"
#include "platform/PadEvents.h"
#include "platform/SdlStart.h"
#include "platform/Window.h"
#include "platform/Xlib.h"
#include "runtime/Runtime.h"

#include <SDL2/SDL.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <array>
#include <bitset>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <system_error>
#include <thread>
#include <vector>

namespace Platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Short enough that a press is felt at once and a quick tap is still seen
// (SDL keeps only the state between two reads), long enough to cost little.
constexpr milliseconds kReadEvery{10};
// A pad plugged in is found within kHotPlugAwake while the game draws (in
// play it always does), within kHotPlugEvery when nothing happens at all.
constexpr milliseconds kHotPlugAwake{100};
constexpr milliseconds kHotPlugEvery{1000};

// ---------------------------------------------------------------- the mapping

// A pad's controls: SDL's buttons, then the stick and the triggers, each
// direction counted as a button of its own.
constexpr int kStickLeft = SDL_CONTROLLER_BUTTON_MAX;
constexpr int kStickRight = kStickLeft + 1;
constexpr int kStickDown = kStickLeft + 2;
constexpr int kTriggerLeft = kStickLeft + 3;
constexpr int kTriggerRight = kStickLeft + 4;
constexpr int kControls = kStickLeft + 5;

struct Control {
  SDL_Scancode key;  // typed as this key in the window would be
  bool repeats;      // a direction: held, it repeats
};

// The one table: what each control types. Any button not named is Space;
// the stick pushed up and the right stick type nothing.
constexpr std::array<Control, kControls> MakeMapping() {
  std::array<Control, kControls> t{};
  for (auto& c : t) c = {SDL_SCANCODE_SPACE, false};
  t[SDL_CONTROLLER_BUTTON_DPAD_LEFT] = t[kStickLeft] = {SDL_SCANCODE_4, true};
  t[SDL_CONTROLLER_BUTTON_DPAD_RIGHT] = t[kStickRight] = {SDL_SCANCODE_6, true};
  t[SDL_CONTROLLER_BUTTON_DPAD_DOWN] = t[kStickDown] = {SDL_SCANCODE_2, true};
  t[SDL_CONTROLLER_BUTTON_DPAD_UP] = {SDL_SCANCODE_0, true};
  t[SDL_CONTROLLER_BUTTON_A] = t[SDL_CONTROLLER_BUTTON_B] = {SDL_SCANCODE_5, false};
  t[SDL_CONTROLLER_BUTTON_START] = {SDL_SCANCODE_N, false};
  t[SDL_CONTROLLER_BUTTON_BACK] = {SDL_SCANCODE_Q, false};
  return t;
}
constexpr auto kMapping = MakeMapping();

// Beyond half its travel a stick (or a trigger) counts as pushed; back in
// the dead zone, as let go; in between it stays as it was, so that a stick
// held near half travel does not chatter, and a resting one sends nothing.
constexpr int kPushed = 16384;
constexpr int kDeadZone = 8192;

bool Pushed(int value, bool was) { return value > kPushed || (was && value >= kDeadZone); }

// ---------------------------------------------------------------- state

enum class Server : std::uint8_t { Nobody, PadThread, Window };

struct Pad {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
  std::bitset<kControls> held;
};

struct Repeat {
  bool on = false;
  SDL_JoystickID pad = -1;
  int control = 0;
  std::uint8_t scan = 0;
  Clock::time_point due;
};

struct State {
  std::mutex lock;  // everything below; also StartLock
  std::condition_variable serverChanged;
  Server server = Server::Nobody;
  bool startAsked = false;
  bool started = false;  // SDL's game controllers run
  bool failed = false;   // and never will
  std::vector<Pad> pads;
  std::deque<Pads::Key> ready;
  Repeat repeat;
  PadRepeat figures;
  Clock::time_point lastRead;
  std::uint64_t polls = 0;
};

State& S() {
  static State* s = new State;  // never freed: both threads may outlive main
  return *s;
}

// ---------------------------------------------------------------- start-up

// With the lock held. True once SDL's game controllers run.
bool StartControllers(State& s) {
  if (s.started || s.failed) return s.started;
  std::lock_guard sdl(SdlStartLock());
  // As for video: else Ctrl+C becomes an SDL quit event nobody reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // We read the pads ourselves (see the top of this file).
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  // A pad plays the game while the window has no focus, as the terminal's
  // keys do: the game is the one program a pad is for. (With no window at
  // all SDL drops nothing anyway.)
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    s.failed = true;
    return false;
  }
  s.started = true;
  s.lastRead = Clock::now() - kHotPlugEvery;
  return true;
}

// The X server's own auto-repeat, on a connection of our own for the while
// of asking.
void ReadXRepeat(PadRepeat& figures) {
  auto open = XlibFunction<decltype(&XOpenDisplay)>("XOpenDisplay");
  auto close = XlibFunction<decltype(&XCloseDisplay)>("XCloseDisplay");
  auto rate = XlibFunction<decltype(&XkbGetAutoRepeatRate)>("XkbGetAutoRepeatRate");
  auto control = XlibFunction<decltype(&XGetKeyboardControl)>("XGetKeyboardControl");
  if (!open || !close || !rate || !control) return;
  Display* display = open(nullptr);
  if (!display) return;
  unsigned delay = 0, interval = 0;
  if (rate(display, XkbUseCoreKbd, &delay, &interval) && delay > 0 && interval > 0) {
    figures.delay = milliseconds(delay);
    figures.interval = milliseconds(interval);
  }
  XKeyboardState keyboard{};
  control(display, &keyboard);
  figures.on = keyboard.global_auto_repeat == AutoRepeatModeOn;
  close(display);
}

// ---------------------------------------------------------------- events

Pad* Find(State& s, SDL_JoystickID id) {
  for (Pad& pad : s.pads)
    if (pad.id == id) return &pad;
  return nullptr;
}

// A control of a pad pressed or let go: its key, and the repeat follows.
// Only the direction pressed last repeats, as only the key pressed last
// does on a keyboard.
void Set(State& s, Pad& pad, int control, bool down) {
  if (pad.held[control] == down) return;
  pad.held[control] = down;
  const std::uint8_t scan = Set1ScanCode(kMapping[control].key);
  s.ready.push_back({down, scan});
  Repeat& r = s.repeat;
  if (down && kMapping[control].repeats && s.figures.on) {
    r = {true, pad.id, control, scan, Clock::now() + s.figures.delay};
  } else if (!down && r.on && r.pad == pad.id && r.control == control) {
    r.on = false;
  }
}

// The stick across from one side to the other between two readings: the
// one side let go before the other is pushed.
void Axis(State& s, Pad& pad, int axis, int value) {
  std::array<std::pair<int, int>, 2> sides{};  // control, value pushing it
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      sides = {{{kStickLeft, -value}, {kStickRight, value}}};
      if (value < 0) std::swap(sides[0], sides[1]);
      break;
    case SDL_CONTROLLER_AXIS_LEFTY:  // down is positive; up types nothing
      sides = {{{kStickDown, value}, {kStickDown, value}}};
      break;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
      sides = {{{kTriggerLeft, value}, {kTriggerLeft, value}}};
      break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
      sides = {{{kTriggerRight, value}, {kTriggerRight, value}}};
      break;
    default:
      return;
  }
  for (const auto& [control, push] : sides) Set(s, pad, control, Pushed(push, pad.held[control]));
}

void Added(State& s, int deviceIndex) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (id < 0 || Find(s, id)) return;  // SDL names the pads there at start twice
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (!controller) {
    const char* name = SDL_GameControllerNameForIndex(deviceIndex);
    std::fprintf(stderr, "Gamepad: cannot use the pad %s: %s\n", name ? name : "(no name)", SDL_GetError());
    return;
  }
  s.pads.push_back({controller, id, {}});
}

// A pad pulled out leaves nothing held and nothing repeating.
void Removed(State& s, SDL_JoystickID id) {
  Pad* pad = Find(s, id);
  if (!pad) return;
  for (int c = 0; c < kControls; ++c) Set(s, *pad, c, false);
  SDL_GameControllerClose(pad->controller);
  s.pads.erase(s.pads.begin() + (pad - s.pads.data()));
}

// With the lock held: an SDL event for the pads, handled. False for any
// event that is none of theirs.
bool Take(State& s, const SDL_Event& e) {
  // Joystick and controller events have this block of types to themselves.
  if (e.type < SDL_JOYAXISMOTION || e.type >= SDL_FINGERDOWN) return false;
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Added(s, e.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      Removed(s, e.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (Pad* pad = Find(s, e.cbutton.which); pad && e.cbutton.button < SDL_CONTROLLER_BUTTON_MAX)
        Set(s, *pad, e.cbutton.button, e.cbutton.state == SDL_PRESSED);
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (Pad* pad = Find(s, e.caxis.which)) Axis(s, *pad, e.caxis.axis, e.caxis.value);
      break;
    default:  // the raw joystick's own, and the rest: nothing for the game
      break;
  }
  return true;
}

// With the lock held: the pads read, when that is due; their events follow
// in SDL's queue.
void Read(State& s) {
  const auto now = Clock::now();
  if (!s.started || now < s.lastRead + (s.pads.empty() ? kHotPlugAwake : kReadEvery)) return;
  SDL_GameControllerUpdate();
  ++s.polls;
  s.lastRead = now;
}

// With the lock held: a key that is ready, or the repeat's when it fell due.
bool Pop(State& s, Pads::Key& key) {
  if (!s.ready.empty()) {
    key = s.ready.front();
    s.ready.pop_front();
    return true;
  }
  Repeat& r = s.repeat;
  const auto now = Clock::now();
  if (!r.on || now < r.due) return false;
  key = {true, r.scan};
  // After a stall, one repeat and on from now: no burst to catch up.
  r.due = std::max(r.due + s.figures.interval, now);
  return true;
}

// With the lock held: milliseconds until Read or Pop has work, rounded up so that
// a wait never ends just before it; -1 for none.
int WaitMs(const State& s) {
  if (!s.started) return -1;
  Clock::time_point due = s.lastRead + (s.pads.empty() ? kHotPlugEvery : kReadEvery);
  if (s.repeat.on) due = std::min(due, s.repeat.due);
  const auto left = due - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  return static_cast<int>(std::chrono::ceil<milliseconds>(left).count());
}

// ---------------------------------------------------------------- the pads' own thread

// A pad's key as the window would type it with no modifier held.
void Deliver(const Pads::Key& key) {
  InputRecord r;
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = key.down ? 1 : 0;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualScanCode = key.scan;
  constexpr int kRoomWaitMs = 50;  // as for the window's keys: bounded
  WriteConsoleInputWithin(r, kRoomWaitMs);
}

// Serves the pads until the window thread takes them over. Without video
// SDL's own wait would sleep 1 ms at a time: we wait on our schedule and
// take the pads' events from SDL's queue without pumping it.
void PadThread() {
  Runtime::NameThisThread("pads");
  State& s = S();
  std::unique_lock lock(s.lock);
  // Parked, not ended, once done: SDL keeps data of its own for each thread
  // that calls it, freed only for threads SDL made itself.
  const auto park = [&] { s.serverChanged.wait(lock, [] { return false; }); };
  if (s.server != Server::PadThread || !StartControllers(s)) return park();
  while (s.server == Server::PadThread) {
    Read(s);
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) Take(s, e);
    Pads::Key key;
    if (Pop(s, key)) {
      lock.unlock();
      Deliver(key);
      lock.lock();
    } else {
      s.serverChanged.wait_for(lock, milliseconds(WaitMs(s)));
    }
  }
  park();
}

}  // namespace

// ---------------------------------------------------------------- public

void StartPads() {
  State& s = S();
  std::lock_guard lock(s.lock);
  if (s.startAsked) return;
  s.startAsked = true;
  if (s.server != Server::Nobody) return;  // the window thread serves them already
  // Started here, before the caller goes on: SDL writes its list of hints as
  // the controllers start, and a thread reading it meanwhile (reading a wave
  // file does) would race with that. No joystick support: no thread either.
  if (!StartControllers(s)) return;
  s.server = Server::PadThread;
  try {
    std::thread(PadThread).detach();
  } catch (const std::system_error&) {
    s.server = Server::Nobody;  // no pads until video runs
  }
}

PadRepeat PadRepeatFigures() {
  State& s = S();
  std::lock_guard lock(s.lock);
  return s.figures;
}

PadsInfo PadsNow() {
  State& s = S();
  std::lock_guard lock(s.lock);
  return {s.started, static_cast<int>(s.pads.size()), s.polls};
}

namespace Pads {

std::mutex& StartLock() { return S().lock; }

void ServeFromWindowThread() {
  State& s = S();
  s.server = Server::Window;
  s.serverChanged.notify_all();
  StartControllers(s);
  ReadXRepeat(s.figures);
}

Got Wait(SDL_Event& event, Key& key, int timeoutMs) {
  State& s = S();
  const auto deadline = Clock::now() + milliseconds(timeoutMs);
  for (;;) {
    int wait;
    {
      std::lock_guard lock(s.lock);
      Read(s);
      if (Pop(s, key)) return Got::PadKey;
      wait = WaitMs(s);
    }
    if (timeoutMs >= 0) {
      const auto left = deadline - Clock::now();
      const int leftMs = left > Clock::duration::zero() ? static_cast<int>(std::chrono::ceil<milliseconds>(left).count()) : 0;
      wait = wait < 0 ? leftMs : std::min(wait, leftMs);
    }
    const int got = wait < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, wait);
    if (got) {
      std::lock_guard lock(s.lock);
      if (!Take(s, event)) return Got::Event;
    } else if (timeoutMs >= 0 && Clock::now() >= deadline) {
      return Got::Nothing;
    }
  }
}

}  // namespace Pads
}  // namespace Platform
