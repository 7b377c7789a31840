// BiosIO: keys as the PC keyboard BIOS handed them out. A key with a
// character is read in one call; an extended key (character 0) in two: CHR(0)
// first, its scan code with the next call.
// Depends on: EventQueue.
#pragma once

namespace BiosIO {

// Starts the key queue first (EventQueue::Init), then LastChar := 0FFH,
// LastScan := 0. Once.
void Init();

// True when a key waits in the queue. A scan half still to be handed out
// does not count.
bool KeyPressed();

// The next character, waiting for a key when needed.
char RdKey();

extern char LastChar;  // 0 while the scan half of an extended key is due
extern char LastScan;

}  // namespace BiosIO
