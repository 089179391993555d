// The daily race's client through libcurl against a scripted loopback service (cpp-httplib):
// the submission's POST and the service's answers as the game reads them, the session still
// sending its plain GETs after a POST, one request of a kind at a time without holding up the
// caller, and the table page of the game showing a table the service sent.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "harness/ServiceProcess.h"
#include "online/OnlineTestUtil.h"
#include "platform/KeyCodes.h"
#include "shell/daily/DailyOnline.h"
#include "shell/daily/DailyRace.h"
#include "shell/Globals.h"

namespace {
struct TSeen {
    std::string Method, Path, ContentType, Date, Version, Name, Hundredths, Log;
};

// A service whose daily answers the test sets: the submission answers Status with Body; the
// table answers the table JSON of the asked day, with the asked name's place. Submissions can
// be held until Release().
class TScriptedService {
public:
    TScriptedService() {
        Http.Post("/daily/submit", [this](const httplib::Request& req, httplib::Response& res) {
            Record(req);
            std::unique_lock<std::mutex> lock(Lock);
            HeldCount += Hold ? 1 : 0;
            Released.wait(lock, [&] { return !Hold; });
            res.status = Status;
            res.set_content(Body, "text/plain");
        });
        Http.Get(R"(/daily/(\d{4}-\d{2}-\d{2})\.json)",
                 [this](const httplib::Request& req, httplib::Response& res) {
                     Record(req);
                     res.set_content(TableFor(req.matches[1], req.get_param_value("name")),
                                     "application/json");
                 });
        Http.Get("/plain", [this](const httplib::Request& req, httplib::Response& res) {
            Record(req);
            res.set_content("plain", "text/plain");
        });
        Port = Http.bind_to_any_port("127.0.0.1");
        Thread = std::thread([this] { Http.listen_after_bind(); });
        WaitFor([this] { return Http.is_running(); });
    }
    ~TScriptedService() {
        ReleaseHeld();
        Http.stop();
        Thread.join();
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(Port); }
    void Answer(int status, std::string body) {
        std::lock_guard<std::mutex> guard(Lock);
        Status = status;
        Body = std::move(body);
    }
    void HoldSubmissions() {
        std::lock_guard<std::mutex> guard(Lock);
        Hold = true;
    }
    void ReleaseHeld() {
        std::lock_guard<std::mutex> guard(Lock);
        Hold = false;
        Released.notify_all();
    }
    int Held() {
        std::lock_guard<std::mutex> guard(Lock);
        return HeldCount;
    }
    std::vector<TSeen> Requests() {
        std::lock_guard<std::mutex> guard(Lock);
        return Seen;
    }

private:
    void Record(const httplib::Request& req) {
        std::lock_guard<std::mutex> guard(Lock);
        Seen.push_back({req.method, req.path, req.get_header_value("Content-Type"),
                        req.get_param_value("date"), req.get_param_value("version"),
                        req.get_param_value("name"), req.get_param_value("hundredths"),
                        req.get_param_value("log")});
    }
    // Twelve entries, the asked name (when it is "Kim") in sixth place.
    static std::string TableFor(const std::string& date, const std::string& name) {
        std::string json = R"({"date":")" + date + R"(","entries":[)";
        for (int i = 1; i <= 12; ++i) {
            const std::string who = i == 6 ? "Kim" : "P" + std::to_string(i);
            json += (i > 1 ? "," : "") + std::string(R"({"place":)") + std::to_string(i) +
                    R"(,"name":")" + who + R"(","hundredths":)" + std::to_string(5000 + 100 * i) +
                    "}";
        }
        json += "]";
        if (name == "Kim") json += R"(,"own":{"place":6,"hundredths":5600})";
        return json + "}";
    }

    httplib::Server Http;
    int Port = 0;
    std::thread Thread;
    std::mutex Lock;
    std::condition_variable Released;
    bool Hold = false;
    int HeldCount = 0;
    int Status = 200;
    std::string Body = "OK 6123 3";
    std::vector<TSeen> Seen;
};

class DailyClient : public testing::Test {
protected:
    void SetUp() override { ClearProxies(); }
};

// The name in the game's 8-bit text; the service reads it as UTF-8.
const TDailySubmission kRace{"2026-12-10", "1.0.0", "Bo & Zo\xEB", 6123, "eJwr-_abc"};
}  // namespace

