// The shared data the race world reads and writes: the two key tables the player's car drives
// from, and the score, lives, prize, unlock threshold and phase counter that race events
// change. The shell's own globals (state, settings, players, high scores) live in
// shell/Globals.h. ResetWorldGlobals() puts these back to their values at program load.
// Like the race record, the world context and the tables, they are per thread: the game runs
// its race on its one frame thread, and the score service replays daily races on several
// threads at once, each with a world of its own.
#pragma once

#include <cstdint>

// Key tables indexed by virtual-key code, stored one directly after the other. Key down sets
// held; key up sets released and clears held; readers clear released themselves.
struct TKeyTables {
    uint8_t Released[256];
    uint8_t Held[256];
};
// Read and written as KeyTables.Held[key] and KeyTables.Released[key]. (No thread_local
// references to the two arrays: MinGW's GCC emits their per-thread initialiser in every file
// that includes this header, and the Windows build then fails to link.)
extern thread_local TKeyTables KeyTables;

extern thread_local int32_t Score;
extern thread_local int32_t Lives;
extern thread_local int32_t Prize;
extern thread_local int32_t UnlockThreshold;
// The shell's frame counter of a running phase; the finish line restarts it at the crossing.
extern thread_local int32_t PhaseCounter;

void ResetWorldGlobals();
void ClearKeyReleased();
void ClearKeyTables();
// Whether key was released since its release was last read; reading clears it.
bool ConsumeRelease(int32_t key);
