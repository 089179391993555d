#include "world/GameTables.h"

#include <algorithm>

#include "world/Globals.h"
#include "world/TimeText.h"

thread_local std::array<TTrack, 12> Tracks;
thread_local int32_t LastTrackIndex = 11;
thread_local int32_t TrackIndex = 0;
thread_local std::array<TCarType, 5> Cars;
thread_local int32_t LastCarIndex = 4;
thread_local int32_t CarIndex = 0;
thread_local int32_t TracksOpen = 3;
thread_local int32_t CarsOpen = 5;
thread_local int32_t UnlockStage = 0;
thread_local std::array<int32_t, 9> UnlockIncrements = {400,  500,  1000, 500, 2000,
                                                        2000, 2500, 4000, 4500};

namespace {
struct TTrackRow {
    const char* ImageName;
    const char* FileName;
    const char* LengthText;
    int32_t Laps, Opponents;
};

// Display order; the picture and file numbers follow their own order.
constexpr TTrackRow kTrackRows[12] = {
    {"tr_track3", "Data\\data4.prd", "540.4", 5, 4},
    {"tr_track12", "Data\\data13.prd", "662.7", 6, 4},
    {"tr_track4", "Data\\data5.prd", "470.3", 5, 5},
    {"tr_track1", "Data\\data3.prd", "710.4", 5, 5},
    {"tr_track11", "Data\\data12.prd", "785.1", 6, 6},
    {"tr_track7", "Data\\data8.prd", "992.4", 5, 6},
    {"tr_track6", "Data\\data7.prd", "692.4", 6, 7},
    {"tr_track5", "Data\\data6.prd", "643.2", 5, 7},
    {"tr_track8", "Data\\data9.prd", "812.8", 6, 7},
    {"tr_track2", "Data\\data2.prd", "910.4", 7, 7},
    {"tr_track10", "Data\\data11.prd", "952.7", 8, 7},
    {"tr_track9", "Data\\data10.prd", "856.2", 8, 7},
};

struct TCarRow {
    const char* Name;
    const char* ImageName;
    double MaxSpeed, Accel, Steering, Grip;
};

constexpr TCarRow kCarRows[5] = {
    {"Velkaro", "c_car1", 9.0, 0.05, 0.5, 0.85},   {"Turbo", "c_car2", 8.5, 0.07, 0.38, 0.9},
    {"Volcano", "c_car3", 9.5, 0.045, 0.42, 0.82}, {"Viper", "c_car4", 9.3, 0.04, 0.65, 0.8},
    {"Beast", "c_car5", 10.0, 0.06, 0.45, 0.84},
};
}  // namespace

void FillTrackTable() {
    TrackIndex = 0;
    LastTrackIndex = 11;
    for (size_t i = 0; i < Tracks.size(); ++i) {
        const TTrackRow& row = kTrackRows[i];
        TTrack& t = Tracks[i];
        t.Name = "Track " + std::to_string(i + 1);
        t.ImageName = row.ImageName;
        t.FileName = row.FileName;
        t.LengthText = row.LengthText;
        t.InfoLaps = row.Laps;
        t.InfoOpponents = row.Opponents;
        t.Available = 0;
        t.BestMinutes = 1000;
        t.BestSeconds = 0;
        t.BestHundredths = 0;
    }
}

void FillCarTable() {
    CarIndex = 0;
    LastCarIndex = 4;
    for (size_t i = 0; i < Cars.size(); ++i) {
        const TCarRow& row = kCarRows[i];
        Cars[i] = {row.Name, row.ImageName, 0, row.MaxSpeed, row.Accel, row.Steering, row.Grip};
    }
}

void ApplyOpenCounts() {
    for (int32_t i = 0; i < static_cast<int32_t>(Cars.size()); ++i)
        if (i < CarsOpen) Cars[static_cast<size_t>(i)].Available = 1;
    for (int32_t i = 0; i < static_cast<int32_t>(Tracks.size()); ++i)
        if (i < TracksOpen) Tracks[static_cast<size_t>(i)].Available = 1;
}

bool TimeNotAfter(int32_t aHundredths, int32_t aSeconds, int32_t aMinutes, int32_t bHundredths,
                  int32_t bSeconds, int32_t bMinutes) {
    if (aMinutes != bMinutes) return aMinutes < bMinutes;
    if (aSeconds != bSeconds) return aSeconds < bSeconds;
    return aHundredths <= bHundredths;
}

namespace {
// A rung raises a count to at least its value and never lowers it: all five cars start open,
// so the car rungs (3, 4, 5) must not close cars the player already has.
void OpenTracks(int32_t open) {
    TracksOpen = std::max(TracksOpen, open);
    for (int32_t i = 0; i < TracksOpen && i < 12; ++i) Tracks[static_cast<size_t>(i)].Available = 1;
}

void OpenCars(int32_t open) {
    CarsOpen = std::max(CarsOpen, open);
    for (int32_t i = 0; i < CarsOpen && i < 5; ++i) Cars[static_cast<size_t>(i)].Available = 1;
}
}  // namespace

int32_t UnlockNext() {
    // A stage read back from a damaged progress file (or set anywhere else) must neither index
    // past the ladder nor, below it, fall into the last rung and open every track.
    UnlockStage = std::clamp(UnlockStage, 0, 8);
    const int32_t tracks = TracksOpen, cars = CarsOpen;
    switch (UnlockStage) {
        case 0:
            OpenTracks(5);
            break;
        case 1:
            OpenCars(3);
            break;
        case 2:
            OpenTracks(7);
            break;
        case 3:
            OpenCars(4);
            break;
        case 4:
            OpenTracks(9);
            break;
        case 5:
            OpenCars(5);
            break;
        case 6:
            OpenTracks(10);
            break;
        case 7:
            OpenTracks(11);
            break;
        default:
            OpenTracks(12);
            break;
    }
    UnlockThreshold += UnlockIncrements[static_cast<size_t>(UnlockStage)];
    if (UnlockStage < 8) ++UnlockStage;
    if (TracksOpen > tracks) return 2;
    return CarsOpen > cars ? 1 : 0;
}

int32_t CheckUnlock(int32_t score, int32_t span) {
    const int64_t after = static_cast<int64_t>(score) + span;
    if (!(score < UnlockThreshold && after > UnlockThreshold)) return 0;
    return (UnlockStage == 0 || UnlockStage == 2 || UnlockStage == 4) ? 2 : 1;
}

std::string BestTimeText(const TTrack& track) {
    if (track.BestMinutes >= 1000) return "--:--:--";
    return ClockText(track.BestMinutes, track.BestSeconds, track.BestHundredths);
}

void ResetGameTables() {
    Tracks = {};
    Cars = {};
    LastTrackIndex = 11;
    TrackIndex = 0;
    LastCarIndex = 4;
    CarIndex = 0;
    TracksOpen = 3;
    CarsOpen = 5;
    UnlockStage = 0;
    UnlockIncrements = {400, 500, 1000, 500, 2000, 2000, 2500, 4000, 4500};
}
