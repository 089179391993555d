// The daily challenge's race: one road, one car and one set of opponents for every player on a
// given UTC date. Everything here follows from the date alone, so the game and the score service
// build the same race from the same text "YYYY-MM-DD".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TDailyPlan {
    int32_t Year = 0, Month = 0, Day = 0;  // UTC date
    uint64_t Seed = 0;                     // the game generator's seed, a mix of the date
    int32_t Level = 5;                     // the day's difficulty: the values of level 5
    int32_t Car = 0;                       // the player's car type, 0..4, from the seed
};

// The dates the challenge knows: 1970-01-01 to 9999-12-31 of the Gregorian calendar.
bool IsDailyDate(int32_t year, int32_t month, int32_t day);
// The plan of a date; an invalid date gives the empty plan (Year 0, Seed 0).
TDailyPlan DailyPlanFor(int32_t year, int32_t month, int32_t day);
// "2026-12-10": exactly ten characters, zero-padded, and a real date; anything else is nothing.
std::optional<TDailyPlan> ParseDailyDate(std::string_view yyyy_mm_dd);
std::string DailyDateText(const TDailyPlan& plan);
// The plan of the UTC date at `seconds` since 1970-01-01 00:00 UTC (clamped to the known dates).
TDailyPlan DailyPlanForUnixTime(int64_t seconds);
// Days since 1970-01-01 (0 for that day): the service compares a submission's date with today.
int64_t DailyDayNumber(const TDailyPlan& plan);
