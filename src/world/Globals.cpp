#include "world/Globals.h"

#include <cstring>

TForm1* Form1 = nullptr;
TKeyTables KeyTables{};

uint8_t FullScreen = 0;
uint8_t FullScreenApplied = 0;
uint8_t MusicOn = 1;
uint8_t SoundOn = 1;
int32_t Volume = 0;
std::string ExtraText;
std::string PlayerName;
int32_t Score = 0;
int32_t Level = 3;
int32_t Lives = 0;
int32_t Prize = 0;
int32_t UnlockThreshold = 300;
std::array<THiScoreEntry, 10> HiScores{};
uint8_t GameImagesLoaded = 0;
int32_t CaretTick = 0;

uint8_t CurrentState = 0;
int32_t StateFrames = 0;
int32_t PhaseCounter = 0;

void ClearKeyReleased() {
    std::memset(KeyTables.Released, 0, sizeof KeyTables.Released);
}

void ClearKeyTables() {
    std::memset(&KeyTables, 0, sizeof KeyTables);
}

void ResetGlobals() {
    ClearKeyTables();
    FullScreen = FullScreenApplied = 0;
    MusicOn = SoundOn = 1;
    Volume = 0;
    ExtraText.clear();
    PlayerName.clear();
    Score = 0;
    Level = 3;
    Lives = 0;
    Prize = 0;
    UnlockThreshold = 300;
    HiScores = {};
    GameImagesLoaded = 0;
    CaretTick = 0;
    CurrentState = 0;
    StateFrames = 0;
    PhaseCounter = 0;
}
