// The local best file of the daily race: a round trip through the disk, only the best time of
// a day kept, damaged lines skipped and reported (and the damaged file kept aside when it is
// rewritten), and the oldest days dropped when the file grows too long.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "harness/TempFolder.h"
#include "platform/AtomicFile.h"
#include "shell/SettingsFormat.h"
#include "shell/daily/DailyBest.h"

namespace fs = std::filesystem;

namespace {

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
}  // namespace

TEST(DailyBest, KeepsOnlyTheBestTimeOfEachDayAndPlayer) {
    TDailyBest b;
    EXPECT_TRUE(b.Record("2026-12-10", "Anna", 6000));
    EXPECT_FALSE(b.Record("2026-12-10", "Anna", 6000));  // a tie is not a new best
    EXPECT_FALSE(b.Record("2026-12-10", "Anna", 7000));
    EXPECT_TRUE(b.Record("2026-12-10", "Anna", 5500));
    EXPECT_TRUE(b.Record("2026-12-10", "Bo Li", 9000));  // another player, names with spaces
    EXPECT_TRUE(b.Record("2026-12-11", "Anna", 8000));   // another day
    EXPECT_EQ(b.Best("2026-12-10", "Anna"), 5500);
    EXPECT_EQ(b.Best("2026-12-10", "Bo Li"), 9000);
    EXPECT_EQ(b.Best("2026-12-11", "Anna"), 8000);
    EXPECT_EQ(b.Best("2026-12-12", "Anna"), std::nullopt);
    EXPECT_EQ(b.Best("2026-12-10", "anna"), std::nullopt);
}

TEST(DailyBest, RefusesWhatCouldNotBeReadBack) {
    struct TCase {
        const char* Date;
        const char* Name;
        int32_t Hundredths;
    };
    const TCase cases[] = {{"2026-13-01", "Anna", 100},
                           {"2026-02-29", "Anna", 100},
                           {"2026-12-10", "", 100},
                           {"2026-12-10", "A\nB", 100},
                           {"2026-12-10", "Anna", 0},
                           {"2026-12-10", "Anna", -5},
                           {"2026-12-10", "Anna", kMaxDailyHundredths + 1}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Date) + " " + c.Name + " " + std::to_string(c.Hundredths));
        TDailyBest b;
        EXPECT_FALSE(b.Record(c.Date, c.Name, c.Hundredths));
        EXPECT_TRUE(b.Entries().empty());
    }
}

TEST(DailyBest, DatesAreRealDaysInTheLongForm) {
    const std::pair<const char*, bool> cases[] = {
        {"2026-12-10", true},  {"2024-02-29", true},  {"2000-02-29", true},
        {"1900-02-29", false}, {"2026-04-31", false}, {"2026-00-10", false},
        {"2026-12-00", false}, {"2026-1-10", false},  {"2026/12/10", false},
        {"20261210xx", false}, {"", false},           {"2026-12-10 ", false}};
    for (const auto& [text, valid] : cases) EXPECT_EQ(ValidDailyDate(text), valid) << text;
}

TEST(DailyBest, TimesReadAsTheRaceClockShowsThem) {
    EXPECT_EQ(DailyTimeText(0), "0:00:00");
    EXPECT_EQ(DailyTimeText(5), "0:00:05");
    EXPECT_EQ(DailyTimeText(6123), "1:01:23");
    EXPECT_EQ(DailyTimeText(60 * 6000 + 99), "60:00:99");
}

TEST(DailyBest, SurvivesARoundTripThroughTheDisk) {
    TTempFolder dir;
    TDailyBest b;
    b.Record("2026-12-10", "Anna", 5500);
    b.Record("2026-12-10", "Zoë |=%", 7001);
    b.Record("2026-12-09", "Anna", 4200);
    std::string error;
    ASSERT_TRUE(b.Save(dir.Path, error)) << error;
    for (const auto& e : fs::directory_iterator(dir.Path))
        EXPECT_FALSE(IsAtomicTemporaryName(e.path().filename().string())) << e.path();

    TDailyBest read;
    EXPECT_EQ(read.Load(dir.Path), "");
    EXPECT_FALSE(read.Damaged());
    EXPECT_EQ(read.Best("2026-12-10", "Anna"), 5500);
    EXPECT_EQ(read.Best("2026-12-10", "Zoë |=%"), 7001);
    EXPECT_EQ(read.Best("2026-12-09", "Anna"), 4200);
    EXPECT_EQ(read.Entries().size(), 3u);
    // A missing file is an empty table, not a damaged one.
    TDailyBest none;
    EXPECT_EQ(none.Load(dir.Path + "nowhere/"), "");
    EXPECT_TRUE(none.Entries().empty());
    EXPECT_FALSE(none.Damaged());
}

