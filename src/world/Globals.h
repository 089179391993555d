// The game's shared data: module-level globals read and written directly by the shell and the
// race world, and the two key tables. They live in the world layer because the race reads
// them too and the shell sits above the world. ResetGlobals() puts every one back to its
// value at program load (tests call it between cases).
#pragma once

#include <array>
#include <cstdint>
#include <string>

class TForm1;

extern TForm1* Form1;

// Key tables indexed by virtual-key code, stored one directly after the other. Key down sets
// held; key up sets released and clears held; readers clear released themselves.
struct TKeyTables {
    uint8_t Released[256];
    uint8_t Held[256];
};
extern TKeyTables KeyTables;
inline uint8_t (&KeyReleased)[256] = KeyTables.Released;
inline uint8_t (&KeyHeld)[256] = KeyTables.Held;

struct THiScoreEntry {
    std::string Position;
    std::string Name;
    std::string ScoreText;
};

extern uint8_t FullScreen;
extern uint8_t FullScreenApplied;
extern uint8_t MusicOn;
extern uint8_t SoundOn;
extern int32_t Volume;
extern std::string ExtraText;
extern std::string PlayerName;
extern int32_t Score;
extern int32_t Level;
extern int32_t Lives;
extern int32_t Prize;
extern int32_t UnlockThreshold;
extern std::array<THiScoreEntry, 10> HiScores;
extern uint8_t GameImagesLoaded;
extern int32_t CaretTick;

// The screen state machine's shared counters.
extern uint8_t CurrentState;
extern int32_t StateFrames;
extern int32_t PhaseCounter;

void ResetGlobals();
void ClearKeyReleased();
void ClearKeyTables();
