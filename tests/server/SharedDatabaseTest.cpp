// Two velkaro-scores processes on one PostgreSQL database, as behind a load balancer: tokens
// issued by one are taken by the other, a token spent on one is refused on the other, and the
// scores and daily times stored through either are listed by both.
#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/ScoreText.h"
#include "harness/ServiceProcess.h"
#include "server/DailyTestUtil.h"
#include "server/PgTestServer.h"
#include "server/ServerTestUtil.h"

namespace {
std::string Inf(const std::string& name, int64_t score, const std::string& token) {
    return EncodeScoreText(BuildScoreText(name, score, token, ""));
}

std::string Body(httplib::Client& client, const std::string& target) {
    const auto reply = client.Get(target.c_str());
    return reply ? std::to_string(reply->status) + " " + reply->body : "no reply";
}
}  // namespace

TEST(SharedDatabase, TwoServicesOnOnePostgresDatabaseShareTokensScoresAndDailyTimes) {
    TPgTestServer& pg = TPgTestServer::Get();
    const std::string db = pg.NewDatabase();
    if (db.empty()) GTEST_SKIP() << "PostgreSQL is not available: " << pg.Why();
    ASSERT_TRUE(DrivenRace().Finished);
    TTempDir dir;
    const std::vector<std::string> options = {"--data",   GameDir(), "--today",
                                              kDrivenDay, "--rate",  "0"};
    TServiceProcess first, second;
    ASSERT_TRUE(first.Start(VELKARO_SCORES_BIN, db, dir.File("first.log"), options));
    ASSERT_TRUE(second.Start(VELKARO_SCORES_BIN, db, dir.File("second.log"), options));
    httplib::Client a("127.0.0.1", first.Port()), b("127.0.0.1", second.Port());
    a.set_read_timeout(60, 0);
    b.set_read_timeout(60, 0);
    const std::string version = "/cgi/version.pl?version&prg=Velkaro";
    const std::string submit = "/cgi/version.pl?hs&prg=Velkaro&inf=";

    // A token from the first is good on the second, once.
    const std::string token = TokenOf(Body(a, version));
    ASSERT_FALSE(token.empty());
    EXPECT_EQ(Body(b, submit + Inf("Ann", 1500, token)).substr(0, 7), "200 OK|");
    EXPECT_EQ(Body(a, submit + Inf("Ann", 1500, token)), "400 ERR|used-token|");
    EXPECT_EQ(Body(b, submit + Inf("Ann", 1500, token)), "400 ERR|used-token|");
    // And the other way round.
    const std::string other = TokenOf(Body(b, version));
    EXPECT_EQ(Body(a, submit + Inf("Bo", 1700, other)).substr(0, 7), "200 OK|");
    const std::string scores = Body(a, "/scores.json");
    EXPECT_EQ(scores, Body(b, "/scores.json"));
    EXPECT_LT(scores.find("\"Bo\""), scores.find("\"Ann\"")) << scores;

    // A daily race checked by one is on the other's table, with its log kept once.
    const std::string form = "application/x-www-form-urlencoded";
    const auto daily = a.Post("/daily/submit", TDailyForm::Driven().Body(), form);
    ASSERT_TRUE(daily);
    EXPECT_EQ(daily->status, 200) << daily->body;
    const auto again = b.Post("/daily/submit", TDailyForm::Driven().Body(), form);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->body, "OK " + std::to_string(DrivenRace().RaceHundredths) + " 1");
    const std::string table = Body(b, std::string("/daily/") + kDrivenDay + ".json");
    EXPECT_NE(table.find("\"name\":\"Ann\",\"hundredths\":" +
                         std::to_string(DrivenRace().RaceHundredths)),
              std::string::npos)
        << table;
    EXPECT_EQ(table, Body(a, std::string("/daily/") + kDrivenDay + ".json"));

    EXPECT_EQ(first.Stop(), 0);
    // The second goes on alone with everything.
    EXPECT_EQ(Body(b, "/scores.json"), scores);
    EXPECT_EQ(second.Stop(), 0);
}

// A database that cannot be reached stops the service at once with a message naming it, but
// never its password.
TEST(SharedDatabase, AnUnreachableDatabaseIsReportedWithoutItsPassword) {
#ifndef VELKARO_HAVE_POSTGRES
    GTEST_SKIP() << "this build has no PostgreSQL support";
#endif
    TTempDir dir;
    TServiceProcess service;
    const std::string db = "postgresql://velkaro:s3cret@/velkaro?host=" + dir.File("nowhere");
    EXPECT_FALSE(service.Start(VELKARO_SCORES_BIN, db, dir.File("log")));
    std::ifstream in(dir.File("log"));
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("cannot use the database postgresql://velkaro:***@/velkaro"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("s3cret"), std::string::npos) << log;
}