TEST(DailyBest, SkipsAndReportsDamagedLinesAndKeepsTheFileAside) {
    TTempFolder dir;
    const std::string path = dir.Path + kDailyBestFileName;
    const std::string text =
        "2026-12-10 5500 Anna\r\n"    // a line end from another system is fine
        "2026-12-10 x500 Bo\n"        // 2: time not a number
        "\n"                          //    empty lines are nothing
        "2026-12-10 0 Bo\n"           // 4: no time
        "2026-12-10 500\n"            // 5: no name
        "2026-13-10 500 Bo\n"         // 6: no such month
        "2026-12-10 9999999999 Bo\n"  // 7: too long a time (and past int32)
        "2026-12-10 4000 Anna\n"      //    a better time for the same day wins
        "garbage\n"                   // 9
        "2026-12-09 3000 Cy";         //    the last line needs no line end
    Put(path, text);
    TDailyBest b;
    const std::string report = b.Load(dir.Path);
    EXPECT_EQ(report, "DailyBest.txt: damaged lines 2, 4, 5, 6, 7, 9 ignored");
    EXPECT_TRUE(b.Damaged());
    EXPECT_EQ(b.Best("2026-12-10", "Anna"), 4000);
    EXPECT_EQ(b.Best("2026-12-09", "Cy"), 3000);
    EXPECT_EQ(b.Best("2026-12-10", "Bo"), std::nullopt);
    EXPECT_EQ(b.Entries().size(), 2u);

    // The next write drops the damaged lines, after keeping the file as it was.
    std::string error;
    ASSERT_TRUE(b.Save(dir.Path, error)) << error;
    EXPECT_EQ(Slurp(path + ".bad"), text);
    TDailyBest again;
    EXPECT_EQ(again.Load(dir.Path), "");
    EXPECT_EQ(again.Entries().size(), 2u);
    EXPECT_EQ(again.Best("2026-12-10", "Anna"), 4000);
}

TEST(DailyBest, AFileOfGarbageIsReportedInOneShortLine) {
    TDailyBest b;
    std::string text;
    for (int i = 0; i < 500; ++i) text += "\x01\xff nonsense\n";
    const std::string report = b.Parse(text);
    EXPECT_EQ(report,
              "DailyBest.txt: damaged lines 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 490 more "
              "ignored");
    EXPECT_TRUE(b.Entries().empty());
}

TEST(DailyBest, AnUnreadablePlaceIsReportedAndReplacedOnWriting) {
    TTempFolder dir;
    // A folder where the file should be.
    fs::create_directory(dir.Path + kDailyBestFileName);
    TDailyBest b;
    EXPECT_NE(b.Load(dir.Path), "");
    EXPECT_TRUE(b.Damaged());
    b.Record("2026-12-10", "Anna", 5500);
    std::string error;
    ASSERT_TRUE(b.Save(dir.Path, error)) << error;
    EXPECT_TRUE(fs::is_directory(dir.Path + kDailyBestFileName + ".bad"));
    TDailyBest read;
    read.Load(dir.Path);
    EXPECT_EQ(read.Best("2026-12-10", "Anna"), 5500);
}

TEST(DailyBest, AFailedWriteKeepsTheOldFile) {
    TTempFolder dir;
    TDailyBest b;
    b.Record("2026-12-10", "Anna", 5500);
    std::string error;
    ASSERT_TRUE(b.Save(dir.Path, error));
    b.Record("2026-12-10", "Anna", 5000);
    EXPECT_FALSE(b.Save(dir.Path + "missing-folder/", error));
    EXPECT_FALSE(error.empty());
    TDailyBest read;
    read.Load(dir.Path);
    EXPECT_EQ(read.Best("2026-12-10", "Anna"), 5500);
}

TEST(DailyBest, TheFileKeepsTheNewestDaysWhenItGrowsTooLong) {
    TDailyBest b;
    // Eleven hundred days of one player, oldest first.
    int32_t written = 0;
    for (int32_t year = 2023; year <= 2026 && written < 1100; ++year)
        for (int32_t month = 1; month <= 12 && written < 1100; ++month)
            for (int32_t day = 1; day <= 28 && written < 1100; ++day, ++written) {
                char date[11];
                std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
                ASSERT_TRUE(b.Record(date, "Anna", 1000 + written));
            }
    TDailyBest read;
    EXPECT_EQ(read.Parse(b.Format()), "");
    EXPECT_EQ(read.Entries().size(), kMaxDailyBestLines);
    // The oldest hundred days went; the newest is there.
    EXPECT_EQ(read.Best("2023-01-01", "Anna"), std::nullopt);
    EXPECT_EQ(read.Best("2026-04-08", "Anna"), 1000 + 1099);
}

