// The golden races: every recorded daily race replays on this build to exactly the end it
// reached when it was recorded, and the check is sharp enough to notice one place in the last
// digit of one function.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GoldenRace.h"
#include "world/RaceMath.h"

namespace {
std::string GameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : "";
}

TGoldenRace Read(const std::string& path) {
    std::string error;
    const auto race = ReadGoldenRace(path, error);
    EXPECT_TRUE(race.has_value()) << path << ": " << error;
    return race.value_or(TGoldenRace{});
}
}  // namespace

TEST(GoldenRaces, EveryOneReplaysToItsRecordedEnd) {
    const auto files = GoldenRaceFiles(VELKARO_GOLDEN_DIR);
    ASSERT_GE(files.size(), 30u);
    int finished = 0;
    for (const std::string& path : files) {
        const TGoldenRace race = Read(path);
        EXPECT_EQ(GoldenDifference(race, ReplayGoldenRace(race, GameDir())), "") << path;
        finished += race.Finished ? 1 : 0;
    }
    // The set covers finished races and races that end otherwise.
    EXPECT_GT(finished, 0);
    EXPECT_LT(finished, static_cast<int>(files.size()));
}

TEST(GoldenRaces, OnePlaceInTheLastDigitOfTheSineIsNoticed) {
    int differ = 0;
    RaceSinNudgeUlps = 1;
    for (const std::string& path : GoldenRaceFiles(VELKARO_GOLDEN_DIR)) {
        const TGoldenRace race = Read(path);
        if (!GoldenDifference(race, ReplayGoldenRace(race, GameDir())).empty()) ++differ;
        if (differ >= 3) break;
    }
    RaceSinNudgeUlps = 0;
    EXPECT_GE(differ, 3);
}

TEST(GoldenRaces, AFileReadsBackAsWrittenAndDamageIsRefused) {
    TGoldenRace race;
    race.Plan = *ParseDailyDate("2026-12-01");
    for (uint8_t k : {0, 1, 1, 5, 9, 9, 0}) race.Log.Add(k);
    race.Finished = true;
    race.Frames = 7;
    race.Hundredths = 1234;
    race.EndHash = 18446744073709551615u;
    std::string error;
    const auto back = ParseGoldenRace(GoldenRaceText(race), error);
    ASSERT_TRUE(back.has_value()) << error;
    EXPECT_EQ(back->Log, race.Log);
    EXPECT_EQ(GoldenDifference(race, *back), "");
    EXPECT_EQ(back->Reason, "");
    const std::string text = GoldenRaceText(race);
    const struct {
        const char* Name;
        std::string Text;
    } damaged[] = {
        {"no hash", text.substr(0, text.find("hash "))},
        {"a bad date", "date 2026-13-01\n" + text.substr(text.find("log "))},
        {"a bad number", text.substr(0, text.find("frames ")) + "frames 7x\n" +
                             text.substr(text.find("hundredths "))},
        {"a damaged log",
         text.substr(0, text.find("log ")) + "log !!!\n" + text.substr(text.find("finished "))},
    };
    for (const auto& d : damaged)
        EXPECT_FALSE(ParseGoldenRace(d.Text, error).has_value()) << d.Name;
    TGoldenRace other = race;
    other.Frames = 8;
    other.EndHash = 1;
    EXPECT_EQ(GoldenDifference(race, other),
              "stopped at frame 8, not 7 with world hash 1, not 18446744073709551615");
}
