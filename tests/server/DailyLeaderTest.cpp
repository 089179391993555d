// GET /daily/<date>/leader in-process: the day's fastest race with its key log as JSON, a JSON
// 404 for a day without times or a date that does not exist, and a cache time that suits the
// day (short while times may still arrive, long once the day is settled).
#include <gtest/gtest.h>
#include <httplib.h>

#include <string>

#include "server/DailyPages.h"
#include "server/DailyService.h"
#include "server/RunningServer.h"
#include "server/ServerTestUtil.h"

namespace {
// Noon UTC of 2026-12-09.
constexpr int64_t kNoon = 1796774400 + 12 * 3600;

struct TLeaderFixture {
    TServiceFixture Scores;
    TDailyService Daily{*Scores.Store, "", [] { return kNoon; }, nullptr};
};
}  // namespace

TEST(DailyLeader, ServesTheFastestRaceWithItsLogAndCachesBySettledness) {
    TLeaderFixture f;
    TDailyStore& store = f.Daily.Store();
    ASSERT_TRUE(store.StoreDailyTime("2026-12-09", "Slow \"Sam\"", 5000, "slowlog", kNoon));
    ASSERT_TRUE(store.StoreDailyTime("2026-12-09", "Ann", 4321, "annlog-_", kNoon));
    ASSERT_TRUE(store.StoreDailyTime("2026-12-01", "Bo", 3999, "bolog", kNoon));
    TRunningServer server(*f.Scores.Service, {}, &f.Daily);
    httplib::Client client = server.Client();

    struct TCase {
        const char* Path;
        int Status;
        std::string Body;
        std::string CacheControl;
    };
    const TCase cases[] = {
        {"/daily/2026-12-09/leader", 200,
         R"({"date":"2026-12-09","name":"Ann","hundredths":4321,"log":"annlog-_"})",
         "public, max-age=60"},
        // Yesterday still takes times from players near midnight.
        {"/daily/2026-12-08/leader", 404, R"({"error":"no-leader"})", "no-cache"},
        {"/daily/2026-12-01/leader", 200,
         R"({"date":"2026-12-01","name":"Bo","hundredths":3999,"log":"bolog"})",
         "public, max-age=86400"},
        {"/daily/2026-02-30/leader", 404, R"({"error":"no-such-day"})", "no-cache"},
    };
    for (const TCase& c : cases) {
        const auto res = client.Get(c.Path);
        ASSERT_TRUE(res) << c.Path;
        EXPECT_EQ(res->status, c.Status) << c.Path;
        EXPECT_EQ(res->body, c.Body) << c.Path;
        EXPECT_EQ(res->get_header_value("Cache-Control"), c.CacheControl) << c.Path;
        EXPECT_EQ(res->get_header_value("Content-Type"), "application/json") << c.Path;
    }
    // A slower time by the leader's name does not replace the leader's log.
    ASSERT_TRUE(store.StoreDailyTime("2026-12-09", "Ann", 4400, "worse", kNoon));
    const auto again = client.Get("/daily/2026-12-09/leader");
    ASSERT_TRUE(again);
    EXPECT_NE(again->body.find("\"log\":\"annlog-_\""), std::string::npos) << again->body;
}

TEST(DailyLeader, AServiceWithoutTheDailyRaceHasNoLeader) {
    TServiceFixture scores;
    TRunningServer server(*scores.Service, {});
    httplib::Client client = server.Client();
    const auto res = client.Get("/daily/2026-12-09/leader");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    EXPECT_EQ(res->body, R"({"error":"no-leader"})");
}

TEST(DailyLeader, JsonEscapesTheName) {
    const TStoredDailyRun run{"A \"q\" \\ b", 123, "xy"};
    EXPECT_EQ(DailyLeaderJson("2026-12-09", run),
              R"({"date":"2026-12-09","name":"A \"q\" \\ b","hundredths":123,"log":"xy"})");
}