// The best race's key log is kept beside its time for the "my best" ghost: it goes and comes
// with its time, a file without logs still reads, a damaged log damages its line, and only
// the newest day's logs within the budget are written.
TEST(DailyBest, KeepsTheKeyLogOfTheBestRace) {
    TTempFolder dir;
    TDailyBest b;
    EXPECT_TRUE(b.Record("2026-12-10", "Anna", 6000, "eNpslow"));
    EXPECT_TRUE(b.Record("2026-12-10", "Anna", 5500, "eNp-fast_1"));
    EXPECT_FALSE(b.Record("2026-12-10", "Anna", 5900, "eNpworse"));
    EXPECT_TRUE(b.Record("2026-12-10", "Bo Li", 7000));
    // Not a key log's text: the time is kept without it.
    EXPECT_TRUE(b.Record("2026-12-10", "Cy", 7100, "has space"));
    EXPECT_TRUE(b.Record("2026-12-10", "Di", 7200, std::string(kMaxDailyBestLogBytes + 1, 'A')));
    std::string error;
    ASSERT_TRUE(b.Save(dir.Path, error)) << error;

    TDailyBest read;
    EXPECT_EQ(read.Load(dir.Path), "");
    ASSERT_NE(read.BestEntry("2026-12-10", "Anna"), nullptr);
    EXPECT_EQ(read.BestEntry("2026-12-10", "Anna")->Hundredths, 5500);
    EXPECT_EQ(read.BestEntry("2026-12-10", "Anna")->Log, "eNp-fast_1");
    for (const char* name : {"Bo Li", "Cy", "Di"}) {
        ASSERT_NE(read.BestEntry("2026-12-10", name), nullptr) << name;
        EXPECT_EQ(read.BestEntry("2026-12-10", name)->Log, "") << name;
    }
    EXPECT_EQ(read.BestEntry("2026-12-11", "Anna"), nullptr);
}

TEST(DailyBest, ReadsLinesWithAndWithoutLogsAndRefusesDamagedLogs) {
    TDailyBest b;
    const std::string text =
        "2026-12-10 5500 Anna\teNpAbc_-\n"  //    with a log
        "2026-12-10 6000 Bo Li\n"           //    a line of an older file
        "2026-12-10 6100 Cy\t\n"            // 3: a tab and no log
        "2026-12-10 6200 Di\teN p\n"        // 4: not a log's text
        "2026-12-10 6300 Ed\teN\tp\n";      // 5: a second tab
    EXPECT_EQ(b.Parse(text), "DailyBest.txt: damaged lines 3, 4, 5 ignored");
    ASSERT_NE(b.BestEntry("2026-12-10", "Anna"), nullptr);
    EXPECT_EQ(b.BestEntry("2026-12-10", "Anna")->Log, "eNpAbc_-");
    ASSERT_NE(b.BestEntry("2026-12-10", "Bo Li"), nullptr);
    EXPECT_EQ(b.BestEntry("2026-12-10", "Bo Li")->Log, "");
    EXPECT_EQ(b.Entries().size(), 2u);
}

TEST(DailyBest, WritesOnlyTheNewestDaysLogsWithinTheBudget) {
    TDailyBest b;
    const std::string log(kMaxDailyBestLogBytes, 'x');
    ASSERT_TRUE(b.Record("2026-12-09", "Anna", 5000, "eNpyesterday"));
    const size_t fitting = kMaxDailyBestLogTotal / kMaxDailyBestLogBytes;
    for (size_t i = 0; i <= fitting; ++i)
        ASSERT_TRUE(b.Record("2026-12-10", "P" + std::to_string(i), 5000, log));
    const std::string text = b.Format();
    EXPECT_LE(text.size(), kMaxSettingsFileSize);
    TDailyBest read;
    EXPECT_EQ(read.Parse(text), "");
    EXPECT_EQ(read.Entries().size(), fitting + 2);
    EXPECT_EQ(read.BestEntry("2026-12-09", "Anna")->Log, "");
    size_t withLog = 0;
    for (const TDailyBestEntry& e : read.Entries()) withLog += e.Log.empty() ? 0 : 1;
    EXPECT_EQ(withLog, fitting);
}
