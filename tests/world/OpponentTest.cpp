// Opponent cars: the driver's speed and steering choices, sensing, contacts and targets.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "world/Dashboard.h"
#include "world/EnemyCar.h"
#include "world/Player.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/RoadLayout.h"
#include "world/Walls.h"
#include "WorldFixture.h"

namespace {
struct TOpponentFixture : TWorldFixture {
    TPlayer* P;
    TOpponentFixture() {
        World.Phase = TRacePhase::Racing;
        P = new TPlayer(&Sprites, 396, 460, 0, "player", -90, false);
        Race.PlayerCar = P;
        Race.CheckpointCount = 3;
        Race.Checkpoints[1] = {400, 0, 1};
        Race.Checkpoints[2] = {400, -300, 2};
        Race.Checkpoints[3] = {400, -600, 3};
    }
    TEnemyCar* Opponent(double x, double y) {
        return CreateOpponentCar(&Sprites, Race.OpponentsCreated, x, y, 0);
    }
};
}  // namespace

TEST(Opponent, ATargetBehindBrakesAboveSpeedTwoAndAcceleratesBelow) {
    for (double speed : {5.0, 1.5}) {
        TOpponentFixture f;
        TEnemyCar* o = f.Opponent(400, 300);
        // Heading down the screen, away from every checkpoint.
        o->Heading = o->Direction = 90;
        o->HeadingArrow->Angle = 90;
        o->Speed = speed;
        o->Drive();
        if (speed > 2) {
            EXPECT_EQ(o->Thrust, -o->BrakeDecel) << speed;
        } else {
            EXPECT_EQ(o->Thrust, o->Accel) << speed;
        }
    }
}

TEST(Opponent, ATargetStraightAheadAlwaysAccelerates) {
    TOpponentFixture f;
    TEnemyCar* o = f.Opponent(400, 600);
    o->HeadingArrow->Angle = -90;
    o->Speed = 8;
    o->Drive();
    EXPECT_EQ(o->Thrust, o->Accel);
    EXPECT_NEAR(o->Bearing(400, 0), -90, 1e-9);
    EXPECT_NEAR(o->Bearing(400, 2000), 90, 1e-9);
    EXPECT_NEAR(o->Bearing(1000, 0), std::atan2(-600.0 + 0, 600.0) * 180 / std::numbers::pi, 1e-9);
}

TEST(Opponent, SteersTowardATargetToTheSide) {
    TOpponentFixture f;
    TEnemyCar* o = f.Opponent(100, 700);  // the target (checkpoint 1) is up and to the right
    o->Speed = 5;
    const double heading = o->Heading;
    o->Drive();
    EXPECT_GT(o->Heading, heading);  // a right turn
}

TEST(Opponent, PassingTheLastCheckpointTargetsTheFirst) {
    TOpponentFixture f;
    TEnemyCar* o = f.Opponent(400, -600);
    o->TargetCheckpoint = 3;
    o->LaneOffset = 0;
    o->Drive();
    EXPECT_EQ(o->TargetCheckpoint, 1);
}

TEST(Opponent, WithOneOpponentOnlyThePlayerIsSensed) {
    TOpponentFixture f;
    TEnemyCar* o = f.Opponent(396, 560);  // just behind the player
    o->UpdateCorners();
    o->UpdateEyes();
    f.P->UpdateCorners();
    o->SenseCars();
    EXPECT_TRUE(o->Eyes[3].CarAhead);
    // And a second opponent is sensed once there are two.
    TOpponentFixture g;
    TEnemyCar* a = g.Opponent(396, 1560);
    TEnemyCar* b = g.Opponent(396, 1460);
    for (TEnemyCar* c : {a, b}) {
        c->UpdateCorners();
        c->UpdateEyes();
    }
    a->SenseCars();
    EXPECT_TRUE(a->Eyes[3].CarAhead);
}

