// The trigonometry and roots of the race step, computed by the same sequence of IEEE
// additions, multiplications, divisions and square roots on every build and processor. The C
// library's sin, cos, atan, acos and hypot may differ in the last place from one library (or
// one version) to the next, and a last place is enough for a replayed race to end elsewhere;
// these may not. Their contract is reproducibility, bit for bit, wherever the world is built
// without contracted multiply-adds (the build sees to that); their accuracy, checked against
// the C library by the tests, is within 1e-15 of the true value for the angles and lengths a
// race has (|x| up to 1e4 radians, lengths up to 1e6). The square root is exact in IEEE
// arithmetic, so std::sqrt is used as it is.
#pragma once

#include <cmath>
#include <cstdint>

double RaceSin(double radians);
double RaceCos(double radians);
// Both at once, the same bits as RaceSin and RaceCos: the angle is reduced once.
struct TSinCos {
    double Sin, Cos;
};
TSinCos RaceSinCos(double radians);
// In radians, -pi/2 .. pi/2.
double RaceAtan(double x);
// In radians, 0 .. pi; NaN outside -1 .. 1.
double RaceAcos(double x);
// sqrt(x * x + y * y); inline, as the race measures thousands of lengths a frame.
inline double RaceHypot(double x, double y) {
    return std::sqrt(x * x + y * y);
}

// The nearest whole number (ties to even), clamped to +-2^53 and 0 for NaN: converting an
// out-of-range double to an integer is undefined, and processors answer it differently (x86
// gives the most negative integer, ARM saturates), so no conversion in the race may meet one.
int64_t RaceRound(double v);

// For the golden-race tests only: RaceSin's results are moved this many places in the last
// digit, so a test can show that a difference of one place changes how a race ends. Always 0
// in the game and the service.
extern thread_local int32_t RaceSinNudgeUlps;
