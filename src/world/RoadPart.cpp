#include "world/RoadPart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "world/Bonus.h"
#include "world/EnemyCar.h"
#include "world/FollowWorld.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RaceRecord.h"
#include "world/Random.h"
#include "world/Walls.h"
#include "world/WorldContext.h"

namespace {
struct TKindLook {
    const char* Image;
    const char* Name;
    std::vector<int32_t> BackColumns;
};

const TKindLook kKinds[7] = {
    {"r_str", "roadstr", {-800, 0}},
    {"r_left", "roadstrvert", {-800, 800, -1600, 0}},
    {"r_right", "roadroters", {-800, 800, -1600, 0}},
    {"r_str_right", "roadroters", {-800, -1600, 0}},
    {"r_str_left", "roadroters", {-800, 800, 0}},
    {"r_right_str", "roadroters", {-800, -1600, 0}},
    {"r_left_str", "shina", {-800, 800, 0}},
};

const char* const kBackImages[4] = {"back1", "back2", "back3", "back4"};

int32_t CurrentSideKind() {
    const int32_t i = Race.NextPiece;
    return i >= 0 && i < kRoadCapacity ? Race.SideKinds[static_cast<size_t>(i)] : 0;
}

// Only ever sets the flag (the car clears it each frame), so a probe already on some piece's
// tarmac needs no further test.
void MarkIfOnRoad(const TQuad4& tarmac, const TQuadBox& box, TGroundPoint& probe,
                  const TQuadBox& probeBox) {
    if (probe.OnRoad) return;
    if (BoxesFarApart(probeBox, box)) return;  // most pieces are far from most probes
    if (QuadsOverlapNear(probe.Square(), probeBox, tarmac, box)) probe.OnRoad = true;
}

// The probes a run of road pieces tests, each with its box, the hull of those boxes (with the
// largest margin, so a piece far from it is far from every probe), and the opponents below the
// screen, which are not tested. The pieces move one after another in each pass and none moves
// a car, so this holds from one piece to the next; it is taken again when the sprite moved
// before a piece was not a piece. A hull's min and max would drop a place that is not a number
// (never seen in a race), so with one the hull is not used.
struct TProbeRun {
    uint64_t Mark = 0;
    int32_t Count = 0;
    bool HullHolds = true;
    std::array<TGroundPoint*, 2 * (kMaxOpponents + 1)> Probes{};
    std::array<TQuadBox, 2 * (kMaxOpponents + 1)> Boxes{};
    TQuadBox Hull{};
    int32_t BelowCount = 0;
    std::array<TEnemyCar*, kMaxOpponents> Below{};

    void Add(TGroundPoint* probe) {
        if (probe == nullptr) return;
        const TQuadBox b = SquareBox(probe->X, probe->Y, 2);
        HullHolds = HullHolds && std::isfinite(b.MinX + b.MaxX + b.MinY + b.MaxY);
        if (Count == 0) {
            Hull = b;
        } else {
            Enclose(Hull, b);
        }
        Probes[static_cast<size_t>(Count)] = probe;
        Boxes[static_cast<size_t>(Count)] = b;
        ++Count;
    }
};

thread_local TProbeRun ProbeRun;

void TakeProbes(TProbeRun& run) {
    const uint64_t mark = run.Mark;
    run = TProbeRun{};
    run.Mark = mark;
    if (const TPlayer* p = Race.PlayerCar) {
        run.Add(p->FrontPoint);
        run.Add(p->CentrePoint);
    }
    const int32_t count = std::min(Race.OpponentsCreated, kMaxOpponents);
    for (int32_t i = 0; i < count; ++i) {
        TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        if (o == nullptr) continue;
        // Opponents below the screen are not tested: they count as on the road.
        if (o->Y >= 600) {
            run.Below[static_cast<size_t>(run.BelowCount++)] = o;
            continue;
        }
        run.Add(o->FrontPoint);
        run.Add(o->CentrePoint);
    }
}
}  // namespace

double PieceHalfWidth(int32_t kind) {
    if (kind == 0) return 150;
    if (kind == 1 || kind == 2) return 184;
    return 170;
}

TRoadPart::TRoadPart(TKerbSprite* engine, double entryX, double bottomY, int32_t kind, bool bonuses)
    : TWorldSprite(engine), PieceKind(kind >= 0 && kind <= 6 ? kind : 0) {
    SetZ(20);
    const TKindLook& look = kKinds[PieceKind];
    for (int32_t column : look.BackColumns)
        new TRoadBack(engine, entryX + column, bottomY - 300, CurrentSideKind());
    SetImage(RaceImage(look.Image));
    SetName(look.Name);
    Angle = 0;
    SetPatternIndex(0);
    HalfWidth = PieceHalfWidth(PieceKind);
    PlaceWalls(PieceKind, entryX, bottomY);
    PlaceScenery(PieceKind, entryX, bottomY);
    if (bonuses) ScatterBonus(entryX, bottomY);
    EntryOffset = Race.PieceShapes[static_cast<size_t>(PieceKind)].Entry;
    ExitOffset = Race.PieceShapes[static_cast<size_t>(PieceKind)].Exit;
    SetX(static_cast<float>(entryX - EntryOffset));
    SetY(static_cast<float>(bottomY - 300));
}