TEST(Opponent, ACarBesideOrAheadSetsItsFlagAndTheDriverGivesWay) {
    // The opponent drives up the screen at a target straight ahead, so with nothing in view it
    // only accelerates. The player's car is put beside eye 2 (70 pixels ahead of the nose) or
    // on eye 3 (20 pixels ahead), by the offset of its centre from that eye.
    const struct {
        const char* Name;
        int Eye;
        double Dx, Dy, Speed;
        bool Left, Right, Ahead;
        int Steer;  // -1: steers left (the heading falls), +1: right, 0: straight on
        bool Brakes;
    } cases[] = {
        {"nothing near", 2, 300, 0, 5, false, false, false, 0, false},
        {"to the right", 2, 50, 0, 5, false, true, false, -1, false},
        {"to the left", 2, -50, 0, 5, true, false, false, +1, false},
        {"ahead, a little right", 3, 8, -10, 5, false, true, true, -1, true},
        {"ahead, a little left", 3, -8, -10, 5, true, false, true, +1, true},
        {"ahead at walking pace", 3, 8, -10, 1.5, false, true, true, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TOpponentFixture f;
        TEnemyCar* o = f.Opponent(400, 700);
        o->HeadingArrow->Angle = -90;
        o->LaneOffset = 0;
        o->Speed = c.Speed;
        Race.Checkpoints[1] = {o->CentreX(), o->CentreY() - 1000, 1};
        o->UpdateCorners();
        o->UpdateEyes();
        const TEye& eye = o->Eyes[static_cast<size_t>(c.Eye)];
        f.P->MoveBy(eye.X + c.Dx - f.P->CentreX(), eye.Y + c.Dy - f.P->CentreY());
        f.P->UpdateCorners();
        o->SenseCars();
        EXPECT_EQ(o->Eyes[2].CarLeft, c.Left);
        EXPECT_EQ(o->Eyes[2].CarRight, c.Right);
        EXPECT_EQ(o->Eyes[3].CarAhead, c.Ahead);
        const double heading = o->Heading;
        o->Drive();
        const double turn = o->Heading - heading;
        EXPECT_EQ((turn > 0) - (turn < 0), c.Steer) << "turned by " << turn;
        EXPECT_EQ(o->Thrust, c.Brakes ? -o->BrakeDecel : o->Accel);
    }
}

TEST(Opponent, ContactsPushOpponentsApartButSkipABlinkingPlayer) {
    TOpponentFixture f;
    TEnemyCar* o = f.Opponent(396, 470);  // overlapping the player
    o->UpdateCorners();
    f.P->UpdateCorners();
    f.P->StartBlinking();
    const float y = o->Y;
    o->Contacts();
    EXPECT_TRUE(o->PlayerContact);
    EXPECT_FLOAT_EQ(o->Y, y);
    f.P->Blinking = false;
    o->Contacts();
    EXPECT_GT(o->Y, y);  // pushed away from the player, down the screen
}

TEST(Opponent, ConstructionPlacesEyesAndCountsTheCar) {
    TOpponentFixture f;
    TEnemyCar* o = f.Opponent(300, 300);
    EXPECT_EQ(Race.OpponentsCreated, 1);
    EXPECT_EQ(Race.OpponentCars[0], o);
    EXPECT_EQ(o->Name, "enemycar");
    EXPECT_NEAR(o->Eyes[2].Reach, 0.7 * 88 + 70, 1e-4);
    EXPECT_EQ(o->Eyes[4].Angle, 0);
    EXPECT_FALSE(o->Released);
    EXPECT_LE(std::abs(o->LaneOffset), 99);
    EXPECT_GE(o->LaneTimer, 500);
    EXPECT_LT(o->LaneTimer, 900);
}

// Every wall used to clear the eyes' wall flags before testing itself, so the last wall moved
// (the oldest, far below the screen) decided, and a wall beside an eye went unseen.
TEST(Opponent, AWallBesideAnEyeStaysSeenUntilTheDriverHasReadIt) {
    TOpponentFixture f;
    TEnemyCar* o = f.Opponent(400, 300);  // checkpoint 1 straight ahead
    o->LaneOffset = 0;
    o->UpdateCorners();
    o->UpdateEyes();
    const TEye& left = o->Eyes[0];
    // Walls of equal depth move newest first: the far wall, built first, moves last.
    auto* far = new TRoadRock(&f.Sprites, left.X + 2000, left.Y, 0, 0);
    auto* near = new TRoadRock(&f.Sprites, left.X - 50, left.Y, 0, 0);
    near->Move(0);
    far->Move(0);
    EXPECT_TRUE(o->Eyes[0].Wall);
    EXPECT_FALSE(o->Eyes[1].Wall);
    EXPECT_FALSE(o->Eyes[2].Wall);
    // The driver turns away from the wall on its left, at speed.
    o->Released = true;
    o->Speed = 5;
    const double heading = o->Heading;
    o->Drive();
    EXPECT_GT(o->Heading, heading);
    EXPECT_EQ(o->Thrust, o->Accel);
    // A frame reads the flags once and clears them all for the next frame's walls.
    for (TEye& eye : o->Eyes) eye.Wall = true;
    o->Move(0);
    for (const TEye& eye : o->Eyes) EXPECT_FALSE(eye.Wall);
}

// A car running toward a wall beside the road, on either side, at a few angles and distances:
// in its first frame it turns away from the wall, and where the approach leaves room to turn
// it stays clear. At the steeper angles both eyes see the wall; the right eye used to win
// then, and turned every car coming at a wall on its left into it.
TEST(Opponent, ACarHeadingTowardAWallBesideTheRoadTurnsAwayFromIt) {
    struct TCase {
        double Side;      // -1: the wall on the left, +1 on the right
        double Distance;  // from the car's centre line to the wall's centre line
        double Tilt;      // degrees toward the wall
        bool Misses;      // room enough to turn before the wall
    };
    const TCase cases[] = {{-1, 80, 5, true},   {-1, 100, 15, true}, {-1, 105, 20, true},
                           {-1, 80, 30, false}, {-1, 95, 40, false}, {+1, 80, 5, true},
                           {+1, 100, 15, true}, {+1, 105, 20, true}, {+1, 80, 30, false},
                           {+1, 95, 40, false}};
    for (const TCase& c : cases) {
        const std::string where = "side " + std::to_string(c.Side) + " distance " +
                                  std::to_string(c.Distance) + " tilt " + std::to_string(c.Tilt);
        TOpponentFixture f;
        f.P->SetX(2000);  // out of the way
        TEnemyCar* o = f.Opponent(400, 200);
        o->LaneOffset = 0;  // the target lies straight up the road
        o->Released = true;
        o->Heading = o->Direction = -90 + c.Side * c.Tilt;
        o->Speed = 5;
        // A straight wall of rocks beside the road, as a straight piece lays them.
        std::vector<TRoadRock*> rocks;
        for (double y = 350; y > -1200; y -= 150)
            rocks.push_back(
                new TRoadRock(&f.Sprites, 400 + c.Side * c.Distance, y, 0, c.Side < 0 ? 180 : 0));
        // Never turned further toward the wall than it came.
        double worst = c.Tilt;
        for (int frame = 0; frame < 120; ++frame) {
            f.Sprites.Move(1);
            worst = std::max(worst, c.Side * (o->Heading + 90));
        }
        EXPECT_LE(worst, c.Tilt) << where;
        if (!c.Misses) continue;
        EXPECT_EQ(o->WallBounces, 0) << where;
        EXPECT_LE(c.Side * (o->Heading + 90), 0.5) << where;  // no longer pointing at the wall
    }
}

// The opponent loops used four different limits (9, 18, 21, none) over tables of 10 entries;
// a count past the tables sent walls and bonuses reading past the record's cars.
TEST(Opponent, TheOpponentCountNeverPassesTheTables) {
    TOpponentFixture f;
    for (int32_t i = 0; i < kMaxOpponents + 3; ++i) {
        TEnemyCar* o = f.Opponent(200 + 30 * i, 300);
        EXPECT_EQ(o != nullptr, i < kMaxOpponents) << i;
    }
    EXPECT_EQ(Race.OpponentsCreated, kMaxOpponents);
    // Cars made outside the race build (a menu scene's) do not raise it either.
    new TEnemyCar(&f.Sprites, 500, 500, 1, "enemy", 12, -90, false, 13);
    EXPECT_EQ(Race.OpponentsCreated, kMaxOpponents);
    // A wall among them tests and bounces every opponent.
    auto* wall = new TRoadRock(&f.Sprites, 320, 300, 0, 0);
    for (int32_t i = 0; i < kMaxOpponents; ++i)
        Race.OpponentCars[static_cast<size_t>(i)]->UpdateCorners();
    wall->Move(0);
    int32_t touching = 0;
    for (uint8_t c : wall->OpponentContact) touching += c;
    EXPECT_GT(touching, 0);
}

namespace {
// What a run of walls leaves behind: the cars' places, headings, speeds and eye flags, and
// each wall's contacts, as bits (a place that is not a number must match as well).
std::vector<uint64_t> WallOutcome(const std::vector<TRoadRock*>& walls) {
    std::vector<uint64_t> out;
    const auto bits = [&out](double v) { out.push_back(std::bit_cast<uint64_t>(v)); };
    for (int32_t i = 0; i < Race.OpponentsCreated; ++i) {
        const TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        bits(o->X), bits(o->Y), bits(o->Direction), bits(o->Heading), bits(o->Speed);
        out.push_back(static_cast<uint64_t>(o->WallBounces));
        for (size_t e = 0; e < 3; ++e) out.push_back(o->Eyes[e].Wall);
    }
    for (const TRoadRock* w : walls)
        for (uint8_t c : w->OpponentContact) out.push_back(c);
    return out;
}

// A wall's step with every opponent tested in full, one by one: what the walls' run must
// reproduce.
void PlainWallStep(TRoadRock& w) {
    const TQuad4 quad = w.Quad();
    const TQuadBox box = QuadBox(quad);
    bool any = false;
    for (int32_t i = 0; i < Race.OpponentsCreated; ++i) {
        w.OpponentContact[static_cast<size_t>(i)] = 0;
        TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        if (!BoxesFarApart(o->WallEyesBox(), box))
            for (size_t e = 0; e < 3; ++e) {
                TEye& eye = o->Eyes[e];
                if (!eye.Wall &&
                    QuadsOverlap(eye.Square(40), SquareBox(eye.X, eye.Y, 40), quad, box))
                    eye.Wall = true;
            }
        const double dx = w.X - o->X + o->Width / 2.0, dy = w.Y - o->Y + o->Height / 2.0;
        if (std::fabs(dx) >= 150 || std::fabs(dy) >= 150 || RaceHypot(dx, dy) >= 150) continue;
        if (QuadsOverlap(quad, box, o->Body(), o->BodyBox())) {
            w.OpponentContact[static_cast<size_t>(i)] = 1;
            any = true;
        }
    }
    if (any)
        for (int32_t i = 0; i < Race.OpponentsCreated; ++i)
            if (w.OpponentContact[static_cast<size_t>(i)] != 0)
                Bounce(*Race.OpponentCars[static_cast<size_t>(i)], w, false);
}

// A crowded scene from a seed: eight opponents among twelve walls, many of them touching, and
// now and then an opponent whose place is not a number.
std::vector<uint64_t> WallScene(uint64_t seed, bool plain) {
    TOpponentFixture f;
    f.P->SetX(5000);  // the player stays out of it
    f.P->UpdateCorners();
    uint64_t state = seed * 0x9E3779B97F4A7C15ULL + 1;
    const auto next = [&state](double low, double high) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return low + (high - low) * static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < 8; ++i) {
        TEnemyCar* o = f.Opponent(next(150, 650), next(0, 700));
        o->Angle = static_cast<float>(next(-180, 180));
        o->Heading = o->Direction = next(-180, 180);
        o->Speed = next(-2, 8);
        if (seed % 25 == 0 && i == 3) o->SetX(NAN);
        o->UpdateCorners();
        o->UpdateEyes();
    }
    TKerbSprite engine;  // the walls alone, so that they move one after another
    std::vector<TRoadRock*> walls;
    const double angles[] = {0, 180, -35, 145, 6, 30, -10};
    for (int k = 0; k < 12; ++k)
        walls.push_back(new TRoadRock(&engine, next(150, 650), next(0, 700), k % 2,
                                      angles[static_cast<size_t>(next(0, 6.99))]));
    if (plain) {
        for (TSprite* s : engine.SpriteList) PlainWallStep(*static_cast<TRoadRock*>(s));
    } else {
        engine.Move(1);
    }
    std::vector<uint64_t> out = WallOutcome(walls);
    engine.Clear();
    return out;
}
}  // namespace

// The walls rule cars out by copies of the opponents' reach kept along their run in a pass,
// taken again after a bounce: in crowded scenes that must end exactly as testing every car in
// full at every wall.
TEST(Walls, TheirRunEndsAsTestingEveryCarInFull) {
    int bounced = 0;
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        const std::vector<uint64_t> run = WallScene(seed, false);
        ASSERT_EQ(run, WallScene(seed, true)) << "seed " << seed;
        for (int32_t i = 0; i < 8; ++i) bounced += run[static_cast<size_t>(i) * 9 + 5] != 0;
    }
    EXPECT_GT(bounced, 100);  // the scenes are crowded enough to bounce and re-take the run
}
