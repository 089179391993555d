// The fixed tables the player chooses from: twelve tracks and five car types, the unlock
// ladder that opens more of them as the score grows, and the comparison of race times used
// for best times. Filled once at start-up and kept for the whole run.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TTrack {
    std::string Name;
    std::string ImageName;
    std::string FileName;  // carried along, never opened: every road is generated
    uint8_t Available = 0;
    int32_t BestHundredths = 0;
    int32_t BestSeconds = 0;
    int32_t BestMinutes = 1000;  // 1000 = no best time yet
    std::string LengthText;
    int32_t InfoLaps = 0;
    int32_t InfoOpponents = 0;
};

struct TCarType {
    std::string Name;
    std::string ImageName;
    uint8_t Available = 0;
    double MaxSpeed = 0;
    double Accel = 0;
    double Steering = 0;
    double Grip = 0;
};

extern thread_local std::array<TTrack, 12> Tracks;
extern thread_local int32_t LastTrackIndex;
extern thread_local int32_t TrackIndex;
extern thread_local std::array<TCarType, 5> Cars;
extern thread_local int32_t LastCarIndex;
extern thread_local int32_t CarIndex;
extern thread_local int32_t TracksOpen;
extern thread_local int32_t CarsOpen;
extern thread_local int32_t UnlockStage;
extern thread_local std::array<int32_t, 9> UnlockIncrements;

void FillTrackTable();
void FillCarTable();
// Marks the first TracksOpen tracks and CarsOpen cars as available.
void ApplyOpenCounts();

// True when time a (hundredths, seconds, minutes) is earlier than or equal to time b.
bool TimeNotAfter(int32_t aHundredths, int32_t aSeconds, int32_t aMinutes, int32_t bHundredths,
                  int32_t bSeconds, int32_t bMinutes);

// Applies the current unlock stage, raises UnlockThreshold and moves to the next stage.
// Returns what opened: 2 a track, 1 a car, 0 nothing (past the ladder's end).
int32_t UnlockNext();
// 2 when score -> score + span crosses UnlockThreshold at a stage that opens two tracks,
// 1 at any other stage, 0 without a crossing.
int32_t CheckUnlock(int32_t score, int32_t span);

// The best-time display: "m:ss:hh", or "--:--:--" without a best time.
std::string BestTimeText(const TTrack& track);

// Puts the tables and ladder back to their values at program load.
void ResetGameTables();
