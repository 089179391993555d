#include "shell/Globals.h"

#include "world/WorldContext.h"

namespace {
TRacePhase PhaseOf(uint8_t state) {
    if (state == 12) return TRacePhase::Racing;
    if (state == 27) return TRacePhase::Wreck;
    return TRacePhase::Idle;
}
}  // namespace

TForm1* Form1 = nullptr;

uint8_t FullScreen = 0;
uint8_t FullScreenApplied = 0;
uint8_t MusicOn = 1;
uint8_t SoundOn = 1;
int32_t Volume = 0;
TDailyGhostChoice DailyGhost = TDailyGhostChoice::Leader;
std::string ExtraText;
std::string PlayerName;
int32_t Level = 3;
std::array<THiScoreEntry, 10> HiScores{};
uint8_t GameImagesLoaded = 0;
int32_t CaretTick = 0;

TStateNumber CurrentState;
int32_t StateFrames = 0;
std::FILE* StateTrace = nullptr;

TStateNumber& TStateNumber::operator=(uint8_t value) {
    World.Phase = PhaseOf(value);
    if (value != Value && StateTrace != nullptr) {
        std::fprintf(StateTrace, "state %d\n", static_cast<int>(value));
        std::fflush(StateTrace);
    }
    Value = value;
    return *this;
}

void ResetGlobals() {
    ResetWorldGlobals();
    FullScreen = FullScreenApplied = 0;
    MusicOn = SoundOn = 1;
    Volume = 0;
    DailyGhost = TDailyGhostChoice::Leader;
    ExtraText.clear();
    PlayerName.clear();
    Level = 3;
    HiScores = {};
    GameImagesLoaded = 0;
    CaretTick = 0;
    CurrentState = 0;
    StateFrames = 0;
}
