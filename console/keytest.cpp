// keytest: shows each key as the game reads it through IO::RdKey, one line a
// key, until q (console/KeyShow.h says how a key is shown).
//
//   keytest [--hold FILE]
//
// --hold: read no key until FILE exists; in the meantime show each change of
// the number of keys lost to the full queue. The burst tests type into a
// held keytest.
#include <cstdio>
#include <cstring>

#include "console/Console.h"
#include "console/IO.h"
#include "console/KeyShow.h"
#include "runtime/Runtime.h"

int main(int argc, char** argv) {
  const char* hold = nullptr;
  if (argc == 3 && !std::strcmp(argv[1], "--hold")) {
    hold = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: keytest [--hold FILE]\n");
    return 2;
  }
  Runtime::Init();
  Console::Init();
  IO::WrStr("keytest: press keys, q ends");
  IO::WrLn();
  if (hold) KeyShow::Hold(hold);
  KeyShow::UntilQ();
  return 0;
}
