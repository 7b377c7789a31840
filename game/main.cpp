// stackfall: the game. Reads no configuration and writes no files; its
// arguments are --help, --version, --scale N and --fullscreen.
#include "game/CommandLine.h"
#include "game/Program.h"
#include "graph/Graph.h"
#include "runtime/Runtime.h"

int main(int argc, char* argv[]) {
  Game::WindowChoice choice;
  if (const auto status = Game::HandleArguments(argc, argv, choice)) return *status;
  Graph::SetWindowLook(choice.scale, choice.fullScreen);
  Runtime::Init();
  Game::ProgramBody();
  // Mended: a normal return would run static destructors under the key
  // reader, the terminal thread and the window server, still blocked in their
  // waits. Halt ends at once, the terminal given back.
  Runtime::Halt("", 0);
}
