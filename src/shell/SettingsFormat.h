// The two settings files as bytes: Config.cfg (display and sound, the options text, the
// current player's name, the high-score table, the player list) and Configdat.cfg (score,
// opened tracks and cars, the unlock ladder, 25 best-time slots). One encoded value per line,
// lines end with CR LF. Reading is forgiving of LF-only line ends, trailing spaces and a
// missing last line end, and never fails: a value that is missing, does not decode or is out
// of its range keeps the value already in the record (the default) and its line is reported.
// Pure functions on memory, so the fuzz target and the tests can call them directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Globals.h"
#include "shell/Players.h"

// Config.cfg. The daily ghost's choice is the line after the player list; files written
// before it was kept end with the list and keep the default choice.
struct TSettings {
    bool FullScreen = false;
    bool MusicOn = true;
    int32_t Volume = 0;
    std::string ExtraText;
    std::string PlayerName;
    // Only the names and score texts are stored; the position texts are not.
    std::array<THiScoreEntry, 10> HiScores{};
    TPlayerList Players;
    TDailyGhostChoice DailyGhost = TDailyGhostChoice::Leader;
};

struct TBestTime {
    int32_t Hundredths = 0;
    int32_t Seconds = 0;
    int32_t Minutes = 0;
};

// Slots 0 to 11 belong to the twelve tracks; the rest are kept and written back unchanged.
inline constexpr size_t kBestTimeSlots = 25;
inline constexpr size_t kSpareBestTimeSlots = kBestTimeSlots - 12;

// Configdat.cfg.
struct TProgress {
    int32_t Score = 0;
    int32_t TracksOpen = 3;
    int32_t CarsOpen = 5;
    int32_t UnlockThreshold = 300;
    int32_t UnlockStage = 0;
    std::array<TBestTime, kBestTimeSlots> BestTimes{};
};

// Value ranges a file must keep to; anything outside keeps the default.
inline constexpr int32_t kMaxVolume = 5;
inline constexpr int32_t kMinTracksOpen = 3, kMaxTracksOpen = 12;
inline constexpr int32_t kMinCarsOpen = 1, kMaxCarsOpen = 5;
inline constexpr int32_t kMaxUnlockStage = 8;
inline constexpr size_t kMaxTextLength = 12;
// Larger files are not settings files; reading stops here.
inline constexpr size_t kMaxSettingsFileSize = 64 * 1024;

// Line numbers (from 1) of the values that could not be used, in order.
using TDamagedLines = std::vector<int32_t>;

std::string EncodeSettings(const TSettings& settings);
TDamagedLines DecodeSettings(std::string_view bytes, TSettings& settings);

std::string EncodeProgress(const TProgress& progress);
TDamagedLines DecodeProgress(std::string_view bytes, TProgress& progress);

// "3, 27 and 28" for a message.
std::string DamagedLinesText(const TDamagedLines& lines);
