// The player's car: damage and repair, blinking, backtracking, place and opponent contact.
#include <gtest/gtest.h>

#include "world/Dashboard.h"
#include "world/EnemyCar.h"
#include "world/Player.h"
#include "WorldFixture.h"

namespace {
struct TPlayerFixture : TWorldFixture {
    TPlayer* P;
    TPlayerFixture() {
        P = new TPlayer(&Sprites, 396, 460, 0, "player", -90, false);
        Race.PlayerCar = P;
        World.Phase = TRacePhase::Racing;
    }
};
}  // namespace

TEST(Player, DamageAndRepairOnlyCountWhileRacing) {
    TPlayerFixture f;
    f.P->Damage(30);
    EXPECT_EQ(f.P->Health, 70);
    f.P->Damage(0);
    f.P->Damage(-5);
    EXPECT_EQ(f.P->Health, 70);
    f.P->Repair(20);
    EXPECT_EQ(f.P->Health, 90);
    f.P->Repair(30);
    EXPECT_EQ(f.P->Health, 100);
    World.Phase = TRacePhase::Idle;
    f.P->Damage(10);
    EXPECT_EQ(f.P->Health, 100);
    World.Phase = TRacePhase::Racing;
    f.P->StartBlinking();
    f.P->Damage(10);
    EXPECT_EQ(f.P->Health, 100);
    f.P->Blinking = false;
    Race.RaceFinished = 1;
    f.P->Damage(10);
    EXPECT_EQ(f.P->Health, 100);
}

TEST(Player, AFatalHitKeepsHealthAndWrecksOnce) {
    TPlayerFixture f;
    f.P->Health = 10;
    f.P->Damage(10);
    EXPECT_EQ(f.P->Health, 10);
    EXPECT_EQ(Race.PlayerWrecked, 1);
    f.P->Damage(50);
    EXPECT_EQ(f.P->Health, 10);
}

TEST(Player, BlinksForTwoHundredFramesTogglingEveryTen) {
    TPlayerFixture f;
    Race.CheckpointCount = 0;
    f.P->StartBlinking();
    int toggles = 0;
    bool last = f.P->Visible;
    for (int i = 0; i < 200; ++i) {
        f.P->Move(0);
        if (f.P->Visible != last) ++toggles;
        last = f.P->Visible;
    }
    EXPECT_EQ(toggles, 20);
    EXPECT_TRUE(f.P->Blinking);
    f.P->Move(0);
    EXPECT_FALSE(f.P->Blinking);
    EXPECT_TRUE(f.P->Visible);
    EXPECT_TRUE(f.P->Shadow->Visible);
}

TEST(Player, BacktrackCountsOnlyDrivingDownTheScreen) {
    TPlayerFixture f;
    Race.CheckpointCount = 0;
    f.P->Speed = 3;
    for (int i = 0; i < 50; ++i) f.P->Move(0);
    EXPECT_EQ(f.P->Backtrack, 0);
    EXPECT_LT(f.P->TravelStep, 0);
    f.P->Heading = f.P->Direction = 90;
    f.P->Speed = 0;
    double travelled = 0;
    for (int i = 0; i < 100; ++i) {
        f.P->Speed = 3;
        f.P->Move(0);
        travelled += f.P->TravelStep;
    }
    EXPECT_NEAR(f.P->Backtrack, -travelled, 1e-9);
    EXPECT_LT(f.P->Backtrack, -290);
}

TEST(Player, PlaceCountsOpponentsFurtherAlong) {
    TPlayerFixture f;
    for (int i = 0; i < 3; ++i)
        Race.OpponentCars[static_cast<size_t>(i)] =
            new TEnemyCar(&f.Sprites, 100 + 100 * i, 100, 0, "enemy", i, -90, false, i + 1);
    f.P->RaceDistance = 50;
    Race.OpponentDistance = {10, 20, 30};
    f.P->UpdatePlace();
    EXPECT_EQ(f.P->Place, 1);
    Race.OpponentDistance = {60, 20, 70};
    f.P->UpdatePlace();
    EXPECT_EQ(f.P->Place, 3);
    Race.OpponentDistance = {60, 80, 70};
    f.P->UpdatePlace();
    EXPECT_EQ(f.P->Place, 4);
}

TEST(Player, OpponentContactPushesSlowsAndDamagesUnlessBlinking) {
    TPlayerFixture f;
    auto* o = new TEnemyCar(&f.Sprites, 396, 420, 0, "enemy", 0, -90, false, 1);
    Race.OpponentCars[0] = o;
    f.P->UpdateCorners();
    o->UpdateCorners();
    f.P->Speed = 1;
    o->Speed = 7;  // relative speed 6: damage round(6 / 5) = 1
    f.P->OpponentContacts();
    EXPECT_TRUE(f.P->Touching[0]);
    EXPECT_TRUE(f.P->WasTouching[0]);
    EXPECT_LT(f.P->PushY, 0);  // the opponent ahead is shoved further up the screen
    EXPECT_DOUBLE_EQ(f.P->Speed, 0.99);
    EXPECT_EQ(f.P->Health, 99);

    f.P->PushX = f.P->PushY = 0;
    f.P->StartBlinking();
    f.P->OpponentContacts();
    EXPECT_TRUE(f.P->Touching[0]);
    EXPECT_EQ(f.P->PushY, 0);
    EXPECT_EQ(f.P->Health, 99);

    // Far away: never tested.
    o->MoveBy(0, -400);
    o->UpdateCorners();
    f.P->OpponentContacts();
    EXPECT_FALSE(f.P->Touching[0]);
    EXPECT_TRUE(f.P->WasTouching[0]);
}
