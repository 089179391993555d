// The daily race as the shell runs it: the day's plan (from the UTC date of an injectable
// wall clock), the race's key log, the result of the last try, the player's local bests and
// the conversation with the score service. TForm1 holds one; the daily screens and the race
// frame share it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shell/daily/DailyBest.h"
#include "shell/daily/DailyGhost.h"
#include "shell/daily/DailyOnline.h"
#include "world/DailyChallenge.h"
#include "world/KeyLog.h"

// How the last daily try ended.
enum class TDailyEnd { None, Finished, TimesUp, Wrecked };

// Where the submission of the last try stands, as the after-race page shows it.
enum class TDailySubmitState { NotSent, Sending, Accepted, Refused, Unreachable };

struct TDailyRun {
    // Seconds since 1970 (UTC) now; tests set their own day.
    std::function<int64_t()> UtcSeconds;
    // A daily race is running, or its after-race page shows.
    bool Active = false;
    TDailyPlan Plan;
    // The keys of every simulation frame of the running (or last) race.
    TKeyLog Log;
    TDailyEnd End = TDailyEnd::None;
    int32_t Hundredths = 0;  // the finish time the game saw
    bool NewBest = false;
    TDailySubmitState Submit = TDailySubmitState::NotSent;
    std::string SubmitText;  // the service's answer as the page shows it
    // The page the table's back button returns to.
    uint8_t TableReturn = 0;

    TDailyBest Best;
    bool BestLoaded = false;
    TDailyOnline Online;
    // The ghost raced in the day's race, prepared on the preview page.
    TDailyGhost Ghost;
    // The day's table as the table page shows it.
    enum class TTableState { Asking, Shown, Unreachable } Table = TTableState::Asking;
    TDailyTable TableData;
    // The car choice and score of the normal game, kept aside while a daily race runs.
    bool Saved = false;
    int32_t SavedCarIndex = 0;
    int32_t SavedScore = 0;

    TDailyRun();
    // Ends a daily race still running (the window closed during it), so that the world stops
    // recording into this log and its clock follows the wall clock again.
    ~TDailyRun();
    TDailyRun(const TDailyRun&) = delete;
    TDailyRun& operator=(const TDailyRun&) = delete;
    // Today's plan from the clock.
    TDailyPlan Today() const;
    // Reads the local best file once per run; damaged lines go to standard error once.
    void LoadBest(const std::string& folder);
    // Keeps a finish as the day's best when it is one and writes the file; returns whether
    // it was a new best.
    bool KeepBest(const std::string& folder, const std::string& name);
};

// The text for the line under the preview's title: "Today's challenge: 2026-12-10".
std::string DailyChallengeLine(const TDailyPlan& plan);
