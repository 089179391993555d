// The libcurl client against a recording loopback server: the request headers, cookies kept
// between the two requests of a submission, HTTP errors, oversized replies and cancelling; and
// a libcurl that cannot be loaded, which must fail every online action as an unreachable
// service does.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "harness/ServiceProcess.h"
#include "online/OnlineTestUtil.h"
#include "shell/HttpClient.h"
#include "shell/daily/DailyOnline.h"
#include "shell/Online.h"

namespace {

struct TSeenRequest {
    std::string Target, ContentType, Accept, UserAgent, Cookie;
};

// A loopback HTTP server whose version script sets a cookie and records what it is sent.
class TRecordingServer {
public:
    TRecordingServer() {
        Http.Get("/cgi/version.pl", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> guard(Lock);
                Seen.push_back({req.target, req.get_header_value("Content-Type"),
                                req.get_header_value("Accept"), req.get_header_value("User-Agent"),
                                req.get_header_value("Cookie")});
            }
            if (req.has_param("version")) {
                res.set_header("Set-Cookie", "visit=42; Path=/");
                res.set_content("OK|1.0|now|hello|tok7|", "text/plain");
            } else {
                res.set_content("OK", "text/plain");
            }
        });
        Http.Get("/status500", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("OK|but an error", "text/plain");
        });
        Http.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(200 * 1024, 'x'), "text/plain");
        });
        Port = Http.bind_to_any_port("127.0.0.1");
        Thread = std::thread([this] { Http.listen_after_bind(); });
        WaitFor([this] { return Http.is_running(); });
    }
    ~TRecordingServer() {
        Http.stop();
        Thread.join();
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(Port); }
    std::vector<TSeenRequest> Requests() {
        std::lock_guard<std::mutex> guard(Lock);
        return Seen;
    }

private:
    httplib::Server Http;
    int Port = 0;
    std::thread Thread;
    std::mutex Lock;
    std::vector<TSeenRequest> Seen;
};

class CurlClient : public testing::Test {
protected:
    void SetUp() override { ClearProxies(); }
};

}  // namespace

TEST_F(CurlClient, SendsTheGameHeadersAndKeepsCookiesBetweenTheTwoRequests) {
    TRecordingServer server;
    auto session = MakeCurlHttpClient()->OpenSession({});
    ASSERT_TRUE(RunSubmission(*session, server.Base(), "Ann", 10, ""));
    const auto seen = server.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Target, "/cgi/version.pl?version&prg=Velkaro");
    EXPECT_EQ(seen[1].Target.rfind("/cgi/version.pl?hs&prg=Velkaro&inf=", 0), 0u);
    for (const TSeenRequest& r : seen) {
        EXPECT_EQ(r.ContentType, "text/html");
        EXPECT_EQ(r.Accept, "text/html, */*");
        EXPECT_EQ(r.UserAgent, "Mozilla/3.0 (compatible; libcurl)");
    }
    EXPECT_EQ(seen[0].Cookie, "");
    EXPECT_EQ(seen[1].Cookie, "visit=42");
    // A new submission is a new conversation: no cookie from the last one.
    auto next = MakeCurlHttpClient()->OpenSession({});
    ASSERT_TRUE(RunSubmission(*next, server.Base(), "Ann", 10, ""));
    EXPECT_EQ(server.Requests()[2].Cookie, "");
}

TEST_F(CurlClient, ErrorsAndOversizedRepliesAreFailuresWithoutABody) {
    TRecordingServer server;
    auto session = MakeCurlHttpClient()->OpenSession({});
    const THttpReply error = session->Get(server.Base() + "/status500");
    EXPECT_FALSE(error.Ok);
    EXPECT_EQ(error.Status, 500);
    const THttpReply huge = session->Get(server.Base() + "/huge");
    EXPECT_FALSE(huge.Ok);
    EXPECT_TRUE(huge.Body.empty());
    const THttpReply refused =
        session->Get("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/");
    EXPECT_FALSE(refused.Ok);
    EXPECT_FALSE(refused.Error.empty());
    // The session still works after failures.
    EXPECT_TRUE(session->Get(server.Base() + "/cgi/version.pl?version&prg=Velkaro").Ok);
}

