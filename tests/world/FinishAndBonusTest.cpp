// The finish line's results, bonus effects with their cancel rules, and explosions.
#include <gtest/gtest.h>

#include "world/Bonus.h"
#include "world/EnemyCar.h"
#include "world/FinishLine.h"
#include "world/Player.h"
#include "world/RaceRecord.h"
#include "WorldFixture.h"

namespace {
struct TFinishFixture : TWorldFixture {
    TPlayer* P;
    TFinishLine* Line;
    TFinishFixture() {
        World.Phase = TRacePhase::Racing;
        P = new TPlayer(&Sprites, 396, 460, 0, "player", -90, false);
        Race.PlayerCar = P;
        P->UpdateCorners();
        Line = new TFinishLine(&Sprites, 400, 100, 0);
        Race.ResultCount = 1;
    }
};
}  // namespace

TEST(FinishLine, AnOpponentFirstAcrossTakesEntryOneAndIsRecordedOnce) {
    TFinishFixture f;
    TEnemyCar* o = CreateOpponentCar(&f.Sprites, 0, 400, 100, 0);
    o->Released = true;
    o->UpdateCorners();
    for (int i = 0; i < 5; ++i) f.Line->Move(0);
    EXPECT_EQ(Race.ResultCount, 2);
    EXPECT_EQ(Race.Results[1].Number, 1);
    EXPECT_EQ(o->Laps, 1);
    EXPECT_FALSE(o->Released);
    EXPECT_EQ(Race.RaceFinished, 0);
}

TEST(FinishLine, ResultsNeverOverrunTheTable) {
    TFinishFixture f;
    for (int k = 0; k < 9; ++k) {
        TEnemyCar* o = CreateOpponentCar(&f.Sprites, k, 300 + 20 * k, 100, 0);
        o->UpdateCorners();
    }
    f.Line->Move(0);
    EXPECT_EQ(Race.ResultCount, kResultEntries);
}

TEST(FinishLine, ThePlayerFinishesOnceWithTheTimeLeft) {
    TFinishFixture f;
    Race.ClockMinutes = 0;
    Race.ClockSeconds = 0;
    Race.ClockHundredths = 37;
    f.P->Place = 2;
    f.P->ControlsOn = true;
    f.Line->SetY(f.Line->Y + 360);  // onto the player's car
    f.Line->Move(0);
    EXPECT_EQ(Race.RaceFinished, 1);
    EXPECT_EQ(Race.FinishHundredths, 37);
    EXPECT_EQ(Race.FinishPlace, 2);
    EXPECT_FALSE(f.P->ControlsOn);
    EXPECT_FALSE(f.P->PlaceOn);
    EXPECT_EQ(Race.ResultCount, 1);  // the player writes no entry
    Race.ClockHundredths = 10;
    f.Line->Move(0);
    EXPECT_EQ(Race.FinishHundredths, 37);
}

namespace {
struct TBonusFixture : TWorldFixture {
    TPlayer* P;
    TBonusFixture() {
        World.Phase = TRacePhase::Racing;
        P = new TPlayer(&Sprites, 396, 460, 0, "player", -90, false);
        Race.PlayerCar = P;
        P->UpdateCorners();
    }
    TBonus* OnPlayer(int32_t kind) { return new TBonus(&Sprites, 396, 450, kind); }
};
}  // namespace

TEST(Bonus, PlayerEffectsByKind) {
    struct Case {
        int32_t Kind;
        const char* Sound;
        bool Consumed;
    };
    const Case cases[] = {{0, "coin", true},   {2, "coin", true},  {3, "skid", false},
                          {5, "repair", true}, {6, "up", true},    {7, "addtime", true},
                          {8, "sweep", true},  {9, "nitro", true}, {4, "exp", true}};
    for (const Case& c : cases) {
        TBonusFixture f;
        Score = 0;
        Lives = 3;
        f.P->Health = 50;
        TBonus* b = f.OnPlayer(c.Kind);
        b->Move(0);
        ASSERT_FALSE(f.Sounds.empty()) << c.Kind;
        EXPECT_EQ(f.Sounds.back(), c.Sound) << c.Kind;
        EXPECT_EQ(b->Deleted, c.Consumed) << c.Kind;
        if (c.Kind == 2) {
            EXPECT_EQ(Score, 30);
        } else if (c.Kind == 5) {
            EXPECT_EQ(f.P->Health, 80);
        } else if (c.Kind == 6) {
            EXPECT_EQ(Lives, 4);
        } else if (c.Kind == 4) {
            EXPECT_EQ(f.P->Health, 10);
            EXPECT_TRUE(f.P->Spinning);
            EXPECT_GE(std::abs(f.P->SpinRate), 10);
        }
    }
}

