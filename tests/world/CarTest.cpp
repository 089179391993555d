// The car model: construction geometry, the control primitives, the key handling and the
// motion step's friction and drift rules.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>

#include "platform/KeyCodes.h"
#include "world/Car.h"
#include "world/Dashboard.h"
#include "world/Player.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "WorldFixture.h"

namespace {
TPlayer* MakePlayer(TWorldFixture& f, int32_t type = 0) {
    auto* p = new TPlayer(&f.Sprites, 396, 460, type, "player", -90, false);
    Race.PlayerCar = p;
    return p;
}
}  // namespace

TEST(Car, ConstructionTakesTheTypesPictureValuesAndGeometry) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f, 1);  // "Turbo" drives picture car4
    EXPECT_EQ(p->Image->Name, "car4");
    EXPECT_EQ(p->Width, 48);
    EXPECT_EQ(p->Height, 88);
    EXPECT_FLOAT_EQ(p->X, 396 - 24);
    EXPECT_FLOAT_EQ(p->Y, 460 - 44);
    EXPECT_EQ(p->MaxSpeed, 8.5);
    EXPECT_EQ(p->Accel, 0.07);
    EXPECT_EQ(p->Heading, -90);
    EXPECT_FLOAT_EQ(p->Angle, -180);
    EXPECT_EQ(p->Z, 50);
    EXPECT_FLOAT_EQ(p->RotationCenterY, 0.3f);
    // Corners seen from the pivot (0.5, 0.3): the front pair nearer than the rear pair.
    EXPECT_NEAR(p->Corners[0].Radius, std::hypot(21.0, 0.3 * 88 - 3), 1e-9);
    EXPECT_NEAR(p->Corners[1].Radius, std::hypot(21.0, 0.7 * 88 - 3), 1e-9);
    const double a = std::atan(24.0 / (0.3 * 88)) * 180 / std::numbers::pi;
    EXPECT_NEAR(p->CornerAngles[0], 270 - a, 1e-9);
    EXPECT_NEAR(p->CornerAngles[3], 270 + a, 1e-9);
    EXPECT_NE(p->FrontPoint, nullptr);
    EXPECT_NE(p->Shadow, nullptr);
    EXPECT_EQ(p->Shadow->Image->Name, "carten4");
}

TEST(Car, UpdateCornersWrapsTheBodyAroundThePivot) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    p->UpdateCorners();
    // Heading up, turned about the pivot 30 % down the picture: the long part of the body
    // (the front, the picture's bottom) now lies above the pivot at y 442.4.
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const TCarCorner& c : p->Corners) {
        minX = std::min(minX, c.X);
        maxX = std::max(maxX, c.X);
        minY = std::min(minY, c.Y);
        maxY = std::max(maxY, c.Y);
    }
    // The corner directions are taken from the full box and the radii from the inset one,
    // so the corners sit within two pixels of the inset box.
    EXPECT_NEAR(minX, 375, 2);
    EXPECT_NEAR(maxX, 417, 2);
    EXPECT_NEAR(minY, 442.4 - (0.7 * 88 - 3), 2);
    EXPECT_NEAR(maxY, 442.4 + (0.3 * 88 - 3), 2);
    EXPECT_NEAR(minX + maxX, 2 * 396, 1e-9);
    // The front probe sits 40 pixels ahead of the pivot (up the screen).
    EXPECT_NEAR(p->FrontPoint->X, 396, 1e-4);
    EXPECT_NEAR(p->FrontPoint->Y, 416 + 0.3 * 88 - 40, 1e-4);
}

TEST(Car, ControlPrimitivesClampAndChooseThrust) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    p->Speed = 9.5;
    p->Accelerate();
    EXPECT_EQ(p->Speed, 9.0);
    EXPECT_EQ(p->Thrust, 0);
    p->Speed = 3;
    p->Accelerate();
    EXPECT_EQ(p->Thrust, 0.05);
    p->Speed = -2.5;
    p->Thrust = 0;
    p->Brake();
    EXPECT_EQ(p->Speed, -2.0);
    EXPECT_EQ(p->Thrust, 0);
    p->Speed = 1;
    p->Brake();
    EXPECT_EQ(p->Thrust, -0.08);
}