TEST_F(CurlClient, CancelEndsARequestToASilentServer) {
    TSilentServer silent;
    THttpLimits limits;
    limits.RequestTimeout = std::chrono::minutes(5);
    auto session = MakeCurlHttpClient()->OpenSession(limits);
    std::atomic<bool> ended{false};
    THttpReply reply;
    std::thread worker([&] {
        reply = session->Get("http://127.0.0.1:" + std::to_string(silent.Port()) + "/");
        ended = true;
    });
    ASSERT_TRUE(WaitFor([&] { return silent.Accepted() == 1; }));
    EXPECT_FALSE(ended);
    session->Cancel();
    EXPECT_TRUE(WaitFor([&] { return ended.load(); }));
    worker.join();
    EXPECT_FALSE(reply.Ok);
    EXPECT_EQ(reply.Error, "cancelled");
    // Later requests of a cancelled session fail at once.
    EXPECT_FALSE(session->Get("http://127.0.0.1:" + std::to_string(silent.Port()) + "/").Ok);
}

TEST_F(CurlClient, WithoutLibcurlEveryOnlineActionFailsAsAnUnreachableService) {
    struct Case {
        const char* What;
        const char* Library;
    };
    for (const Case& c : {Case{"no such file", "libvelkaro-no-such-curl.so.4"},
                          Case{"a library without libcurl's functions", "libz.so.1"}}) {
        SCOPED_TRACE(c.What);
        TRecordingServer server;
        const auto client = MakeCurlHttpClient(c.Library);

        auto session = client->OpenSession({});
        ASSERT_NE(session, nullptr);
        const std::string url = server.Base() + "/cgi/version.pl?version&prg=Velkaro";
        for (const THttpReply& reply : {session->Get(url), session->Post(url, "a=1")}) {
            EXPECT_FALSE(reply.Ok);
            EXPECT_EQ(reply.Status, 0);
            EXPECT_TRUE(reply.Body.empty());
            // The library's name and the loader's reason, for the log.
            EXPECT_NE(reply.Error.find("libcurl"), std::string::npos) << reply.Error;
            EXPECT_NE(reply.Error.find(c.Library), std::string::npos) << reply.Error;
        }
        session->Cancel();
        EXPECT_FALSE(RunSubmission(*session, server.Base(), "Ann", 10, ""));

        // The score submission shows its usual message, once.
        {
            TMessageCapture messages;
            TOnline online(client);
            TOnlineSettings settings;
            settings.ServerUrl = server.Base();
            online.Configure(settings);
            online.SubmitScore("Ann", 10, "");
            ASSERT_TRUE(WaitFor([&] {
                online.PollOnline();
                return !online.Busy();
            }));
            EXPECT_EQ(messages.Count(), 1u);
            EXPECT_EQ(messages.Count(kCantConnectText), 1u);
        }

        // The daily race's three requests are unreachable.
        TDailyOnline daily;
        daily.SetClient(client);
        daily.SetServer(server.Base(), {});
        ASSERT_TRUE(daily.Submit({"2026-12-10", "1.0", "Ann", 6000, "log"}));
        ASSERT_TRUE(daily.RequestTable("2026-12-10", "Ann"));
        ASSERT_TRUE(daily.RequestLeader("2026-12-10"));
        std::optional<TDailySubmitAnswer> submitted;
        std::optional<TDailyTableAnswer> table;
        std::optional<TDailyLeaderAnswer> leader;
        ASSERT_TRUE(WaitFor([&] {
            if (!submitted) submitted = daily.TakeSubmitAnswer();
            if (!table) table = daily.TakeTableAnswer();
            if (!leader) leader = daily.TakeLeaderAnswer();
            return submitted && table && leader;
        }));
        EXPECT_EQ(submitted->Kind, TDailySubmitAnswer::TKind::Unreachable);
        EXPECT_FALSE(table->Reached);
        EXPECT_EQ(leader->Kind, TDailyLeaderAnswer::TKind::Unreachable);

        EXPECT_TRUE(server.Requests().empty());
    }
    // The game's own library is not held back by the failures: it still loads and talks.
    TRecordingServer server;
    auto session = MakeCurlHttpClient()->OpenSession({});
    EXPECT_TRUE(RunSubmission(*session, server.Base(), "Ann", 10, ""));
    EXPECT_EQ(server.Requests().size(), 2u);
}
