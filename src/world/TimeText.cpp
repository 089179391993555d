#include "world/TimeText.h"

std::string TwoDigits(int32_t v) {
    // Built by appending: GCC 12 at -O3 takes "literal" + std::string for an overlapping copy
    // (a false -Werror=restrict).
    std::string text(v <= 9 ? 1 : 0, '0');
    text += std::to_string(v);
    return text;
}

std::string ClockText(int32_t minutes, int32_t seconds, int32_t hundredths) {
    return std::to_string(minutes) + ":" + TwoDigits(seconds) + ":" + TwoDigits(hundredths);
}
