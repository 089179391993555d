#include "world/DailyChallenge.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int32_t kFirstYear = 1970, kLastYear = 9999;
// Mixed into the date before hashing, so the daily seeds do not coincide with small seeds a
// player or a test might pick.
constexpr uint64_t kDailySalt = 0x56454C4B44415931ULL;
constexpr int32_t kCarTypes = 5;

uint64_t SplitMix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

bool IsLeapYear(int32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int32_t DaysInMonth(int32_t y, int32_t m) {
    static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 to a Gregorian date, counting in 400-year eras that start in March.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

TDailyPlan PlanFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return DailyPlanFor(static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d));
}

int32_t Digits(std::string_view text, size_t from, size_t count) {
    int32_t value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}
}  // namespace

bool IsDailyDate(int32_t year, int32_t month, int32_t day) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) return false;
    return day >= 1 && day <= DaysInMonth(year, month);
}

TDailyPlan DailyPlanFor(int32_t year, int32_t month, int32_t day) {
    TDailyPlan plan;
    if (!IsDailyDate(year, month, day)) return plan;
    plan.Year = year;
    plan.Month = month;
    plan.Day = day;
    const uint64_t date = static_cast<uint64_t>(year) * 10000u +
                          static_cast<uint64_t>(month) * 100u + static_cast<uint64_t>(day);
    plan.Seed = SplitMix64(date ^ kDailySalt);
    // The high bits, so the car does not follow the low bits the generator's seeding also uses.
    plan.Car = static_cast<int32_t>((plan.Seed >> 32) % kCarTypes);
    return plan;
}

std::optional<TDailyPlan> ParseDailyDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const int32_t y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (y < 0 || m < 0 || d < 0 || !IsDailyDate(y, m, d)) return std::nullopt;
    return DailyPlanFor(y, m, d);
}

std::string DailyDateText(const TDailyPlan& plan) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(plan.Year),
                  static_cast<int>(plan.Month), static_cast<int>(plan.Day));
    return text;
}

TDailyPlan DailyPlanForUnixTime(int64_t seconds) {
    // Floor division: a second before 1970 belongs to 1969-12-31, which then clamps.
    int64_t days = seconds / 86400;
    if (seconds % 86400 < 0) --days;
    const int64_t last = DaysFromCivil(kLastYear, 12, 31);
    return PlanFromDays(std::clamp<int64_t>(days, 0, last));
}

int64_t DailyDayNumber(const TDailyPlan& plan) {
    return DaysFromCivil(plan.Year, plan.Month, plan.Day);
}
