// A hash of the race world's state (every sprite's position, angle and pattern, the cars'
// motion, the clock and the score): replay tests compare two runs by it frame by frame, and
// the golden races compare the end of a race between builds.
#pragma once

#include <cstdint>

class TKerbSprite;

uint64_t WorldHash(const TKerbSprite& sprites);
