// stackfall: the game. No arguments, no configuration, no files written.
#include "game/Program.h"
#include "runtime/Runtime.h"

int main() {
  Runtime::Init();
  Game::ProgramBody();
  // The key reader, the terminal thread and the window server are still
  // blocked in their waits: end at once, terminal given back, without
  // running static destructors under them.
  Runtime::Halt("", 0);
}
