// Figures about this process for the game's --stats report: peak resident memory and how long
// ago the program was started (exec), both read from the system (Linux /proc, Windows' process
// information; elsewhere they report -1).
#pragma once

#include <cstdint>

// Peak resident set size in bytes, or -1 when unknown.
int64_t PeakResidentBytes();
// Milliseconds since the process was started, to about 10 ms, or -1 when unknown.
int64_t MillisecondsSinceExec();
