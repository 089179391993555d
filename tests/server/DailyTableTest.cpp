// The daily table's pages and the decoding of a submission's form body (the table itself is
// in StoreContractTest.cpp).
#include <gtest/gtest.h>

#include "server/DailyPages.h"
#include "server/DailyRequest.h"
#include "server/ServerTestUtil.h"

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