TEST_F(DailyClient, PostsTheRaceAndReadsEveryKindOfAnswer) {
    using K = TDailySubmitAnswer::TKind;
    struct TCase {
        int Status;
        const char* Body;
        K Kind;
        const char* Message;
    };
    const TCase cases[] = {
        {200, "OK 6123 3\n", K::Accepted, ""},
        {409, "REFUSED The replay's time is 1:02:00, not 1:01:23.\n", K::Refused,
         "The replay's time is 1:02:00, not 1:01:23."},
        {426,
         "REFUSED This race was driven with version 1.0.0; the service checks version 1.1.0. "
         "Please update the game.",
         K::Refused,
         "This race was driven with version 1.0.0; the service checks version 1.1.0. Please "
         "update the game."},
        {429, "REFUSED Too many submissions; try again later.", K::Refused,
         "Too many submissions; try again later."},
        {500, "Internal Server Error", K::Unreachable, ""},
    };
    TScriptedService service;
    auto session = MakeCurlHttpClient()->OpenSession({});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Body);
        service.Answer(c.Status, c.Body);
        const TDailySubmitAnswer a = RunDailySubmit(*session, service.Base(), kRace);
        EXPECT_EQ(a.Kind, c.Kind);
        EXPECT_EQ(a.Message, c.Message);
        if (c.Kind == K::Accepted) {
            EXPECT_EQ(a.Hundredths, 6123);
            EXPECT_EQ(a.Place, 3);
        }
    }
    const auto seen = service.Requests();
    ASSERT_EQ(seen.size(), std::size(cases));
    for (const TSeen& s : seen) {
        EXPECT_EQ(s.Method, "POST");
        EXPECT_EQ(s.Path, "/daily/submit");
        EXPECT_EQ(s.ContentType, "application/x-www-form-urlencoded");
        EXPECT_EQ(s.Date, "2026-12-10");
        EXPECT_EQ(s.Version, "1.0.0");
        EXPECT_EQ(s.Name, "Bo & Zoë");
        EXPECT_EQ(s.Hundredths, "6123");
        EXPECT_EQ(s.Log, "eJwr-_abc");
    }
    // After the posts the session's requests are plain GETs again.
    EXPECT_TRUE(session->Get(service.Base() + "/plain").Ok);
    EXPECT_EQ(service.Requests().back().Method, "GET");
    EXPECT_EQ(service.Requests().back().ContentType, "text/html");
    // Nothing listening: unreachable, not refused.
    EXPECT_EQ(
        RunDailySubmit(*session, "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()), kRace)
            .Kind,
        K::Unreachable);
}

TEST_F(DailyClient, FetchesTheDaysTableWithThePlayersPlace) {
    TScriptedService service;
    auto session = MakeCurlHttpClient()->OpenSession({});
    const TDailyTableAnswer kim = RunDailyTable(*session, service.Base(), "2026-12-10", "Kim");
    ASSERT_TRUE(kim.Reached);
    EXPECT_EQ(kim.Table.Entries.size(), 12u);
    ASSERT_TRUE(kim.Table.Own.has_value());
    EXPECT_EQ(kim.Table.Own->Place, 6);
    const TDailyTableAnswer other = RunDailyTable(*session, service.Base(), "2026-12-10", "A b&c");
    ASSERT_TRUE(other.Reached);
    EXPECT_FALSE(other.Table.Own.has_value());
    EXPECT_EQ(service.Requests().back().Path, "/daily/2026-12-10.json");
    EXPECT_EQ(service.Requests().back().Name, "A b&c");
}

