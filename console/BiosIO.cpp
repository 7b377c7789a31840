// BiosIO: the two-call reading of extended keys over EventQueue.
#include "console/BiosIO.h"

#include "console/EventQueue.h"

namespace BiosIO {

char LastChar = '\xFF';
char LastScan = 0;

namespace {
bool initialised = false;
}

void Init() {
  if (initialised) return;
  initialised = true;
  EventQueue::Init();
  LastChar = '\xFF';
  LastScan = 0;
}

// Deliberate: a scan half still due (LastChar = 0) does not make it TRUE, so
// a polling loop takes that half only with the next key typed.
bool KeyPressed() {
  char ch, scan;
  return EventQueue::peekKey(ch, scan);
}

char RdKey() {
  if (LastChar != 0) {
    char ch, scan;
    EventQueue::getKey(ch, scan, true);
    LastChar = ch;
    LastScan = scan;
    return ch;
  }
  LastChar = '\xFF';
  return LastScan;
}

}  // namespace BiosIO
