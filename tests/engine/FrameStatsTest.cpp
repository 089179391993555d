#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "engine/FrameStats.h"

namespace {
// The value after `field` in the report line that starts with `prefix`.
double Field(const std::string& report, const std::string& prefix, const std::string& field) {
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(prefix + " ", 0) != 0) continue;
        std::istringstream words(line.substr(prefix.size()));
        std::string word;
        while (words >> word)
            if (word == field && words >> word) return std::stod(word);
    }
    ADD_FAILURE() << "no " << field << " in a line " << prefix << " of\n" << report;
    return -1;
}
}  // namespace

TEST(FrameStats, PercentileTakesTheNearestRankBelow) {
    EXPECT_EQ(Percentile({}, 0.5), 0.0f);
    EXPECT_EQ(Percentile({7}, 0.99), 7.0f);
    EXPECT_EQ(Percentile({5, 1, 3, 2, 4}, 0.5), 3.0f);
    EXPECT_EQ(Percentile({5, 1, 3, 2, 4}, 1.0), 5.0f);
    EXPECT_EQ(Percentile({5, 1, 3, 2, 4}, 0.0), 1.0f);
}

TEST(FrameStats, EachPhaseGetsItsOwnTicksAndGaps) {
    // A clock in milliseconds: 2 s of a phase at 50 ticks a second with even 20 ms gaps, then
    // one of 10 ticks a second with one 300 ms stall.
    TFrameStats stats(1000);
    int64_t t = 0;
    for (int i = 0; i < 100; ++i, t += 20) {
        stats.SetPhase(3, t);
        stats.TickStarted(t);
        stats.Presented(t + 5);
    }
    for (int i = 0; i < 10; ++i) {
        stats.SetPhase(12, t);
        stats.TickStarted(t);
        stats.Presented(t + 5);
        t += i == 4 ? 300 : 100;
    }
    const std::string report = stats.Report(t);
    ASSERT_EQ(stats.Segments().size(), 2u);
    EXPECT_NEAR(Field(report, "stats state 3", "ticks_per_second"), 50.0, 1e-6);
    EXPECT_NEAR(Field(report, "stats state 3", "median"), 20.0, 1e-3);
    EXPECT_NEAR(Field(report, "stats state 3", "max"), 20.0, 1e-3);
    // The first gap of the second phase bridges the two phases (20 ms); the stall is its max.
    EXPECT_NEAR(Field(report, "stats state 12", "seconds"), 1.2, 1e-6);
    EXPECT_NEAR(Field(report, "stats state 12", "ticks_per_second"), 10 / 1.2, 0.01);
    EXPECT_NEAR(Field(report, "stats state 12", "median"), 100.0, 1e-3);
    EXPECT_NEAR(Field(report, "stats state 12", "max"), 300.0, 1e-3);
    EXPECT_NEAR(Field(report, "stats all", "ticks"), 110, 1e-9);
    EXPECT_NEAR(Field(report, "stats all", "seconds"), 3.2, 1e-6);
}

TEST(FrameStats, TheOverlayFiguresFollowTheLastSecondAndFrame) {
    TFrameStats stats(1000);
    for (int64_t t = 0; t <= 1000; t += 10) {
        stats.TickStarted(t);
        stats.Presented(t + 4);
    }
    EXPECT_EQ(stats.FramesPerSecond(), 101);
    EXPECT_NEAR(stats.FrameMilliseconds(), 4.0, 1e-9);
    EXPECT_EQ(stats.Presents(), 101);
}