TEST_F(DailyClient, OneSubmissionAtATimeAndTheCallerNeverWaits) {
    TScriptedService service;
    service.HoldSubmissions();
    TDailyOnline online;
    online.SetClient(MakeCurlHttpClient());
    online.SetServer(service.Base(), {});
    ASSERT_TRUE(online.Submit(kRace));
    ASSERT_TRUE(WaitFor([&] { return service.Held() == 1; }));
    // Held by the service: still running, no answer, and a second one is not started.
    EXPECT_TRUE(online.SubmitRunning());
    EXPECT_FALSE(online.TakeSubmitAnswer().has_value());
    EXPECT_FALSE(online.Submit(kRace));
    // The table is a request of its own kind and goes meanwhile.
    ASSERT_TRUE(online.RequestTable("2026-12-10", "Kim"));
    std::optional<TDailyTableAnswer> table;
    ASSERT_TRUE(WaitFor([&] { return (table = online.TakeTableAnswer()).has_value(); }));
    EXPECT_TRUE(table->Reached);
    service.ReleaseHeld();
    std::optional<TDailySubmitAnswer> answer;
    ASSERT_TRUE(WaitFor([&] { return (answer = online.TakeSubmitAnswer()).has_value(); }));
    EXPECT_EQ(answer->Kind, TDailySubmitAnswer::TKind::Accepted);
    // Taken once only.
    EXPECT_FALSE(online.TakeSubmitAnswer().has_value());
    EXPECT_EQ(service.Requests().size(), 2u);
}

TEST_F(DailyClient, TheTablePageShowsTheTopTenAndThePlayersPlace) {
    TScriptedService service;
    THarness h;
    TOnlineSettings online;
    online.ServerUrl = service.Base();
    h.Form().Online.Configure(online);
    h.Form().Daily.UtcSeconds = [] { return DailyDayNumber(DailyPlanFor(2026, 12, 10)) * 86400; };
    ASSERT_TRUE(RunUntilState(h, st::FirstPlayer, 600));
    TypeText(h, "Kim");
    h.Tap(vk::Return);
    ASSERT_TRUE(ClickButton(h, "b_daily"));
    ASSERT_TRUE(ClickButton(h, "b_dtable"));
    ASSERT_TRUE(WaitFor([&] {
        h.RunFrames(1);
        return h.Form().Daily.Table != TDailyRun::TTableState::Asking;
    }));
    ASSERT_EQ(h.Form().Daily.Table, TDailyRun::TTableState::Shown);
    const auto lines = DailyTableLines(h.Form().Daily, PlayerName);
    // The day, ten rows of place, name and time, and the player's own place.
    ASSERT_EQ(lines.size(), 1u + 30u + 1u);
    EXPECT_EQ(lines[0].Text, "Daily race 2026-12-10");
    EXPECT_EQ(lines[1].Text, "1");
    EXPECT_EQ(lines[2].Text, "P1");
    EXPECT_EQ(lines[3].Text, "0:51:00");
    EXPECT_EQ(lines[30].Text, "1:00:00");  // the tenth row; the eleventh and twelfth not shown
    // Kim's row (sixth) is marked as the player's own, the others not.
    for (size_t row = 0; row < 10; ++row)
        EXPECT_EQ(lines[1 + 3 * row + 1].Own, row == 5) << lines[1 + 3 * row + 1].Text;
    EXPECT_EQ(lines.back().Text, "Your place: 6  0:56:00");
    EXPECT_EQ(service.Requests().back().Name, "Kim");
}

TEST_F(DailyClient, AnAnswerThatComesAfterTheNextTryStartedIsNotThatTrysAnswer) {
    TScriptedService service;
    service.HoldSubmissions();
    THarness h;
    TOnlineSettings online;
    online.ServerUrl = service.Base();
    h.Form().Online.Configure(online);
    PlayerName = "Kim";
    TDailyRun& d = h.Form().Daily;
    d.Plan = DailyPlanFor(2026, 12, 10);
    d.End = TDailyEnd::Finished;
    d.Hundredths = 6123;
    SubmitDailyRace(h.Form());
    ASSERT_EQ(d.Submit, TDailySubmitState::Sending);
    ASSERT_TRUE(WaitFor([&] { return service.Held() == 1; }));
    // The player goes on to another try while the service still works on the first.
    h.Form().LoadGameImages();
    StartDailyRace(h.Form());
    EXPECT_EQ(d.Submit, TDailySubmitState::NotSent);
    service.ReleaseHeld();
    ASSERT_TRUE(WaitFor([&] { return !d.Online.SubmitRunning(); }));
    EXPECT_FALSE(TakeDailySubmitAnswer(h.Form()));
    EXPECT_EQ(d.Submit, TDailySubmitState::NotSent);
    EXPECT_EQ(d.SubmitText, "");
}
