// The shell's globals: the main window object, the screen state and its frame counter, the
// settings, the player's name and the high-score table. They sit beside the world's shared
// data (world/Globals.h, included here), which the race reads too. ResetGlobals() puts both
// back to their values at program load (tests call it between cases).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "world/Globals.h"

class TForm1;

extern TForm1* Form1;

// The number of the screen state the game is in. Assigning it also tells the race world which
// phase of a race runs (the world knows no state numbers) and, when StateTrace is set, writes
// "state N" there, one line per state entered.
class TStateNumber {
public:
    TStateNumber& operator=(uint8_t value);
    operator uint8_t() const { return Value; }

private:
    uint8_t Value = 0;
};

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
// The ghost raced in the daily race: none, the day's leader, or the player's own best.
enum class TDailyGhostChoice : int32_t { None = 0, Leader = 1, MyBest = 2 };
extern TDailyGhostChoice DailyGhost;
extern std::string ExtraText;
extern std::string PlayerName;
extern int32_t Level;
extern std::array<THiScoreEntry, 10> HiScores;
extern uint8_t GameImagesLoaded;
extern int32_t CaretTick;

// The screen state machine's shared counters.
extern TStateNumber CurrentState;
extern int32_t StateFrames;
// Where the states entered are reported (VELKARO_TRACE_STATES=1 points it at stderr, so that a
// test driving the real program can follow it), or null. As pause or the quit menu opens over a
// race, the player car's speed comes first ("speed 5.20"), so such a test can tell whether its
// keys drove the car.
extern std::FILE* StateTrace;

void ResetGlobals();
