// The daily table: each name's best time, ordered by time; its pages; and the decoding of a
// submission's form body.
#include <gtest/gtest.h>

#include "server/DailyPages.h"
#include "server/DailyRequest.h"
#include "server/ServerTestUtil.h"

TEST(DailyTable, OrdersByTimeAndKeepsEachNamesBest) {
    TTempDir dir;
    TSqliteScoreStore store(dir.File("scores.db"));
    ASSERT_TRUE(store.Ok()) << store.Error();
    const struct {
        const char* Name;
        int32_t Hundredths;
        int64_t Time;
    } submitted[] = {
        {"Cid", 9000, 100}, {"Ann", 8000, 101},
        {"Bo", 8500, 102},  {"Ann", 8800, 103},  // slower: Ann keeps 8000
        {"Bo", 7900, 104},                       // faster: Bo moves up
        {"Dee", 8000, 105},                      // equal to Ann, driven later: after her
        {"Eve", 1, 106},                         // another day
    };
    for (const auto& s : submitted) {
        const std::string date = std::string(s.Name) == "Eve" ? "2026-12-09" : "2026-12-10";
        ASSERT_TRUE(store.StoreDailyTime(date, s.Name, s.Hundredths, s.Time));
    }
    const std::vector<TDailyRow> top = store.DailyTop("2026-12-10", 100);
    ASSERT_EQ(top.size(), 4u);
    const char* order[] = {"Bo", "Ann", "Dee", "Cid"};
    const int32_t times[] = {7900, 8000, 8000, 9000};
    for (size_t i = 0; i < top.size(); ++i) {
        EXPECT_EQ(top[i].Place, static_cast<int32_t>(i + 1));
        EXPECT_EQ(top[i].Name, order[i]);
        EXPECT_EQ(top[i].Hundredths, times[i]);
        const auto own = store.DailyEntry("2026-12-10", order[i]);
        ASSERT_TRUE(own.has_value());
        EXPECT_EQ(own->Place, top[i].Place);
        EXPECT_EQ(own->Hundredths, times[i]);
    }
    EXPECT_EQ(store.DailyTop("2026-12-10", 2).size(), 2u);
    EXPECT_FALSE(store.DailyEntry("2026-12-10", "Eve").has_value());
    EXPECT_EQ(store.DailyTop("2026-12-09", 100).size(), 1u);
}

TEST(DailyTable, PagesShowTheDayAndTheOwnPlace) {
    const std::vector<TDailyRow> rows = {{1, "A<b>", 7900}, {2, "Quo\"te", 12345}};
    EXPECT_EQ(DailyJson("2026-12-10", rows, TDailyRow{2, "Quo\"te", 12345}),
              "{\"date\":\"2026-12-10\",\"entries\":[{\"place\":1,\"name\":\"A\\u003cb>\","
              "\"hundredths\":7900},{\"place\":2,\"name\":\"Quo\\\"te\",\"hundredths\":12345}],"
              "\"own\":{\"place\":2,\"hundredths\":12345}}");
    EXPECT_EQ(DailyJson("2026-12-10", {}, std::nullopt),
              "{\"date\":\"2026-12-10\",\"entries\":[]}");
    const std::string html = DailyHtml("2026-12-10", rows);
    EXPECT_NE(html.find("A&lt;b&gt;"), std::string::npos);
    EXPECT_NE(html.find("2:03.45"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_NE(DailyHtml("2026-12-10", {}).find("No times yet."), std::string::npos);
}

TEST(DailyTable, DecodesTheFormBody) {
    const std::string tail = "&version=1.0.0&hundredths=7728&log=eJw";
    const auto ok = DecodeDailySubmission("date=2026-12-10&name=A%20b+c" + tail);
    ASSERT_TRUE(ok.Submission.has_value()) << ok.Error;
    EXPECT_EQ(ok.Submission->Name, "A b c");
    EXPECT_EQ(ok.Submission->Hundredths, 7728);
    EXPECT_EQ(ok.Submission->Log, "eJw");
    EXPECT_EQ(DailyDateText(ok.Submission->Plan), "2026-12-10");
    const struct {
        std::string Body;
        const char* Error;
    } cases[] = {
        {"", "The submission has no date."},
        {"date=2026-12-10&name=A&version=1.0.0&hundredths=5", "The submission has no log."},
        {"date=2026-12-10&date=2026-12-10&name=A" + tail, "The submission names a field twice."},
        {"date=2026-12-10&name=A%2" + tail, "The submission is not well formed."},
        {"date=2026-12-10&name=A%zz" + tail, "The submission is not well formed."},
        {"date=2026-13-10&name=A" + tail, "The date is not a date of the daily race."},
        {"date=2026-12-10&name=" + tail, "The name must have 1 to 12 characters."},
        {"date=2026-12-10&name=%01" + tail, "The name must have 1 to 12 characters."},
        {"date=2026-12-10&name=A&version=&hundredths=1&log=x", "The game's version is missing."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Body);
        const auto d = DecodeDailySubmission(c.Body);
        EXPECT_FALSE(d.Submission.has_value());
        EXPECT_EQ(d.Error, c.Error);
    }
    for (const char* h : {"0", "-5", "12a", "", "360001", "99999999999", "+5"}) {
        SCOPED_TRACE(h);
        const auto d = DecodeDailySubmission(
            std::string("date=2026-12-10&name=A&version=1.0.0&log=x&hundredths=") + h);
        EXPECT_EQ(d.Error, "The time is not a race time.");
    }
    EXPECT_EQ(DecodeDailySubmission(std::string(kMaxDailyBodyBytes + 1, 'a')).Error,
              "The race log is too long.");
}
