// The race record: the difficulty values that grow from race to race, the race clock and
// finish data, and the layout of the current race (road kinds, start grid, checkpoints, the
// cars). One instance per thread (see world/Globals.h), rebuilt by every race construction. Arrays
// are sized for the longest level (PatternLength 250: 272 road entries, 279 checkpoints) with room
// to spare, and every writer bounds its index.
#pragma once

#include <array>
#include <cstdint>

class TSprite;
class TPlayer;
class TCar;
class TEnemyCar;

constexpr int32_t kMaxPatternLength = 250;
constexpr int32_t kRoadCapacity = 300;        // RoadKinds / SideKinds entries
constexpr int32_t kCheckpointCapacity = 300;  // checkpoints 1..299
// The most opponents a race has. Every per-opponent table (the record's cars and distances,
// the walls' and bonuses' contact flags, the cars' touching flags) has this many entries, and
// OpponentsCreated never passes it, so a loop up to OpponentsCreated stays inside them all.
constexpr int32_t kMaxOpponents = 9;
constexpr int32_t kResultEntries = 9;  // Results 0..8

struct TPieceShape {
    int32_t Entry = 0, Exit = 0;
};

struct TCheckpoint {
    double X = 0, Y = 0;
    int32_t Number = 0;
};

struct TGridSlot {
    double X = 0, Y = 0;
};

struct TResult {
    int32_t Number = 0;  // the car's number
    int32_t Minutes = 0, Seconds = 0, Hundredths = 0;
};

struct TRaceRecord {
    // Difficulty (start values of a new game in ResetDifficulty).
    int32_t OpponentCount = 3;
    int32_t PatternLength = 90;
    int32_t PatternGapMin = 5, PatternGapMax = 10;
    int32_t PrizeBase = 500;
    int32_t LimitMinutes = 1, LimitSeconds = 0, LimitHundredths = 0;
    int32_t BonusSplitLow = 200, BonusSplitHigh = 400;
    int32_t CarVariant = 0;

    // The clock and the finish.
    int32_t ClockMinutes = 0, ClockSeconds = 0, ClockHundredths = 0;
    int32_t FinishPlace = 0;
    int32_t FinishMinutes = 0, FinishSeconds = 0, FinishHundredths = 0;
    uint8_t RaceFinished = 0;
    uint8_t PlayerWrecked = 0;
    int32_t RevealStep = 0;
    int32_t ScoreAtFinish = 0;
    // Hundredths of a second the clock has run since the green light (the player's race time).
    int32_t RaceHundredths = 0;

    // Layout.
    int32_t RoadLength = 0;
    std::array<uint8_t, kRoadCapacity> RoadKinds{};
    std::array<uint8_t, kRoadCapacity> SideKinds{};
    std::array<TPieceShape, 7> PieceShapes{};
    int32_t CarCount = 0;
    int32_t OpponentsCreated = 0;
    TPlayer* PlayerCar = nullptr;
    std::array<TEnemyCar*, kMaxOpponents> OpponentCars{};
    // Each opponent's race distance, which the player's place compares with its own.
    std::array<double, kMaxOpponents> OpponentDistance{};
    std::array<TGridSlot, 22> StartGrid{};  // slots 1..21
    double PlayerScreenX = 400, PlayerScreenY = 460;
    double BuildX = 0, BuildY = 0;
    int32_t NextPiece = 0;
    TSprite* HeadPiece = nullptr;
    std::array<TCheckpoint, kCheckpointCapacity> Checkpoints{};  // 1..CheckpointCount
    int32_t CheckpointCount = 0;
    std::array<double, kCheckpointCapacity> CheckpointDistance{};

    // Results of the finish line (entries 1..8).
    std::array<TResult, kResultEntries> Results{};
    int32_t ResultCount = 1;
};

extern thread_local TRaceRecord Race;

// The difficulty values of a new game.
void ResetDifficulty();
// Raises the difficulty after Level has been raised.
void AdvanceDifficulty(int32_t level);
// Everything back to the values at program load.
void ResetRaceRecord();
