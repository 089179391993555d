#include "world/Random.h"

void TRandom::Seed(uint64_t seed) {
    StateValue = 0;
    Increment = (seed << 1u) | 1u;
    Next();
    StateValue += seed;
    Next();
}

uint32_t TRandom::Next() {
    const uint64_t old = StateValue;
    StateValue = old * 6364136223846793005ULL + Increment;
    const uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

int32_t TRandom::Below(int32_t n) {
    if (n <= 0) return 0;
    const uint32_t bound = static_cast<uint32_t>(n);
    // Rejects the few values that would favour the low results.
    const uint32_t threshold = (0u - bound) % bound;
    for (;;) {
        const uint32_t r = Next();
        if (r >= threshold) return static_cast<int32_t>(r % bound);
    }
}

double TRandom::Unit() {
    return static_cast<double>(Next()) / 4294967296.0;
}

TRandom& GameRandom() {
    thread_local TRandom generator;
    return generator;
}

void Randomize(uint64_t seed) {
    GameRandom().Seed(seed);
}
int32_t Random(int32_t n) {
    return GameRandom().Below(n);
}
double RandomUnit() {
    return GameRandom().Unit();
}
