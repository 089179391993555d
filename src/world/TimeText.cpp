#include "world/TimeText.h"

std::string TwoDigits(int32_t v) {
    return (v <= 9 ? "0" : "") + std::to_string(v);
}

std::string ClockText(int32_t minutes, int32_t seconds, int32_t hundredths) {
    return std::to_string(minutes) + ":" + TwoDigits(seconds) + ":" + TwoDigits(hundredths);
}
