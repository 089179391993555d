// Decoding a daily submission's form body (application/x-www-form-urlencoded): date, version,
// name, hundredths and the key log's text, each once. A pure function, so a fuzzer can drive
// it; the replay and the day's checks are the service's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "world/DailyChallenge.h"

// A key log of the longest race the service replays is well under this (see DailyService.h).
inline constexpr size_t kMaxDailyBodyBytes = 64 * 1024;
// Longer than the longest race's limit: a time above it cannot be a finish.
inline constexpr int32_t kMaxDailyHundredths = 60 * 60 * 100;

struct TDailySubmission {
    TDailyPlan Plan;
    std::string Version;
    std::string Name;
    int32_t Hundredths = 0;
    std::string Log;
};

struct TDecodedDaily {
    std::optional<TDailySubmission> Submission;
    std::string Error;  // the message for the player when there is no submission
};

TDecodedDaily DecodeDailySubmission(std::string_view body);

// Percent-decoding of one form value ("+" is a space); nothing for a broken escape.
std::optional<std::string> FormDecode(std::string_view text);