TEST(Car, SteeringNeedsSpeedAndPullsTheDirectionAlongPastItsGaps) {
    struct Case {
        double Speed;
        bool Left;
        double StartGap;  // Direction - Heading before the turn
        double Heading, Direction;
        bool Skidding;
    };
    // Steering 0.5 (car type 0), heading starting at -90.
    const Case cases[] = {
        {0.15, true, 0, -90, -90, false},     // too slow for a forward left turn
        {0.15, false, 0, -89.5, -90, false},  // a right turn needs only a positive speed
        {5, true, 0, -90.5, -90, false},      // small gap: direction left to the motion step
        {5, true, 30, -90.5, -60.25, true},   // 25 < gap: half a turn and a slide
        {5, true, 80, -90.5, -10.5, false},   // gap > 70: the direction turns fully
        {-1, true, 0, -89.5, -90, false},     // reversing turns the body the other way
        {-1, false, 0, -90.5, -90, false},
    };
    for (const Case& c : cases) {
        TWorldFixture f;
        TPlayer* p = MakePlayer(f);
        p->Speed = c.Speed;
        p->Direction = -90 + c.StartGap;
        if (c.Left) {
            p->SteerLeft();
        } else {
            p->SteerRight();
        }
        EXPECT_DOUBLE_EQ(p->Heading, c.Heading) << c.Speed << " " << c.StartGap;
        EXPECT_DOUBLE_EQ(p->Direction, c.Direction) << c.Speed << " " << c.StartGap;
        EXPECT_EQ(p->Skidding, c.Skidding) << c.Speed << " " << c.StartGap;
    }
}

TEST(Car, KeysDriveTheCarAndReleasesAreConsumed) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    // At rest: no steering.
    KeyTables.Held[vk::Left] = 1;
    p->ApplyKeys();
    EXPECT_EQ(p->Heading, -90);
    KeyTables.Held[vk::Left] = 0;
    KeyTables.Held[vk::Up] = 1;
    p->ApplyKeys();
    EXPECT_EQ(p->Thrust, 0.05);
    // Releasing Up zeroes the thrust in the same frame.
    KeyTables.Released[vk::Up] = 1;
    p->ApplyKeys();
    EXPECT_EQ(p->Thrust, 0);
    EXPECT_EQ(KeyTables.Released[vk::Up], 0);
    EXPECT_EQ(KeyTables.Held[vk::Up], 0);
    // Releasing a steering key only clears the tables.
    p->Thrust = 0.05;
    KeyTables.Released[vk::Right] = 1;
    p->ApplyKeys();
    EXPECT_EQ(p->Thrust, 0.05);
    EXPECT_EQ(KeyTables.Released[vk::Right], 0);
    // The handbrake while nearly stopped: a slide but no thrust.
    p->Speed = 0.01;
    p->Thrust = 0;
    KeyTables.Held[vk::Space] = 1;
    p->ApplyKeys();
    EXPECT_TRUE(p->Skidding);
    EXPECT_EQ(p->Thrust, 0);
    p->Speed = 3;
    KeyTables.Held[vk::Space] = 0;
    KeyTables.Held[vk::Control] = 1;
    p->ApplyKeys();
    EXPECT_EQ(p->Thrust, -0.011);
}

TEST(Car, FrictionAndSkidding) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    Race.CheckpointCount = 0;
    p->ControlsOn = true;
    World.Phase = TRacePhase::Racing;
    p->Speed = 5;
    p->Move(0);
    EXPECT_NEAR(p->Speed, 5 * 0.997, 1e-12);  // no road under the probe: traction 0.2, no thrust
    // A skidding car that is reversing stops dead.
    p->Speed = -1.5;
    KeyTables.Held[vk::Space] = 1;
    p->Move(0);
    EXPECT_EQ(p->Speed, 0);
}

TEST(Car, TheDirectionDriftsTowardTheHeading) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    Race.CheckpointCount = 0;
    p->Speed = 4;
    p->Direction = -60;  // 30 degrees off: the wide rule
    p->Move(0);
    const double wide = 0.5 * 0.85 + 0.5 * 0.15 * 0.2;
    EXPECT_NEAR(p->Direction, -60 - wide, 1e-12);
    p->Direction = p->Heading + 5;  // within 10: grip only
    p->Move(0);
    EXPECT_NEAR(p->Direction - p->Heading, 5 - 0.425, 1e-12);
}

TEST(Car, EffectTimersUndoTheirEffects) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    Race.CheckpointCount = 0;
    p->Slowed = true;
    p->SlowTimer = 2;
    p->MaxSpeed = 4.5;
    p->Grip = 0.3;
    p->Move(0);
    EXPECT_TRUE(p->Slowed);
    p->Move(0);
    EXPECT_FALSE(p->Slowed);
    EXPECT_EQ(p->MaxSpeed, 9.0);
    EXPECT_NEAR(p->Grip, 0.9, 1e-12);
    p->Boosted = true;
    p->BoostTimer = 1;
    p->Speed = 8;
    p->Move(0);
    EXPECT_FALSE(p->Boosted);
    EXPECT_EQ(p->MaxSpeed, 4.5);
    EXPECT_NEAR(p->Steering, 0.4, 1e-12);
}

