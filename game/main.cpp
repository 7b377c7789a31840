// stackfall: the game. Reads no configuration and writes no files; its only
// arguments are --help and --version.
#include "game/CommandLine.h"
#include "game/Program.h"
#include "runtime/Runtime.h"

int main(int argc, char* argv[]) {
  if (const auto status = Game::HandleArguments(argc, argv)) return *status;
  Runtime::Init();
  Game::ProgramBody();
  // Mended: the key reader, the terminal thread and the window server are still
  // blocked in their waits: end at once, terminal given back, without
  // running static destructors under them.
  Runtime::Halt("", 0);
}
