// The real velkaro-scores program on loopback: the autopilot's recorded race is accepted with
// its exact time, a changed time is refused and logged, and the day's pages list it.
#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <sstream>

#include "harness/ServiceProcess.h"
#include "server/DailyTestUtil.h"
#include "server/ServerTestUtil.h"

namespace {
std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

TEST(DailyEndToEnd, TheRecordedRaceIsAcceptedWithItsExactTime) {
    ASSERT_TRUE(DrivenRace().Finished);
    TTempDir dir;
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, dir.File("scores.db"), dir.File("log"),
                              {"--data", GameDir(), "--today", kDrivenDay, "--rate", "0"}));
    httplib::Client client("127.0.0.1", service.Port());
    client.set_read_timeout(60, 0);
    const std::string form = "application/x-www-form-urlencoded";
    const std::string time = std::to_string(DrivenRace().RaceHundredths);

    TDailyForm changed = TDailyForm::Driven();
    changed.Hundredths = std::to_string(DrivenRace().RaceHundredths - 10);
    auto refused = client.Post("/daily/submit", changed.Body(), form);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 409);
    EXPECT_EQ(refused->body.rfind("REFUSED ", 0), 0u);

    TDailyForm driven = TDailyForm::Driven();
    driven.Name = "Ann+Lee";
    auto accepted = client.Post("/daily/submit", driven.Body(), form);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->status, 200);
    EXPECT_EQ(accepted->body, "OK " + time + " 1");

    auto json = client.Get(std::string("/daily/") + kDrivenDay + ".json?name=Ann%20Lee");
    ASSERT_TRUE(json);
    EXPECT_EQ(json->body, std::string("{\"date\":\"") + kDrivenDay +
                              "\",\"entries\":[{\"place\":1,\"name\":\"Ann Lee\",\"hundredths\":" +
                              time + "}],\"own\":{\"place\":1,\"hundredths\":" + time + "}}");
    for (const std::string& path : {std::string("/daily"), std::string("/daily/") + kDrivenDay}) {
        auto page = client.Get(path);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200);
        EXPECT_NE(page->body.find("Ann Lee"), std::string::npos) << path;
    }
    auto noDay = client.Get("/daily/2026-02-30");
    ASSERT_TRUE(noDay);
    EXPECT_EQ(noDay->status, 404);

    EXPECT_EQ(service.Stop(), 0);
    const std::string log = ReadFile(dir.File("log"));
    EXPECT_NE(log.find("daily refused (409)"), std::string::npos) << log;
    EXPECT_NE(log.find("daily verified: " + std::string(kDrivenDay) + " Ann Lee " + time),
              std::string::npos)
        << log;
}
