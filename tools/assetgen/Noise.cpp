#include "Noise.h"

#include <cmath>

uint64_t TRandom::Next() {
    // splitmix64: tiny, fast and well mixed enough for textures.
    uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double TRandom::Unit() {
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

int TRandom::Below(int n) {
    return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n));
}

TTileNoise::TTileNoise(uint64_t seed, int periodX, int periodY)
    : PX(periodX < 1 ? 1 : periodX), PY(periodY < 1 ? 1 : periodY) {
    TRandom rng(seed);
    Lattice.resize(static_cast<size_t>(PX * PY));
    for (double& v : Lattice) v = rng.Unit();
}

static double Smooth(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

double TTileNoise::At(double x, double y) const {
    double fx = std::floor(x), fy = std::floor(y);
    double tx = Smooth(x - fx), ty = Smooth(y - fy);
    auto wrap = [](long v, int p) { return static_cast<int>(((v % p) + p) % p); };
    int x0 = wrap(static_cast<long>(fx), PX), y0 = wrap(static_cast<long>(fy), PY);
    int x1 = (x0 + 1) % PX, y1 = (y0 + 1) % PY;
    auto v = [&](int i, int j) { return Lattice[static_cast<size_t>(j * PX + i)]; };
    double top = v(x0, y0) + (v(x1, y0) - v(x0, y0)) * tx;
    double bottom = v(x0, y1) + (v(x1, y1) - v(x0, y1)) * tx;
    return top + (bottom - top) * ty;
}

TFractalNoise::TFractalNoise(uint64_t seed, int width, int height, int cellsX, int cellsY,
                             int octaves)
    : Width(width), Height(height) {
    for (int i = 0; i < octaves; ++i) {
        int cx = cellsX << i, cy = cellsY << i;
        Octaves.emplace_back(seed * 7919 + static_cast<uint64_t>(i) * 104729, cx, cy);
        CellsX.push_back(cx);
        CellsY.push_back(cy);
    }
}

double TFractalNoise::At(double x, double y) const {
    double sum = 0, weight = 0, amp = 1;
    for (size_t i = 0; i < Octaves.size(); ++i) {
        sum += amp * Octaves[i].At(x * CellsX[i] / Width, y * CellsY[i] / Height);
        weight += amp;
        amp *= 0.5;
    }
    return sum / weight;
}
