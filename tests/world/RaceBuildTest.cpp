// Building a race, streaming the road, shifting the world, and the walls' bounce.
#include <gtest/gtest.h>

#include <cmath>

#include "world/Bonus.h"
#include "world/FinishLine.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RoadLayout.h"
#include "world/RoadPart.h"
#include "world/Walls.h"
#include "WorldFixture.h"

namespace {
struct TRaceFixture : TWorldFixture {
    explicit TRaceFixture(uint64_t seed = 1) : TWorldFixture(seed) {
        ResetDifficulty();
        World.Phase = TRacePhase::Racing;
        BuildRace();
    }
};
}  // namespace

// The clock starts at the difficulty's limit and a twentieth more, in whole hundredths, the
// limit itself left as the table has it.
TEST(BuildRace, TheClockGivesTheLimitAndATwentiethMore) {
    const struct {
        int32_t Minutes, Seconds, Hundredths;  // the limit
        int32_t WantMinutes, WantSeconds, WantHundredths;
    } cases[] = {
        {1, 0, 0, 1, 3, 0},     // the first level
        {1, 51, 0, 1, 56, 55},  // the tenth
        {0, 0, 7, 0, 0, 7},     // rounded down to a whole hundredth
        {0, 0, 0, 0, 0, 0},
        {-1, 0, 0, 0, 0, 0},  // a damaged limit never starts a negative clock
    };
    for (const auto& c : cases) {
        TWorldFixture f;
        Race.LimitMinutes = c.Minutes;
        Race.LimitSeconds = c.Seconds;
        Race.LimitHundredths = c.Hundredths;
        StartRaceClock();
        EXPECT_EQ(Race.ClockMinutes, c.WantMinutes) << c.Minutes << ":" << c.Seconds;
        EXPECT_EQ(Race.ClockSeconds, c.WantSeconds) << c.Minutes << ":" << c.Seconds;
        EXPECT_EQ(Race.ClockHundredths, c.WantHundredths) << c.Minutes << ":" << c.Seconds;
        EXPECT_EQ(Race.LimitMinutes, c.Minutes);
    }
}

TEST(BuildRace, FirstRaceLaysTheStartAreaSixPiecesAndTheirWalls) {
    TRaceFixture f;
    EXPECT_EQ(Race.RoadLength, 111);
    EXPECT_EQ(Race.CheckpointCount, 119);
    EXPECT_EQ(Race.CarCount, 4);
    EXPECT_EQ(Prize, 500);
    EXPECT_EQ(Race.ClockMinutes, 1);
    EXPECT_EQ(Race.NextPiece, 6);
    EXPECT_EQ(f.Count<TRoadPart>(), 14 + 6);
    EXPECT_EQ(f.Count<TRoadRock>(), 4 * 20);
    EXPECT_EQ(f.Count<TFinishLine>(), 1);
    ASSERT_NE(Race.PlayerCar, nullptr);
    EXPECT_FLOAT_EQ(Race.PlayerCar->CentreX(), 396);
    EXPECT_FLOAT_EQ(Race.PlayerCar->CentreY(), 460);
    // The player's slot is the rearmost of four, slot 4 at (+70, 440): the grid origin is
    // at (330, -30) and the start line is drawn there, 50 pixels above the player's slot.
    int paints = 0, startLines = 0;
    for (const TSprite* s : f.Sprites.SpriteList) {
        if (s->Image == nullptr) continue;
        if (s->Image->Name == "inplace") ++paints;
        if (s->Image->Name == "startline" && s->Name.empty()) {
            ++startLines;
            EXPECT_FLOAT_EQ(s->CenterX, 330);
            EXPECT_FLOAT_EQ(s->CenterY, -30);
        }
    }
    EXPECT_EQ(paints, 4);
    EXPECT_EQ(startLines, 1);
    // Checkpoint 1 lies half a piece above the start area's top.
    EXPECT_DOUBLE_EQ(Race.Checkpoints[1].Y, (460 - 490) - 1200 - 150);
}

TEST(BuildRace, NoBonusesOnTheStartPiecesOrTheLastTwelve) {
    TRaceFixture f;
    std::vector<int32_t> bonusPieces;
    // Stream the whole road by moving the head piece down each frame.
    int laid = 0;
    while (Race.NextPiece <= Race.RoadLength && laid < 400) {
        const int before = f.Count<TBonus>();
        const int32_t index = Race.NextPiece;
        Race.HeadPiece->SetY(0);
        ExtendRoad();
        if (f.Count<TBonus>() != before) bonusPieces.push_back(index);
        ++laid;
    }
    EXPECT_EQ(Race.NextPiece, Race.RoadLength + 1);
    EXPECT_FALSE(bonusPieces.empty());
    for (int32_t i : bonusPieces) {
        EXPECT_GE(i, 6);
        EXPECT_LT(i, Race.RoadLength - 11);
    }
}

