// Shared pieces of the daily challenge's service tests: the autopilot's race of a day it
// finishes, recorded once per test program, and the form body of a submission.
#pragma once

#include <cstdlib>
#include <string>

#include "common/Version.h"
#include "harness/DailyRecording.h"

// A day whose race the autopilot finishes, and a moment (noon UTC) on it.
inline constexpr const char* kDrivenDay = "2026-12-09";
inline constexpr int64_t kDrivenDayNoon = 1796774400 + 12 * 3600;

inline const TDailyRecording& DrivenRace() {
    static const TDailyRecording recording = RecordDailyRace(*ParseDailyDate(kDrivenDay));
    return recording;
}

inline std::string GameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : "";
}

struct TDailyForm {
    std::string Date = kDrivenDay;
    std::string Version = kVelkaroVersion;
    std::string Name = "Ann";
    std::string Hundredths;
    std::string Log;

    // The driven race as the game sends it.
    static TDailyForm Driven() {
        TDailyForm f;
        f.Hundredths = std::to_string(DrivenRace().RaceHundredths);
        f.Log = DrivenRace().Log.Encode();
        return f;
    }
    std::string Body() const {
        return "date=" + Date + "&version=" + Version + "&name=" + Name +
               "&hundredths=" + Hundredths + "&log=" + Log;
    }
};
