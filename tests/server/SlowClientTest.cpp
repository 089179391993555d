// Slow and many clients against the score service on loopback: a client that sends its request
// a little at a time is cut off when its whole-request deadline passes (however often it sends
// a byte), connections past the limit of one address are answered 503 at once, an honest
// client from another address is answered while the slow ones hang on, and the real program
// stops on SIGTERM whatever its clients are doing.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "harness/ServiceProcess.h"
#include "server/DailyTestUtil.h"
#include "server/RawHttp.h"
#include "server/RunningServer.h"
#include "server/ScorePages.h"
#include "server/ServerTestUtil.h"

namespace {

using namespace std::chrono_literals;

// Every slow client plays from this address, the honest one from 127.0.0.1.
constexpr const char* kSlowAddress = "127.0.0.2";

// Connections that each started a request and add one header line to it every `every`, on a
// thread of their own, until stopped or answered.
class TDribblers {
public:
    TDribblers(int port, int count, std::chrono::milliseconds every) {
        for (int i = 0; i < count; ++i) {
            Connections.push_back(std::make_unique<TRawConnection>(port, kSlowAddress));
            Connections.back()->Send("GET /scores.json HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        }
        Thread = std::thread([this, every] {
            for (int line = 0; !Done; ++line) {
                for (auto& c : Connections) c->Send("X-Line: " + std::to_string(line) + "\r\n");
                std::this_thread::sleep_for(every);
            }
        });
    }
    ~TDribblers() { Stop(); }
    void Stop() {
        Done = true;
        if (Thread.joinable()) Thread.join();
    }
    // Connections the service has neither answered nor closed.
    int StillWaiting() {
        int waiting = 0;
        for (auto& c : Connections) waiting += c->Connected() && !c->Readable(0) ? 1 : 0;
        return waiting;
    }
    std::vector<std::unique_ptr<TRawConnection>> Connections;

private:
    std::atomic<bool> Done{false};
    std::thread Thread;
};

TServerLimits SlowLimits() {
    TServerLimits limits;
    limits.RatePerSecond = 0;
    limits.MaxConnectionsPerClient = 4;
    limits.RequestDeadline = 2s;
    return limits;
}

bool LogHas(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

// Ways of sending a request too slowly; each keeps sending now and then, well inside any
// time-out per read, and is answered 408 once the whole request's deadline has passed.
TEST(SlowClients, ARequestThatArrivesTooSlowlyIsCutOffAtItsDeadline) {
    struct TCase {
        const char* What;
        std::string Start;      // sent at once
        std::string EachPause;  // sent after every pause
    };
    const TCase cases[] = {
        {"head a line at a time", "GET /scores.json HTTP/1.1\r\n", "X-Pad: 1\r\n"},
        {"request line a byte at a time", "GET /scores", "x"},
        {"body a byte at a time",
         "POST /daily/submit HTTP/1.1\r\nHost: x\r\nContent-Type: "
         "application/x-www-form-urlencoded\r\nContent-Length: 1000\r\n\r\n",
         "a"},
    };
    TServiceFixture f;
    TDailyService daily(*f.Store, GameDir(), [] { return kDrivenDayNoon; }, {});
    TServerLimits limits = SlowLimits();
    limits.RequestDeadline = 1500ms;
    TRunningServer server(*f.Service, limits, &daily);
    for (const TCase& c : cases) {
        TRawConnection slow(server.Port(), kSlowAddress);
        ASSERT_TRUE(slow.Send(c.Start)) << c.What;
        // Bounded: 40 pauses of 200 ms, far past the deadline.
        bool answered = false;
        for (int i = 0; i < 40 && !answered; ++i) {
            answered = slow.Readable(200);
            if (!answered) slow.Send(c.EachPause);
        }
        ASSERT_TRUE(answered) << c.What;
        const auto reply = slow.Read();
        ASSERT_TRUE(reply) << c.What;
        EXPECT_EQ(reply->Status, 408) << c.What;
        EXPECT_NE(reply->Head.find("Connection: close"), std::string::npos) << c.What;
        EXPECT_FALSE(slow.Read()) << c.What << ": the connection stays open";
    }
    const auto log = server.LogLines(3);
    EXPECT_TRUE(LogHas(log, "127.0.0.2 - - 408 request-deadline")) << log.front();
    // The reply cpp-httplib made up for the half-read request is not logged as if answered.
    EXPECT_FALSE(LogHas(log, " 400")) << log.back();
}

TEST(SlowClients, AnHonestClientIsAnsweredWhileSlowOnesHangOnAndExtraOnesAreTurnedAway) {
    TServiceFixture f;
    f.Store->AddToken("t", f.Now + 60);
    f.Store->StoreScore("t", f.Now, {"Ann", 1234, "a|b", 0});
    TServerLimits limits = SlowLimits();
    limits.RequestDeadline = 30s;
    limits.Threads = 2;
    TRunningServer server(*f.Service, limits);
    TDribblers slow(server.Port(), 6, 300ms);

    // Two past the four allowed from that address are told so at once.
    int refused = 0;
    for (auto& c : slow.Connections) {
        if (!c->Readable(1000)) continue;
        const auto reply = c->Read();
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->Status, 503);
        EXPECT_NE(reply->Body.find("Too many connections"), std::string::npos) << reply->Body;
        c->Close();
        ++refused;
    }
    EXPECT_EQ(refused, 2);

    httplib::Client honest("127.0.0.1", server.Port());
    honest.set_read_timeout(20, 0);
    const auto reply = honest.Get("/scores.json");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body, ScoresJson(f.Store->TopScores(kTableSize)));
    EXPECT_EQ(slow.StillWaiting(), 4);
    EXPECT_TRUE(LogHas(server.LogLines(3), "127.0.0.2 - - 503 too-many-connections"));
}

// Clients using every connection their address may have, whose connections the service
// closes after every reply, connect again at once: they are served, not refused while their
// old connection is still on its way out.
TEST(SlowClients, ClientsReplacingClosedConnectionsAreServed) {
    TServiceFixture f;
    TServerLimits limits = SlowLimits();
    limits.MaxConnectionsPerClient = 4;
    limits.KeepAliveRequests = 1;
    TRunningServer server(*f.Service, limits);
    // The access log line is written after the reply: while it is, the client already has its
    // answer and connects again.
    server.SlowLog(std::chrono::milliseconds(20));
    std::atomic<int> refused{0}, unanswered{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < 4; ++c) {
        clients.emplace_back([&] {
            for (int round = 0; round < 20; ++round) {
                TRawConnection client(server.Port(), "127.0.0.5");
                const auto reply =
                    client.Send(RawGet("/scores.json")) ? client.Read() : std::nullopt;
                if (!reply)
                    ++unanswered;
                else if (reply->Status != 200)
                    ++refused;
            }
        });
    }
    for (std::thread& t : clients) t.join();
    EXPECT_EQ(refused.load(), 0);
    EXPECT_EQ(unanswered.load(), 0);
}

TEST(SlowClients, AnotherAddressHasItsOwnLimit) {
    TConnectionCounter counter;
    EXPECT_TRUE(counter.Enter("a", 2));
    EXPECT_TRUE(counter.Enter("a", 2));
    EXPECT_FALSE(counter.Enter("a", 2));
    EXPECT_TRUE(counter.Enter("b", 2));
    counter.Leave("a");
    EXPECT_EQ(counter.Open("a"), 1u);
    EXPECT_TRUE(counter.Enter("a", 2));
    counter.Leave("b");
    EXPECT_EQ(counter.Open("b"), 0u);
    counter.Leave("b");  // more leaving than entering changes nothing
    EXPECT_EQ(counter.Open("b"), 0u);
}

// The real program: sixteen slow clients from one address (as many as it allows, the rest
// turned away), idle kept-alive connections and a client that never reads its reply, then
// SIGTERM. It stops, and cleanly, within a bound none of those clients decides.
TEST(SlowClients, TheServiceStopsOnSigtermWhateverItsClientsDo) {
    TTempDir dir;
    TServiceProcess service;
    ASSERT_TRUE(
        service.Start(VELKARO_SCORES_BIN, dir.File("scores.db"), dir.File("log"), {"--rate", "0"}));
    TDribblers slow(service.Port(), 16, 500ms);
    std::vector<std::unique_ptr<TRawConnection>> idle;
    for (int i = 0; i < 4; ++i) {
        idle.push_back(std::make_unique<TRawConnection>(service.Port(), "127.0.0.3"));
        ASSERT_TRUE(idle.back()->Send(RawGet("/scores")));
        ASSERT_TRUE(idle.back()->Read());
    }
    TRawConnection silent(service.Port(), "127.0.0.4");  // connected, never says a word
    ASSERT_TRUE(silent.Connected());

    httplib::Client honest("127.0.0.1", service.Port());
    honest.set_read_timeout(20, 0);
    const auto reply = honest.Get("/scores.json");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);

    const std::optional<int> status = service.StopWithin(5000);
    ASSERT_TRUE(status) << "still running 5 s after SIGTERM";
    EXPECT_EQ(*status, 0);
}
