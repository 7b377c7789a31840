// stackfall: the game. Reads no configuration and writes no files; its only
// arguments are --help and --version.
#include "game/CommandLine.h"
#include "game/Program.h"
#include "runtime/Runtime.h"

int main(int argc, char* argv[]) {
  if (const auto status = Game::HandleArguments(argc, argv)) return *status;
  Runtime::Init();
  Game::ProgramBody();
  // Mended: a normal return would run static destructors under the key
  // reader, the terminal thread and the window server, still blocked in their
  // waits. Halt ends at once, the terminal given back.
  Runtime::Halt("", 0);
}
