// The generated road of a race: the start grid, the random layout of piece kinds and scenery
// zones, the run-out that closes it, the piece shapes, the checkpoint chain along the road's
// centre line and the finish position. Works on the race record only; the sprites that show
// the road are made by the race builder.
#pragma once

#include <cstdint>

struct TPoint2 {
    double X = 0, Y = 0;
};

void InitStartGrid();
void InitPieceShapes();
// Fills RoadKinds 0..length and SideKinds 0..length with run bounds gapMin/gapMax and sets
// RoadLength = length (clamped to the longest level).
void GenerateLayout(int32_t length, int32_t gapMin, int32_t gapMax);
// Returns the road to straight after the last piece and adds twenty straight pieces.
void CloseLayout();
// The checkpoint chain from the build cursor (taken after the start area is laid).
void BuildCheckpoints();
void MeasureCheckpoints();
// Centre of the finish line.
TPoint2 PlaceFinishLine();
// Shift (exit - entry) of a piece kind; 0 for an unknown kind.
int32_t PieceShift(int32_t kind);