TEST(ExtendRoad, LaysOnePieceAFrameOnlyWhenTheHeadComesNear) {
    TRaceFixture f;
    auto* head = dynamic_cast<TRoadPart*>(Race.HeadPiece);
    ASSERT_NE(head, nullptr);
    head->SetY(-301);
    ExtendRoad();
    EXPECT_EQ(Race.NextPiece, 6);
    head->SetY(-300);
    ExtendRoad();
    EXPECT_EQ(Race.NextPiece, 7);
    auto* next = dynamic_cast<TRoadPart*>(Race.HeadPiece);
    ASSERT_NE(next, head);
    // The new piece joins the old one: bottom at its top, entry at its exit.
    EXPECT_FLOAT_EQ(next->Y + 300, head->Y);
    EXPECT_DOUBLE_EQ(next->X + next->EntryOffset, head->X + head->ExitOffset);
    World.Phase = TRacePhase::Idle;
    next->SetY(0);
    ExtendRoad();
    EXPECT_EQ(Race.NextPiece, 7);
}

TEST(ShiftWorld, MovesTheRoadAndCheckpointsButNotThePlayer) {
    TRaceFixture f;
    const float playerX = Race.PlayerCar->X;
    const double cpX = Race.Checkpoints[5].X;
    const float headY = Race.HeadPiece->Y;
    ShiftWorld(10, -20);
    EXPECT_FLOAT_EQ(Race.PlayerCar->X, playerX);
    EXPECT_DOUBLE_EQ(Race.Checkpoints[5].X, cpX + 10);
    EXPECT_FLOAT_EQ(Race.HeadPiece->Y, headY - 20);
}

TEST(RoadPart, EveryKindBringsFourWallsAndFourSceneryPaints) {
    const int backs[7] = {2, 4, 4, 3, 3, 3, 3};
    for (int kind = 0; kind < 7; ++kind) {
        TWorldFixture f;
        InitPieceShapes();
        new TRoadPart(&f.Sprites, 400, 300, kind, false);
        EXPECT_EQ(f.Count<TRoadRock>(), 4) << kind;
        EXPECT_EQ(f.Count<TRoadBack>(), backs[kind]) << kind;
        int scenery = 0;
        for (const TSprite* s : f.Sprites.SpriteList) scenery += s->Name == "flowers";
        EXPECT_EQ(scenery, 4) << kind;
    }
}

TEST(RoadPart, ProbesOnTheTarmacAreMarked) {
    TWorldFixture f;
    InitPieceShapes();
    auto* piece = new TRoadPart(&f.Sprites, 400, 300, 0, false);
    auto* player = new TPlayer(&f.Sprites, 400, 150, 0, "player", -90, false);
    Race.PlayerCar = player;
    player->UpdateCorners();
    piece->GroundTest();
    EXPECT_TRUE(player->FrontPoint->OnRoad);
    EXPECT_TRUE(player->CentrePoint->OnRoad);
    // Off to the side: the front probe leaves the road first.
    player->FrontPoint->OnRoad = player->CentrePoint->OnRoad = false;
    player->FrontPoint->SetX(600);
    piece->GroundTest();
    EXPECT_FALSE(player->FrontPoint->OnRoad);
    EXPECT_TRUE(player->CentrePoint->OnRoad);
}

TEST(BonusKind, FollowsTheSplitsOfTheRaceRecord) {
    TWorldFixture f;
    ResetDifficulty();
    int counts[10] = {};
    for (int i = 0; i < 30000; ++i) ++counts[BonusKind()];
    // Coins (0) come from the first group, whose share is 200/600.
    EXPECT_NEAR(counts[0] / 30000.0, 200.0 / 600 * 101 / 310, 0.01);
    for (int k = 0; k < 10; ++k) EXPECT_GT(counts[k], 0) << k;
    Race.BonusSplitLow = 0;
    Race.BonusSplitHigh = 0;
    for (int i = 0; i < 1000; ++i) EXPECT_GE(BonusKind(), 5);
}

namespace {
struct TWallFixture : TWorldFixture {
    TPlayer* P;
    TRoadRock* Wall;
    TWallFixture() {
        World.Phase = TRacePhase::Racing;
        P = new TPlayer(&Sprites, 396, 460, 0, "player", -90, false);
        Race.PlayerCar = P;
        // A wall just to the right of the car, along the road.
        Wall = new TRoadRock(&Sprites, 436, 440, 0, 0);
        P->UpdateCorners();
    }
};
}  // namespace

