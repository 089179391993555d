// The generated road layout, the start grid, checkpoints and the finish position, and the
// difficulty that grows from race to race.
#include <gtest/gtest.h>

#include <cmath>

#include "world/RaceRecord.h"
#include "world/Random.h"
#include "world/RoadLayout.h"

namespace {
void Generate(uint64_t seed, int32_t length, int32_t gapMin, int32_t gapMax) {
    ResetRaceRecord();
    Randomize(seed);
    InitPieceShapes();
    GenerateLayout(length, gapMin, gapMax);
    CloseLayout();
}
}  // namespace

TEST(RoadLayout, FirstRaceHasItsLengthAndCheckpointCount) {
    Generate(7, 90, 5, 10);
    EXPECT_EQ(Race.RoadLength, 111);
    Race.BuildX = 400;
    Race.BuildY = -1000;
    BuildCheckpoints();
    EXPECT_EQ(Race.CheckpointCount, 119);
}

TEST(RoadLayout, RoadsStartWithARunAlternateRunsAndCloseStraight) {
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        const int32_t gapMin = 1 + static_cast<int32_t>(seed % 5);
        Generate(seed, 90 + static_cast<int32_t>(seed % 9) * 20, gapMin, gapMin + 5);
        const auto& k = Race.RoadKinds;
        ASSERT_TRUE(k[0] == 3 || k[0] == 4) << seed;
        // Every kind must follow from the one before: a run start continues into its run,
        // and an end returns to straight.
        for (int32_t j = 1; j <= Race.RoadLength; ++j) {
            const int prev = k[static_cast<size_t>(j - 1)], cur = k[static_cast<size_t>(j)];
            const bool leftBefore = prev == 1 || prev == 4;
            const bool rightBefore = prev == 2 || prev == 3;
            if (leftBefore) {
                EXPECT_TRUE(cur == 1 || cur == 6) << seed << " at " << j;
            } else if (rightBefore) {
                EXPECT_TRUE(cur == 2 || cur == 5) << seed << " at " << j;
            } else {
                EXPECT_TRUE(cur == 0 || cur == 3 || cur == 4) << seed << " at " << j;
            }
        }
        // Twenty straight pieces of run-out.
        for (int32_t j = Race.RoadLength - 19; j <= Race.RoadLength; ++j)
            EXPECT_EQ(k[static_cast<size_t>(j)], 0);
    }
}

TEST(RoadLayout, RunsLastBetweenTheGapBounds) {
    Generate(3, 200, 5, 10);
    int32_t lastEvent = 0;
    for (int32_t j = 1; j <= 200; ++j) {
        const int kind = Race.RoadKinds[static_cast<size_t>(j)];
        if (kind >= 3) {
            const int32_t stretch = j - lastEvent - 1;
            EXPECT_GE(stretch, 5 + 1);
            EXPECT_LE(stretch, 10);
            lastEvent = j;
        }
    }
}

TEST(RoadLayout, SceneryZonesOpenContinueAndClose) {
    Generate(11, 150, 3, 8);
    bool open = false;
    for (int32_t j = 0; j <= 150; ++j) {
        const int side = Race.SideKinds[static_cast<size_t>(j)];
        if (open) {
            EXPECT_TRUE(side == 1 || side == 2) << j;
        } else {
            EXPECT_TRUE(side == 0 || side == 3) << j;
        }
        if (side == 3) open = true;
        if (side == 2) open = false;
    }
    EXPECT_FALSE(open);
    EXPECT_EQ(Race.SideKinds[5], 3);  // the first zone opens at the sixth piece
}

TEST(RoadLayout, TwoRacesOnTheSameLevelDiffer) {
    Generate(100, 90, 5, 10);
    const auto first = Race.RoadKinds;
    Generate(101, 90, 5, 10);
    EXPECT_NE(first, Race.RoadKinds);
    Generate(100, 90, 5, 10);
    EXPECT_EQ(first, Race.RoadKinds);  // and a seed replays its road
}

TEST(RoadLayout, LengthsBeyondTheLongestLevelStayInsideTheArrays) {
    Generate(5, 100000, 1, 3);
    EXPECT_LT(Race.RoadLength, kRoadCapacity);
    Race.BuildX = 400;
    BuildCheckpoints();
    EXPECT_LT(Race.CheckpointCount, kCheckpointCapacity);
    Generate(5, 250, 1, 3);
    EXPECT_EQ(Race.RoadLength, 271);
    BuildCheckpoints();
    EXPECT_EQ(Race.CheckpointCount, 279);
}

TEST(StartGrid, TwoStaggeredColumns) {
    InitStartGrid();
    EXPECT_EQ(Race.StartGrid[1].X, -70);
    EXPECT_EQ(Race.StartGrid[1].Y, 100);
    EXPECT_EQ(Race.StartGrid[2].X, 70);
    EXPECT_EQ(Race.StartGrid[2].Y, 240);
    EXPECT_EQ(Race.StartGrid[21].Y, 2100);
}

