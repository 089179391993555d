// Seeded randomness and tileable value noise for textures. Our own generator, so the same
// seed gives the same picture with every compiler and standard library.
#pragma once

#include <cstdint>
#include <vector>

class TRandom {
public:
    explicit TRandom(uint64_t seed) : State(seed) {}
    uint64_t Next();
    // Uniform in [0, 1).
    double Unit();
    // Uniform in [lo, hi).
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    // Uniform integer 0..n-1.
    int Below(int n);

private:
    uint64_t State;
};

// Value noise on a lattice that wraps every periodX by periodY cells, smoothly interpolated,
// so a texture sampled over whole periods tiles without a seam. Values lie in [0, 1].
class TTileNoise {
public:
    TTileNoise(uint64_t seed, int periodX, int periodY);
    // x and y in lattice cells.
    double At(double x, double y) const;

private:
    int PX, PY;
    std::vector<double> Lattice;
};

// Several octaves of tileable noise over a picture of width x height pixels whose coarsest
// cell is width / cellsX pixels wide; every octave keeps the picture's period.
class TFractalNoise {
public:
    TFractalNoise(uint64_t seed, int width, int height, int cellsX, int cellsY, int octaves);
    double At(double x, double y) const;

private:
    int Width, Height;
    std::vector<TTileNoise> Octaves;
    std::vector<int> CellsX, CellsY;
};