TEST(Bonus, ExtraTimeCarriesIntoTheMinute) {
    TBonusFixture f;
    Race.ClockMinutes = 0;
    Race.ClockSeconds = 57;
    f.OnPlayer(7)->Move(0);
    EXPECT_EQ(Race.ClockMinutes, 1);
    EXPECT_EQ(Race.ClockSeconds, 2);
}

TEST(Bonus, SpikesAndSpeedUpsCancelEachOther) {
    TBonusFixture f;
    TPlayer& p = *f.P;
    const double maxSpeed = p.MaxSpeed;
    // Speed-up, then spikes: the speed-up ends and the spikes are used up.
    f.OnPlayer(9)->Move(0);
    EXPECT_TRUE(p.Boosted);
    EXPECT_EQ(p.MaxSpeed, 2 * maxSpeed);
    TBonus* spikes = f.OnPlayer(8);
    spikes->Move(0);
    EXPECT_FALSE(p.Boosted);
    EXPECT_FALSE(p.Slowed);
    EXPECT_TRUE(spikes->Deleted);
    EXPECT_EQ(p.MaxSpeed, maxSpeed);
    // Spikes, then a pad: the slow-down ends, the pad stays and then speeds the car up.
    f.OnPlayer(8)->Move(0);
    EXPECT_TRUE(p.Slowed);
    TBonus* pad = f.OnPlayer(9);
    pad->Move(0);
    EXPECT_FALSE(p.Slowed);
    EXPECT_FALSE(pad->Deleted);
    EXPECT_EQ(p.MaxSpeed, maxSpeed);
    pad->Move(0);
    EXPECT_TRUE(p.Boosted);
    EXPECT_TRUE(pad->Deleted);
}

TEST(Bonus, ABlinkingPlayerLeavesABombAlone) {
    TBonusFixture f;
    f.P->StartBlinking();
    TBonus* bomb = f.OnPlayer(4);
    bomb->Move(0);
    EXPECT_FALSE(bomb->Deleted);
    EXPECT_EQ(f.P->Health, 100);
}

TEST(Bonus, OpponentsOnlyUsePuddlesBombsSpikesAndPads) {
    for (int32_t kind : {0, 5, 6, 7, 8}) {
        TBonusFixture f;
        TEnemyCar* o = CreateOpponentCar(&f.Sprites, 0, 200, 300, 0);
        o->UpdateCorners();
        TBonus* b = new TBonus(&f.Sprites, 200, 300, kind);
        b->Move(0);
        EXPECT_EQ(b->Deleted, kind == 8) << kind;
        if (kind == 8) {
            EXPECT_TRUE(o->Slowed);
            EXPECT_EQ(o->Grip, 0.85);  // an opponent's grip is not changed
        }
    }
}

TEST(Bonus, DisappearsBelowTheScreen) {
    TBonusFixture f;
    TBonus* b = new TBonus(&f.Sprites, 100, 2100, 0);
    b->Move(0);
    EXPECT_TRUE(b->Deleted);
}

TEST(Explosion, AdvancesOnTheFifthFrameThenEveryFourAndEndsAfterTheLastPattern) {
    TWorldFixture f;
    auto* e = new TExplose(&f.Sprites, 100, 100, 1, -1);
    std::vector<int> advances;
    for (int frame = 1; frame <= 40 && !e->Deleted; ++frame) {
        const int before = e->PatternIndex;
        e->Move(0);
        if (e->PatternIndex != before) advances.push_back(frame);
        if (e->Deleted) advances.push_back(-frame);
    }
    EXPECT_EQ(advances, (std::vector<int>{5, 9, 13, 17, 21, 25, 29, -33}));
    EXPECT_EQ(e->Alpha, 230);
}