TEST(Dashboard, NeedleBarAndReverseLightFollowThePlayer) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    TSpeedArrow needle(&f.Sprites, 716, 472, 9.0, -2.0);
    EXPECT_NEAR(needle.AngleForSpeed(0), -495, 1e-9);
    EXPECT_NEAR(needle.AngleForSpeed(9.0), -298, 1e-9);
    EXPECT_NEAR(needle.AngleForSpeed(9.0 * 1.5), -227.08, 1e-9);
    EXPECT_NEAR(needle.AngleForSpeed(-2.0), -298, 1e-9);
    TBar bar(&f.Sprites, 750, 240);
    bar.ShowHealth(100);
    EXPECT_EQ(bar.Image->TileHeight, 1);
    bar.ShowHealth(0);
    EXPECT_EQ(bar.Image->TileHeight, 101);
    bar.ShowHealth(50);
    EXPECT_EQ(bar.Image->TileHeight, 51);
    TRadarArrow light(&f.Sprites, 704, 526);
    p->Speed = 0;
    light.Move(0);
    EXPECT_FALSE(light.Visible);
    p->Speed = -0.1;
    light.Move(0);
    EXPECT_TRUE(light.Visible);
}

TEST(Dashboard, SkidMarksScrollFadeAndDie) {
    TWorldFixture f;
    TPlayer* p = MakePlayer(f);
    p->ScrollDY = 3;
    auto* dim = new TDim(&f.Sprites, 100, 100, false);
    const float y0 = dim->Y;
    int frames = 0;
    while (!dim->Deleted && frames < 100) {
        dim->Move(0);
        ++frames;
    }
    EXPECT_EQ(frames, 15);
    EXPECT_EQ(dim->PatternIndex, 4);
    EXPECT_EQ(dim->Alpha, 140);
    EXPECT_FLOAT_EQ(dim->Y, y0 + 45);
}

// The nearest checkpoint is found from squared lengths; it must name the checkpoint a search
// comparing every length (as RaceHypot gives it) names, ties to the lowest number included.
TEST(Car, TheNearestCheckpointIsTheOneEveryLengthComparedWouldName) {
    TWorldFixture f;
    const auto byEveryLength = [](double cx, double cy, int32_t n) {
        int32_t c = 1;
        double best = 6'000'000;
        for (int32_t k = 1; k <= n; ++k) {
            const TCheckpoint& p = Race.Checkpoints[static_cast<size_t>(k)];
            const double d = RaceHypot(p.X - cx, p.Y - cy);
            if (d < best) {
                best = d;
                c = k;
            }
        }
        return c;
    };
    // A chain with repeats and mirror images, so that ties are common.
    const int32_t n = 40;
    for (int32_t k = 1; k <= n; ++k)
        Race.Checkpoints[static_cast<size_t>(k)] = {(k % 2 == 0 ? 1 : -1) * 150.0 * (k % 5),
                                                    -300.0 * (k / 3), k};
    uint64_t state = 12345;
    const auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int32_t i = 0; i < 20000; ++i) {
        // Grid points sit at equal distances from mirrored checkpoints; others anywhere.
        const double x = i % 2 == 0 ? std::round(next() * 8 - 4) * 75 : next() * 1600 - 800;
        const double y = i % 2 == 0 ? std::round(next() * 40) * -150 : next() * -4000 + 100;
        ASSERT_EQ(NearestCheckpoint(x, y, n), byEveryLength(x, y, n)) << x << ", " << y;
    }
    // The world scrolls every checkpoint alike, by amounts that round differently at each.
    for (int32_t step = 0; step < 200; ++step) {
        for (int32_t k = 1; k <= n; ++k) {
            Race.Checkpoints[static_cast<size_t>(k)].X += 0.1 * (step % 7) - 0.3;
            Race.Checkpoints[static_cast<size_t>(k)].Y += 3.3 + 0.01 * step;
        }
        const double x = next() * 1600 - 800, y = next() * -4000 + 3000;
        ASSERT_EQ(NearestCheckpoint(x, y, n), byEveryLength(x, y, n)) << x << ", " << y;
    }
    // Far above, below and beside the road.
    for (const auto& [x, y] : {std::pair{0.0, 1e6}, {0.0, -1e6}, {5e6, 0.0}, {-3e6, 2e6}})
        EXPECT_EQ(NearestCheckpoint(x, y, n), byEveryLength(x, y, n)) << x << ", " << y;
    EXPECT_EQ(NearestCheckpoint(1e7, 1e7, n), 1);  // nothing nearer than 6,000,000
    EXPECT_EQ(NearestCheckpoint(NAN, 0, n), 1);
    EXPECT_EQ(NearestCheckpoint(0, INFINITY, n), 1);
    // Checkpoints thrown out of range by a scroll that is not a number.
    const auto kept = Race.Checkpoints;
    for (int32_t k = 1; k <= n; ++k) Race.Checkpoints[static_cast<size_t>(k)].Y = NAN;
    EXPECT_EQ(NearestCheckpoint(0, 0, n), 1);
    Race.Checkpoints = kept;
    // Two squares a place apart with the same root: the earlier checkpoint, with the larger
    // square, wins, as it does when the roots are compared.
    Race.Checkpoints[1] = {2890000, 0.025, 1};
    Race.Checkpoints[2] = {2890000, 0, 2};
    EXPECT_EQ(byEveryLength(0, 0, 2), 1);
    EXPECT_EQ(NearestCheckpoint(0, 0, 2), 1);
}
