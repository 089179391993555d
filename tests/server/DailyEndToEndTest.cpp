// The real velkaro-scores program on loopback: the autopilot's recorded race is accepted with
// its exact time, a changed time is refused and logged, and the day's pages list it; a long
// race log is taken up to the service's own limits.
#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <random>
#include <sstream>

#include "harness/ServiceProcess.h"
#include "server/DailyRequest.h"
#include "server/DailyService.h"
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

namespace {
// The driven race with random keys after its finish (which a replay never reaches) until the
// encoded log is at least `bytes` long.
std::string PaddedLog(size_t bytes) {
    TKeyLog log = DrivenRace().Log;
    std::mt19937 random(7);
    std::string text = log.Encode();
    while (text.size() < bytes) {
        for (int i = 0; i < 256; ++i) log.Add(static_cast<uint8_t>(random() & keybit::All));
        text = log.Encode();
    }
    return text;
}
}  // namespace

// The service's own limits hold for a long race, not the web library's 8 KiB on form bodies:
// a log just inside the daily limit is replayed and kept, one past it and a body past the
// service's limit are refused with a text that says why.
TEST(DailyEndToEnd, ALongRaceLogIsTakenUpToTheServicesOwnLimit) {
    ASSERT_TRUE(DrivenRace().Finished);
    TTempDir dir;
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, dir.File("scores.db"), dir.File("log"),
                              {"--data", GameDir(), "--today", kDrivenDay, "--rate", "0"}));
    httplib::Client client("127.0.0.1", service.Port());
    client.set_read_timeout(60, 0);
    const std::string form = "application/x-www-form-urlencoded";
    const size_t limit = TDailyLimits{}.MaxLogBytes;

    TDailyForm nearLimit = TDailyForm::Driven();
    nearLimit.Log = PaddedLog(limit - 600);
    ASSERT_LE(nearLimit.Log.size(), limit);
    ASSERT_GT(nearLimit.Body().size(), 8192u);
    const auto accepted = client.Post("/daily/submit", nearLimit.Body(), form);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->status, 200) << accepted->body;
    EXPECT_EQ(accepted->body, "OK " + std::to_string(DrivenRace().RaceHundredths) + " 1");

    struct TCase {
        const char* What;
        std::string Log;
        int Status;
        std::string Text;
    };
    const TCase cases[] = {
        {"log past the daily limit", PaddedLog(limit + 1), 400,
         "REFUSED The race log is too long."},
        {"body past the service's limit", std::string(kMaxDailyBodyBytes, 'A'), 413,
         "REFUSED The race is too large to send: the service takes at most " +
             std::to_string(kMaxDailyBodyBytes) + " bytes."},
    };
    for (const TCase& c : cases) {
        TDailyForm over = TDailyForm::Driven();
        over.Name = "Bo";
        over.Log = c.Log;
        const auto refused = client.Post("/daily/submit", over.Body(), form);
        ASSERT_TRUE(refused) << c.What;
        EXPECT_EQ(refused->status, c.Status) << c.What;
        EXPECT_EQ(refused->body, c.Text) << c.What;
    }
    // Only the accepted race is on the day's table.
    const auto json = client.Get(std::string("/daily/") + kDrivenDay + ".json");
    ASSERT_TRUE(json);
    EXPECT_NE(json->body.find("\"Ann\""), std::string::npos) << json->body;
    EXPECT_EQ(json->body.find("\"Bo\""), std::string::npos) << json->body;
    EXPECT_EQ(service.Stop(), 0);
}
