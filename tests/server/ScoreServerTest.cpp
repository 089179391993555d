// The service's HTTP face, in-process on a free loopback port: the query forms, the refusals
// and their reasons, the request bounds, the tables and the access log.
#include "server/ScoreServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ScoreText.h"
#include "server/RunningServer.h"
#include "server/ServerTestUtil.h"

namespace {

struct TReply {
    int Status = 0;
    std::string Body;
};

TReply Get(httplib::Client& client, const std::string& target) {
    const auto res = client.Get(target.c_str());
    if (!res) return {};
    return {res->status, res->body};
}

}  // namespace

TEST(ScoreServer, VersionThenSubmissionThenTheTables) {
    TServiceFixture f;
    TRunningServer server(*f.Service, {});
    httplib::Client client = server.Client();
    const TReply version = Get(client, "/cgi/version.pl?version&prg=Velkaro");
    EXPECT_EQ(version.Status, 200);
    EXPECT_EQ(version.Body, "OK|1.0|2023-11-14T22:13:20Z|Have fun|tok0|");
    const std::string inf = EncodeScoreText(BuildScoreText("<Ann>", 4200, "tok0", "a|b"));
    const TReply stored = Get(client, "/cgi/version.pl?hs&prg=Velkaro&inf=" + inf);
    EXPECT_EQ(stored.Status, 200);
    EXPECT_EQ(stored.Body, "OK|stored|");
    const TReply again = Get(client, "/cgi/version.pl?hs&prg=Velkaro&inf=" + inf);
    EXPECT_EQ(again.Status, 400);
    EXPECT_EQ(again.Body, "ERR|used-token|");

    const auto json = client.Get("/scores.json");
    ASSERT_TRUE(json);
    EXPECT_EQ(json->get_header_value("Content-Type"), "application/json");
    EXPECT_NE(json->body.find("\"name\":\"\\u003cAnn>\",\"score\":4200,\"extra\":\"a|b\""),
              std::string::npos)
        << json->body;
    const auto page = client.Get("/scores");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<td>&lt;Ann&gt;</td><td class=\"n\">4200</td>"), std::string::npos);

    // One line per request, with the refusal's reason. Requests on different connections are
    // logged by different threads, so the lines may come in any order.
    const auto log = server.LogLines(5);
    ASSERT_EQ(log.size(), 5u);
    const auto has = [&](const std::string& part) {
        return std::count_if(log.begin(), log.end(), [&](const std::string& line) {
            return line.find(part) != std::string::npos;
        });
    };
    EXPECT_EQ(has(" 127.0.0.1 GET /cgi/version.pl?version&prg=Velkaro 200"), 1);
    EXPECT_EQ(has(" 127.0.0.1 GET /cgi/version.pl?hs&prg=Velkaro&inf="), 2);
    EXPECT_EQ(has(" 400 ERR|used-token|"), 1);
    EXPECT_EQ(has(" GET /scores.json 200"), 1);
}

TEST(ScoreServer, RefusesOtherQueriesAndStoresNothing) {
    TServiceFixture f;
    TRunningServer server(*f.Service, {});
    httplib::Client client = server.Client();
    const std::string inf = EncodeScoreText(BuildScoreText("Ann", 1, "tok0", ""));
    for (const std::string& query :
         {std::string("version"), std::string("version&prg=Other"), std::string("prg=Velkaro"),
          std::string("version&hs&prg=Velkaro"), std::string("hs&prg=Velkaro"),
          "hs&prg=Velkaro&inf=" + inf + "&inf=DDDDDDDD"}) {
        const TReply r = Get(client, "/cgi/version.pl?" + query);
        EXPECT_EQ(r.Status, 400) << query;
        EXPECT_EQ(r.Body, "ERR|bad-query|") << query;
    }
    const TReply malformed = Get(client, "/cgi/version.pl?hs&prg=Velkaro&inf=DDDDDDD");
    EXPECT_EQ(malformed.Status, 400);
    EXPECT_EQ(malformed.Body, "ERR|bad-length|");
    EXPECT_EQ(Get(client, "/cgi/other.pl").Status, 404);
    const auto post = client.Post("/cgi/version.pl?version&prg=Velkaro", "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_NE(post->status, 200);
    EXPECT_TRUE(f.Store->TopScores(10).empty());
}

TEST(ScoreServer, BoundsUrlLengthAndRequestRatePerAddress) {
    TServiceFixture f;
    TServerLimits limits;
    limits.MaxUrlLength = 200;
    // A rate so low that no refill happens during the test: exactly the burst gets through.
    limits.RatePerSecond = 0.0001;
    limits.RateBurst = 4;
    TRunningServer server(*f.Service, limits);
    httplib::Client client = server.Client();
    const TReply tooLong =
        Get(client, "/cgi/version.pl?hs&prg=Velkaro&inf=" + std::string(200, 'D'));
    EXPECT_EQ(tooLong.Status, 414);
    std::vector<int> statuses;
    for (int i = 0; i < 6; ++i) statuses.push_back(Get(client, "/scores.json").Status);
    // The refused long URL did not spend any of the burst.
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 200, 200, 429, 429}));
}