TEST(Walls, ACarAtRestIsPushedAwayWithoutSpeedOrDamage) {
    TWallFixture f;
    Race.CheckpointCount = 1;
    Race.Checkpoints[1] = {0, 0, 1};
    Bounce(*f.P, *f.Wall, true);
    // At rest the travel vector is (1, 1): the world moves by twice the unit vector from the
    // car's centre (396, 460) to the wall's (436, 440), pushing the car away from the wall.
    const double len = std::hypot(40.0, 20.0);
    EXPECT_NEAR(Race.Checkpoints[1].X, 2 * 40 / len, 1e-9);
    EXPECT_NEAR(Race.Checkpoints[1].Y, 2 * -20 / len, 1e-9);
    EXPECT_EQ(f.P->Speed, 0);
    EXPECT_EQ(f.P->Health, 100);
}

TEST(Walls, HeadOnHitsBrakeHardAndDamage) {
    TWallFixture f;
    f.P->Speed = 6;
    f.P->Direction = f.P->Heading = 0;  // driving right, into the wall
    Bounce(*f.P, *f.Wall, true);
    EXPECT_LT(f.P->Speed, 6 * 0.6);
    EXPECT_EQ(f.P->Health, 100 - 18);
}

TEST(Walls, ReversingIntoAWallDoesNoDamageAndKeepsItsSpeed) {
    TWallFixture f;
    f.P->Speed = -2;
    f.P->Direction = f.P->Heading = 180;  // reversing: travel points away, body toward it
    Bounce(*f.P, *f.Wall, true);
    EXPECT_EQ(f.P->Health, 100);
    EXPECT_EQ(f.P->Speed, -2);
}

TEST(Walls, ACarOnTheWallsCentreIsPushedAlongOneOne) {
    TWallFixture f;
    auto* o = new TCar(&f.Sprites, 436, 440, 0, "enemy", -90, false, 0);
    // Put the car's centre exactly on the wall's centre.
    o->MoveBy(f.Wall->X + f.Wall->Width / 2.0 - o->CentreX(),
              f.Wall->Y + f.Wall->Height / 2.0 - o->CentreY());
    const float x0 = o->X, y0 = o->Y;
    Bounce(*o, *f.Wall, false);
    EXPECT_FLOAT_EQ(o->X, x0 - 2);
    EXPECT_FLOAT_EQ(o->Y, y0 - 2);
}

TEST(Walls, WallsTouchingThePlayerBounceItEveryFrame) {
    TWallFixture f;
    Race.CheckpointCount = 1;
    Race.Checkpoints[1] = {0, 0, 1};
    f.P->Speed = 3;
    f.P->Direction = f.P->Heading = -60;
    f.P->Angle = -150;  // turned 30 degrees toward the wall
    f.P->UpdateCorners();
    // What the bounce must do, from the travel direction w = (cos, sin)(-60 degrees) and the
    // unit vector u from the car's centre (396, 460) to the wall's (436, 440).
    const double wx = 0.5, wy = -std::sqrt(3.0) / 2;
    const double len = std::hypot(40.0, 20.0), ux = 40 / len, uy = -20 / len;
    const double turn = 4 - 4 * (ux * wy - uy * wx);
    f.Wall->Move(0);
    EXPECT_EQ(f.Wall->PlayerContact, 1);
    // The world moves away from the wall by u scaled by 1 + |w| per axis; the car slows by
    // half the share of its travel that goes into the wall, loses three health points per
    // unit of speed, and turns away from the wall, which lies to the right of its travel.
    EXPECT_NEAR(Race.Checkpoints[1].X, ux * (1 + std::fabs(wx)), 1e-9);
    EXPECT_NEAR(Race.Checkpoints[1].Y, uy * (1 + std::fabs(wy)), 1e-9);
    EXPECT_NEAR(f.P->Speed, 3 * (0.95 - (ux * wx + uy * wy) / 2), 1e-9);
    EXPECT_EQ(f.P->Health, 100 - 9);
    EXPECT_NEAR(f.P->Direction, -60 - turn, 1e-9);
    EXPECT_NEAR(f.P->Heading, -60 - turn, 1e-9);
    // Out of reach the next frame: no contact, and the car keeps what it has.
    const double speed = f.P->Speed, direction = f.P->Direction;
    f.Wall->SetX(2000);
    f.Wall->Move(0);
    EXPECT_EQ(f.Wall->PlayerContact, 0);
    EXPECT_EQ(f.P->Speed, speed);
    EXPECT_EQ(f.P->Direction, direction);
    EXPECT_EQ(f.P->Health, 100 - 9);
}
