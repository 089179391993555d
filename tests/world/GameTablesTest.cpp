// Track and car tables, best-time comparison and the unlock ladder.
#include <gtest/gtest.h>

#include "world/GameTables.h"
#include "world/Globals.h"

namespace {
class GameTables : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWorldGlobals();
        ResetGameTables();
        FillTrackTable();
        FillCarTable();
    }
};
}  // namespace

TEST_F(GameTables, TrackRowsKeepTheirOwnPictureAndFileOrder) {
    struct Case {
        int Index;
        const char* Name;
        const char* Image;
        const char* File;
        const char* Length;
        int Laps, Opponents;
    };
    const Case cases[] = {
        {0, "Track 1", "tr_track3", "Data\\data4.prd", "540.4", 5, 4},
        {3, "Track 4", "tr_track1", "Data\\data3.prd", "710.4", 5, 5},
        {9, "Track 10", "tr_track2", "Data\\data2.prd", "910.4", 7, 7},
        {11, "Track 12", "tr_track9", "Data\\data10.prd", "856.2", 8, 7},
    };
    for (const Case& c : cases) {
        const TTrack& t = Tracks[static_cast<size_t>(c.Index)];
        EXPECT_EQ(t.Name, c.Name);
        EXPECT_EQ(t.ImageName, c.Image);
        EXPECT_EQ(t.FileName, c.File);
        EXPECT_EQ(t.LengthText, c.Length);
        EXPECT_EQ(t.InfoLaps, c.Laps);
        EXPECT_EQ(t.InfoOpponents, c.Opponents);
    }
    for (const TTrack& t : Tracks) {
        EXPECT_EQ(t.Available, 0);
        EXPECT_EQ(BestTimeText(t), "--:--:--");
    }
}

TEST_F(GameTables, CarRowsHoldTheExactConstants) {
    EXPECT_EQ(Cars[0].Name, "Velkaro");
    EXPECT_EQ(Cars[2].ImageName, "c_car3");
    EXPECT_EQ(Cars[1].Accel, 0.07);
    EXPECT_EQ(Cars[3].Steering, 0.65);
    EXPECT_EQ(Cars[4].MaxSpeed, 10.0);
    EXPECT_EQ(Cars[2].Grip, 0.82);
    for (const TCarType& c : Cars) EXPECT_EQ(c.Available, 0);
}

TEST_F(GameTables, BestTimeTextPadsSecondsAndHundredths) {
    TTrack t;
    t.BestMinutes = 1;
    t.BestSeconds = 5;
    t.BestHundredths = 9;
    EXPECT_EQ(BestTimeText(t), "1:05:09");
    t.BestSeconds = 10;
    t.BestHundredths = 45;
    EXPECT_EQ(BestTimeText(t), "1:10:45");
}

TEST_F(GameTables, TimeNotAfterComparesMinutesThenSecondsThenHundredths) {
    struct Case {
        int aH, aS, aM, bH, bS, bM;
        bool Result;
    };
    const Case cases[] = {
        {0, 0, 1, 99, 59, 0, false},   {99, 59, 0, 0, 0, 1, true},   {10, 20, 1, 10, 20, 1, true},
        {11, 20, 1, 10, 20, 1, false}, {0, 21, 1, 99, 20, 1, false}, {0, 0, 1000, 5, 30, 2, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TimeNotAfter(c.aH, c.aS, c.aM, c.bH, c.bS, c.bM), c.Result)
            << c.aM << ":" << c.aS << ":" << c.aH << " vs " << c.bM << ":" << c.bS << ":" << c.bH;
}

TEST_F(GameTables, LadderOpensTracksAndCarsAtItsScores) {
    TracksOpen = 3;
    CarsOpen = 2;
    ApplyOpenCounts();
    const int32_t thresholds[] = {300, 700, 1200, 2200, 2700, 4700, 6700, 9200, 13200};
    const int32_t results[] = {2, 1, 2, 1, 2, 1, 1, 1, 1};
    // What each rung opens: 2 tracks, 1 a car.
    const int32_t opened[] = {2, 1, 2, 1, 2, 1, 2, 2, 2};
    for (int stage = 0; stage < 9; ++stage) {
        EXPECT_EQ(UnlockThreshold, thresholds[stage]);
        // Landing exactly on the threshold is not a crossing.
        EXPECT_EQ(CheckUnlock(UnlockThreshold - 10, 10), 0);
        EXPECT_EQ(CheckUnlock(UnlockThreshold - 10, 11), results[stage]) << stage;
        EXPECT_EQ(UnlockNext(), opened[stage]) << stage;
    }
    EXPECT_EQ(TracksOpen, 12);
    EXPECT_EQ(CarsOpen, 5);
    for (const TTrack& t : Tracks) EXPECT_EQ(t.Available, 1);
    for (const TCarType& c : Cars) EXPECT_EQ(c.Available, 1);
    // Stage 8 repeats: only the threshold grows.
    UnlockNext();
    EXPECT_EQ(UnlockStage, 8);
    EXPECT_EQ(UnlockThreshold, 13200 + 4500 + 4500);
}

TEST_F(GameTables, AStageOutOfRangeIsTakenAsTheNearestRung) {
    TracksOpen = 3;
    ApplyOpenCounts();
    // Below the ladder: the first rung (two tracks), not the last one (all of them).
    UnlockStage = -3;
    EXPECT_EQ(UnlockNext(), 2);
    EXPECT_EQ(TracksOpen, 5);
    EXPECT_EQ(Tracks[5].Available, 0);
    EXPECT_EQ(UnlockStage, 1);
    EXPECT_EQ(UnlockThreshold, 300 + 400);
    // Above it: the last rung.
    UnlockStage = 57;
    EXPECT_EQ(UnlockNext(), 2);
    EXPECT_EQ(TracksOpen, 12);
    EXPECT_EQ(UnlockThreshold, 300 + 400 + 4500);
    // Every rung after the last opens nothing, and an early rung never closes tracks.
    EXPECT_EQ(UnlockNext(), 0);
    UnlockStage = 0;
    EXPECT_EQ(UnlockNext(), 0);
    EXPECT_EQ(TracksOpen, 12);
}
