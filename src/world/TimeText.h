// The race's times as text: the countdown clock, finish times and best times, all written
// minutes ":" seconds ":" hundredths with two-digit seconds and hundredths.
#pragma once

#include <cstdint>
#include <string>

// v with a leading zero below 10.
std::string TwoDigits(int32_t v);
// "m:ss:hh".
std::string ClockText(int32_t minutes, int32_t seconds, int32_t hundredths);
