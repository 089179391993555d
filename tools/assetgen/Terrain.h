// Ground textures seen from above (grass, sand, asphalt), computed pixel by pixel from
// tileable noise so that a texture w x h repeats without a seam in both directions.
#pragma once

#include <cstdint>

#include "Noise.h"
#include "Shading.h"

class TTerrain {
public:
    TTerrain(uint64_t seed, int width, int height);
    // broad scales the large soft patches (1: as strong as in a scene seen whole). Ground
    // tiles laid side by side at different offsets keep them faint, so that no patch ends
    // at a join.
    TColor Grass(double x, double y, double broad = 1) const;
    TColor Sand(double x, double y, double broad = 1) const;
    TColor Asphalt(double x, double y) const;
    // A smooth field in [0, 1] with a few broad features, for irregular borders.
    double Field(double x, double y) const { return Coarse.At(x, y); }

private:
    uint64_t Seed;
    TFractalNoise Coarse, Medium, Fine;
};

// A stable per-pixel random value in [0, 1), for speckles.
double PixelHash(int x, int y, uint64_t seed);
// A repeating asphalt texture (size x size) for stroking roads with cairo.
cairo_pattern_t* CreateAsphaltPattern(uint64_t seed, int size, double brightness);
