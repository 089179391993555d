#include "shell/daily/DailyRun.h"

#include <chrono>
#include <cstdio>

#include "world/RaceStep.h"

TDailyRun::TDailyRun()
    : UtcSeconds([] {
          // The one reading of the calendar: which day it is. Race time never comes from here.
          return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count());
      }) {}

TDailyRun::~TDailyRun() {
    if (RaceClock.Recording == &Log) EndDailyRace();
}

TDailyPlan TDailyRun::Today() const {
    return DailyPlanForUnixTime(UtcSeconds());
}

void TDailyRun::LoadBest(const std::string& folder) {
    if (BestLoaded) return;
    BestLoaded = true;
    const std::string report = Best.Load(folder);
    if (!report.empty()) std::fprintf(stderr, "%s\n", report.c_str());
}

bool TDailyRun::KeepBest(const std::string& folder, const std::string& name) {
    LoadBest(folder);
    if (End != TDailyEnd::Finished) return false;
    if (!Best.Record(DailyDateText(Plan), name, Hundredths, Log.Encode())) return false;
    std::string error;
    if (!Best.Save(folder, error)) std::fprintf(stderr, "%s\n", error.c_str());
    return true;
}

std::string DailyChallengeLine(const TDailyPlan& plan) {
    return "Today's challenge: " + DailyDateText(plan);
}
