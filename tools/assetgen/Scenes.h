// Pieces of the top-down scenes drawn at reduced scale: menu backdrops, the loading screen,
// the help pages and the track previews. A road follows any path, with kerbs, edge lines
// and a dashed centre line.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "Shading.h"

struct TPoint {
    double X = 0, Y = 0;
};

struct TSceneRoad {
    double Width = 40;        // tarmac width in pixels
    double Kerb = 4;          // red and white kerb on both sides
    double Brightness = 1.0;  // below 1 for dusk scenes
    bool CentreLine = true;
    uint64_t Seed = 1;
};

// A smooth path through points (Catmull-Rom turned into Bezier curves).
void SmoothPath(cairo_t* cr, const std::vector<TPoint>& points, bool closed);
// Strokes a road along the path that path() builds.
void DrawSceneRoad(cairo_t* cr, const TPathFn& path, const TSceneRoad& road);
// Grass, sand or a mix, painted over the whole w x h area.
void PaintGrassArea(cairo_t* cr, int w, int h, uint64_t seed, double brightness);
void PaintSandArea(cairo_t* cr, int w, int h, uint64_t seed, double brightness);
// A round tree crown or bush seen from above, centred at (cx, cy).
void DrawTreeCrown(cairo_t* cr, double cx, double cy, double r, uint64_t seed, TColor leaf);
// The menus' circuit at dusk over a whole 800 x 600 screen; brightness below 1 darkens it.
void DrawDuskCircuit(cairo_t* cr, double brightness);
// Darkens the corners of a w x h picture.
void Vignette(cairo_t* cr, int w, int h, double strength);
