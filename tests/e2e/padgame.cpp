// padgame: the game as build/stackfall plays it, with SDL's virtual game
// controller inside its process, worked through a named pipe, one numbered
// command a line:
//
//   N plug | N unplug | N press BUTTON | N release BUTTON | N tap BUTTON |
//   N axis AXIS VALUE
//
// BUTTON and AXIS by SDL's names (a, b, back, start, dpleft, leftx, ...). Each
// command done, "padgame: N done" goes to stderr; a tap is a press and a
// release with a reading of the pads after each. The pad end-to-end script
// and the CPU benchmark run it; the game itself carries none of this.
//   padgame FIFO
#include "game/Program.h"
#include "platform/Gamepad.h"
#include "runtime/Runtime.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

template <class Condition>
void WaitUntil(Condition done) {
  while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// Returns once the pads have surely been read since the call.
void Settle() {
  const std::uint64_t now = Platform::PadsNow().polls;
  WaitUntil([&] { return Platform::PadsNow().polls >= now + 2; });
}

SDL_Joystick* pad = nullptr;

bool Plug() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int before = Platform::PadsNow().open;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0 || !(pad = SDL_JoystickOpen(index))) return false;
  WaitUntil([&] { return Platform::PadsNow().open == before + 1; });
  const Platform::PadRepeat r = Platform::PadRepeatFigures();
  std::fprintf(stderr, "padgame: repeat %lld ms then every %lld us, %s\n",
               static_cast<long long>(r.delay.count() / 1000), static_cast<long long>(r.interval.count()),
               r.on ? "on" : "off");
  return true;
}

bool Unplug() {
  const int before = Platform::PadsNow().open;
  const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == id && SDL_JoystickDetachVirtual(i) != 0) return false;
  }
  SDL_JoystickClose(pad);
  pad = nullptr;
  WaitUntil([&] { return Platform::PadsNow().open == before - 1; });
  return true;
}

bool Command(std::istringstream& words) {
  std::string verb, name;
  words >> verb >> name;
  if (verb == "plug") return Plug();
  if (verb == "unplug") return pad && Unplug();
  if (!pad) return false;
  if (verb == "axis") {
    int value = 0;
    words >> value;
    const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name.c_str());
    return axis != SDL_CONTROLLER_AXIS_INVALID && SDL_JoystickSetVirtualAxis(pad, axis, static_cast<Sint16>(value)) == 0;
  }
  const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
  if (button == SDL_CONTROLLER_BUTTON_INVALID) return false;
  const bool press = verb == "press" || verb == "tap";
  if (press || verb == "release") SDL_JoystickSetVirtualButton(pad, button, press ? 1 : 0);
  if (verb != "tap") return press || verb == "release";
  Settle();
  SDL_JoystickSetVirtualButton(pad, button, 0);
  Settle();
  return true;
}

void Drive(const char* fifo) {
  WaitUntil([] { return Platform::PadsNow().started; });
  std::ifstream in(fifo);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string number;
    words >> number;
    const bool done = Command(words);
    std::fprintf(stderr, "padgame: %s %s\n", number.c_str(), done ? "done" : "refused");
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("usage: padgame FIFO\n", stderr);
    return 2;
  }
  Runtime::Init();
  std::thread(Drive, argv[1]).detach();
  Game::ProgramBody();
  Runtime::Halt("", 0);
}
