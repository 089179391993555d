// Figures about this process for the game's --stats report: peak resident memory and how long
// ago the program was started (exec), both read from the system (Linux /proc; elsewhere they
// report -1); and the one memory call that goes with them.
#pragma once

#include <cstdint>

// Peak resident set size in bytes, or -1 when unknown.
int64_t PeakResidentBytes();
// Milliseconds since the process was started, to about 10 ms, or -1 when unknown.
int64_t MillisecondsSinceExec();
// Hands memory the allocator holds freed back to the system (glibc keeps freed heap pages for
// reuse); does nothing where the C library has no such call.
void ReturnFreedMemory();
