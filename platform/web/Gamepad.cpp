// Gamepads in the browser: none yet. The page's keys are its only input;
// the console's start-up asks for pads all the same, and finds none.
#include "platform/Gamepad.h"

namespace Platform {

void StartPads() {}

PadRepeat PadRepeatFigures() { return {}; }

PadsInfo PadsNow() { return {}; }

}  // namespace Platform