TQuad4 TRoadPart::Tarmac() const {
    const double top = Y, bottom = Y + Height;
    return {TVec2{X + ExitOffset - HalfWidth, top}, TVec2{X + ExitOffset + HalfWidth, top},
            TVec2{X + EntryOffset + HalfWidth, bottom}, TVec2{X + EntryOffset - HalfWidth, bottom}};
}

void TRoadPart::GroundTest() const {
    const TQuad4 tarmac = Tarmac();
    const TQuadBox box = QuadBox(tarmac);
    TProbeRun& run = ProbeRun;
    if (!ContinuesRun(run.Mark)) TakeProbes(run);
    for (int32_t i = 0; i < run.BelowCount; ++i) {
        TEnemyCar* o = run.Below[static_cast<size_t>(i)];
        o->FrontPoint->OnRoad = o->CentrePoint->OnRoad = true;
    }
    if (run.Count == 0 || (run.HullHolds && BoxesFarApart(run.Hull, box))) return;
    for (int32_t k = 0; k < run.Count; ++k)
        MarkIfOnRoad(tarmac, box, *run.Probes[static_cast<size_t>(k)],
                     run.Boxes[static_cast<size_t>(k)]);
}

void TRoadPart::Move(float) {
    FollowWorld(*this);
    GroundTest();
    if (Y > 3000) Dead();
}

TRoadBack::TRoadBack(TKerbSprite* engine, double left, double top, int32_t kind)
    : TWorldSprite(engine) {
    SetImage(RaceImage(kBackImages[kind >= 0 && kind <= 3 ? kind : 0]));
    SetName("roadback");
    SetPatternIndex(0);
    SetAlpha(255);
    SetX(static_cast<float>(left));
    SetY(static_cast<float>(top));
    SetZ(0);
    ScaleY = 1.1f;
}

void TRoadBack::Move(float) {
    FollowWorld(*this, true);
    if (Y > 3000) Dead();
}

TRoadPaint::TRoadPaint(TKerbSprite* engine, double centreX, double centreY, double angle,
                       int32_t kind, int32_t zone)
    : TWorldSprite(engine) {
    if (kind == 0) {
        SetImage(RaceImage("inplace"));
    } else if (kind == 1) {
        SetImage(RaceImage("startline"));
    } else if (kind == 2) {
        if (zone == 0) SetImage(RaceImage("trees"));
        if (zone >= 1 && zone <= 3) SetImage(RaceImage("desert"));
        SetName("flowers");
        SetPatternIndex(Random(8));
        SetX(static_cast<float>(40 - Random(80)));
        SetY(static_cast<float>(40 - Random(80)));
    }
    SetX(static_cast<float>(X + centreX - Width / 2.0));
    SetY(static_cast<float>(Y + centreY - Height / 2.0));
    RotationCenterX = RotationCenterY = 0.5f;
    SetZ(29);
    Angle = static_cast<float>(angle);
}

void TRoadPaint::Move(float) {
    FollowWorld(*this);
    if (Y > 2000) Dead();
}

namespace {
void Scenery(double cx, double cy) {
    const double angle = Random(360);
    new TRoadPaint(World.Sprites, cx, cy, angle, 2, CurrentSideKind());
}
}  // namespace

void PlaceScenery(int32_t kind, double x, double y) {
    if (World.Sprites == nullptr) return;
    if (kind == 0) {
        const bool rightSwap = Random(10) > 5;
        Scenery(x + (rightSwap ? 330 : 430), y - 75);
        Scenery(x + (rightSwap ? 430 : 330), y - 225);
        const bool leftSwap = Random(10) > 5;
        Scenery(x - (leftSwap ? 330 : 430), y - 75);
        Scenery(x - (leftSwap ? 430 : 330), y - 225);
        return;
    }
    Scenery(x + 430, y - 75);
    Scenery(x + 530, y - 225);
    const bool wideLeft = kind == 1 || kind == 4 || kind == 6;
    Scenery(x - (wideLeft ? 460 : 430), y - 75);
    Scenery(x - (wideLeft ? 630 : 530), y - 225);
}

void ScatterBonus(double x, double y) {
    if (Random(30) <= 15) return;
    const int32_t dx = Random(200);
    const int32_t dy = Random(200);
    const int32_t kind = BonusKind();
    if (World.Sprites != nullptr) new TBonus(World.Sprites, x - 100 + dx, y - 100 + dy, kind);
}

int32_t BonusKind() {
    const int32_t c = Random(600);
    if (c < Race.BonusSplitLow) {
        const int32_t a = Random(310);
        return a <= 100 ? 0 : (a <= 270 ? 1 : 2);
    }
    if (c < Race.BonusSplitHigh) {
        const int32_t a = Random(200);
        return a <= 100 ? 3 : (a <= 150 ? 8 : 4);
    }
    const int32_t a = Random(225);
    if (a <= 100) return 5;
    if (a <= 170) return 9;
    return a <= 220 ? 7 : 6;
}
