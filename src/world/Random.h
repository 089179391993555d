// The game's one random generator. Seeded once at start-up (and by tests and replays with a
// fixed seed); Random(n) gives 0..n-1. The sequence is fixed by our own code (PCG32 with an
// unbiased bounded draw), so one seed gives the same race with every compiler and library.
// Drawing code never draws from it, so headless and windowed runs stay in step.
#pragma once

#include <cstdint>

class TRandom {
public:
    void Seed(uint64_t seed);
    uint32_t Next();
    // 0 .. n-1; 0 when n <= 0.
    int32_t Below(int32_t n);
    // A double in [0, 1).
    double Unit();
    uint64_t State() const { return StateValue; }

private:
    uint64_t StateValue = 0x853c49e6748fea9bULL;
    uint64_t Increment = 0xda3e39cb94b95bdbULL;
};

TRandom& GameRandom();
void Randomize(uint64_t seed);
int32_t Random(int32_t n);
double RandomUnit();
