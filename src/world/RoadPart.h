// The road: one TRoadPart per layout piece, 300 pixels tall, with the ground beside it
// (TRoadBack), scenery and road markings (TRoadPaint), four walls and maybe a bonus. Every
// frame a piece tells the cars' ground probes whether they are on its tarmac. Everything here
// scrolls with the world and removes itself once it has fallen far below the screen.
#pragma once

#include "world/WorldSprite.h"
#include "world/Geometry.h"

class TRoadPart : public TWorldSprite {
public:
    TRoadPart(TKerbSprite* engine, double entryX, double bottomY, int32_t kind, bool bonuses);
    void Move(float moveCount) override;
    // The tarmac quadrilateral in screen coordinates.
    TQuad4 Tarmac() const;
    // Sets OnRoad of every probe that lies on this piece.
    void GroundTest() const;

    double HalfWidth = 150;
    double ExitOffset = 150;
    double EntryOffset = 150;
    int32_t PieceKind = 0;
};

class TRoadBack : public TWorldSprite {
public:
    TRoadBack(TKerbSprite* engine, double left, double top, int32_t kind);
    void Move(float moveCount) override;
};

class TRoadPaint : public TWorldSprite {
public:
    TRoadPaint(TKerbSprite* engine, double centreX, double centreY, double angle, int32_t kind,
               int32_t zone);
    void Move(float moveCount) override;
};

void PlaceScenery(int32_t kind, double x, double y);
void ScatterBonus(double x, double y);
int32_t BonusKind();
// Half the tarmac width of a piece kind.
double PieceHalfWidth(int32_t kind);
