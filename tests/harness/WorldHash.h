// A hash of the race world's state (every sprite's position, angle and pattern, the cars'
// motion, the clock and the score), for replay tests that compare two runs frame by frame.
#pragma once

#include <cstdint>

class TKerbSprite;

uint64_t WorldHash(const TKerbSprite& sprites);
