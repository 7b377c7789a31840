// KeyShow: the key diagnostics of keytest and graphdemo --console. Each key
// as the game reads it through IO::RdKey, one line a key: a key with a
// character as its code, the character when it is printable, and the scan
// code of its key (BiosIO::LastScan); an extended key (CHR(0) then the
// scan) as "ext" and the scan. And the holding off of reading that the key
// burst tests use.
// Depends on: BiosIO, EventQueue, IO, Lib.
#pragma once

namespace KeyShow {

// Shows every key read until q (q included). The console must be started.
void UntilQ();

// Reads no key until `file` exists, as a busy program would not; in the
// meantime shows each change of the number of keys lost to the full queue
// ("held: N keys lost"), and that number once more at the end.
void Hold(const char* file);

}  // namespace KeyShow
