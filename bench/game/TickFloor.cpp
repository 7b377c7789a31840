// tick_floor: nothing but the play loop's pause, 10 ms at a time, for ever.
// What it costs (bench/game/play_cpu.sh measures it beside the game) is the
// least a loop that wakes every 10 ms can cost on this machine.
#include "console/Lib.h"

int main() {
  for (;;) Lib::Delay(10);
}
