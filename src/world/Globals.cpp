#include "world/Globals.h"

#include <cstring>

thread_local TKeyTables KeyTables{};

thread_local int32_t Score = 0;
thread_local int32_t Lives = 0;
thread_local int32_t Prize = 0;
thread_local int32_t UnlockThreshold = 300;
thread_local int32_t PhaseCounter = 0;

void ClearKeyReleased() {
    std::memset(KeyTables.Released, 0, sizeof KeyTables.Released);
}

void ClearKeyTables() {
    std::memset(&KeyTables, 0, sizeof KeyTables);
}

bool ConsumeRelease(int32_t key) {
    if (key < 0 || key > 255 || KeyTables.Released[key] == 0) return false;
    KeyTables.Released[key] = 0;
    return true;
}

void ResetWorldGlobals() {
    ClearKeyTables();
    Score = 0;
    Lives = 0;
    Prize = 0;
    UnlockThreshold = 300;
    PhaseCounter = 0;
}
