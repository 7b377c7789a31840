// Console: start-up of the console and keyboard subsystem, in order.
#include "console/Console.h"

#include "console/BiosIO.h"
#include "console/IO.h"
#include "console/Lib.h"
#include "console/WholeStr.h"

namespace Console {

void Init() {
  IO::Init();
  Lib::Init();
  WholeStr::Init();
  BiosIO::Init();  // EventQueue::Init first
}

}  // namespace Console