TEST(Checkpoints, SitAtHalfHeightOnTheCentreLineAndAreMeasured) {
    ResetRaceRecord();
    InitPieceShapes();
    Race.RoadLength = 3;
    Race.RoadKinds[0] = 3;  // +71
    Race.RoadKinds[1] = 2;  // +210
    Race.RoadKinds[2] = 5;  // +70
    Race.BuildX = 400;
    Race.BuildY = 1000;
    BuildCheckpoints();
    ASSERT_EQ(Race.CheckpointCount, 11);
    EXPECT_DOUBLE_EQ(Race.Checkpoints[1].X, 435.5);
    EXPECT_DOUBLE_EQ(Race.Checkpoints[1].Y, 850);
    EXPECT_DOUBLE_EQ(Race.Checkpoints[2].X, 471 + 105);
    EXPECT_DOUBLE_EQ(Race.Checkpoints[3].X, 681 + 35);
    EXPECT_DOUBLE_EQ(Race.Checkpoints[4].X, 751);
    EXPECT_DOUBLE_EQ(Race.Checkpoints[4].Y, 850 - 900);
    EXPECT_EQ(Race.Checkpoints[11].Number, 11);
    MeasureCheckpoints();
    EXPECT_DOUBLE_EQ(Race.CheckpointDistance[1], 0);
    EXPECT_NEAR(Race.CheckpointDistance[2], std::hypot(140.5, 300) / 10, 1e-9);
    EXPECT_NEAR(Race.CheckpointDistance[11] - Race.CheckpointDistance[10], 30, 1e-9);
}

TEST(FinishLine, LiesNinePiecesBeforeTheEndOfTheLayout) {
    ResetRaceRecord();
    InitPieceShapes();
    Race.RoadLength = 12;
    for (int j = 0; j < 12; ++j) Race.RoadKinds[static_cast<size_t>(j)] = 0;
    Race.RoadKinds[0] = 3;
    Race.BuildX = 400;
    Race.BuildY = 0;
    const TPoint2 p = PlaceFinishLine();
    // Pieces 0..2 are walked: three steps up and the first piece's shift.
    EXPECT_DOUBLE_EQ(p.X, 471);
    EXPECT_DOUBLE_EQ(p.Y, -150 - 900 - 450);
    Race.RoadLength = 9;
    const TPoint2 shortRoad = PlaceFinishLine();
    EXPECT_DOUBLE_EQ(shortRoad.X, 400);
    EXPECT_DOUBLE_EQ(shortRoad.Y, -600);
}

TEST(Difficulty, GrowsFromRaceToRace) {
    ResetDifficulty();
    struct Step {
        int Level, Opponents, Pattern, GapMin, GapMax, Minutes, Seconds;
    };
    const Step steps[] = {
        {2, 4, 110, 4, 10, 1, 6},  {3, 5, 130, 3, 10, 1, 11}, {4, 6, 150, 2, 9, 1, 16},
        {5, 7, 170, 1, 8, 1, 21},  {6, 8, 190, 1, 7, 1, 26},  {7, 9, 210, 1, 6, 1, 31},
        {8, 9, 230, 1, 5, 1, 36},  {9, 9, 250, 1, 4, 1, 41},  {10, 9, 250, 1, 3, 1, 46},
        {11, 9, 250, 1, 3, 1, 51},
    };
    for (const Step& s : steps) {
        AdvanceDifficulty(s.Level);
        EXPECT_EQ(Race.OpponentCount, s.Opponents) << s.Level;
        EXPECT_EQ(Race.PatternLength, s.Pattern) << s.Level;
        EXPECT_EQ(Race.PatternGapMin, s.GapMin) << s.Level;
        EXPECT_EQ(Race.PatternGapMax, s.GapMax) << s.Level;
        EXPECT_EQ(Race.LimitMinutes, s.Minutes) << s.Level;
        EXPECT_EQ(Race.LimitSeconds, s.Seconds) << s.Level;
    }
    EXPECT_EQ(Race.PrizeBase, 500 + 10 * 500);
    EXPECT_EQ(Race.BonusSplitLow, 210);
}

TEST(Difficulty, SecondsCarryIntoMinutesOnlyPastSixty) {
    ResetDifficulty();
    Race.LimitMinutes = 1;
    Race.LimitSeconds = 56;
    AdvanceDifficulty(5);
    EXPECT_EQ(Race.LimitMinutes, 2);
    EXPECT_EQ(Race.LimitSeconds, 0);
    Race.LimitSeconds = 55;
    AdvanceDifficulty(6);
    EXPECT_EQ(Race.LimitMinutes, 2);
    EXPECT_EQ(Race.LimitSeconds, 60);
}
