// Connections to the score service: several requests on one kept-alive connection, replies
// that leave at once instead of waiting for the client's delayed ACK, and more kept-alive
// clients than workers kept ready, where every answer still arrives whole.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "harness/ServiceProcess.h"
#include "server/RawHttp.h"
#include "server/RunningServer.h"
#include "server/ScorePages.h"
#include "server/ServerTestUtil.h"

namespace {

// A service with a few scores, so that a reply is a few hundred bytes like a real one.
struct TTableFixture : TServiceFixture {
    TTableFixture() {
        // Names appended, not added: GCC 12 warns falsely (-Wrestrict) on "text" + string.
        for (int i = 0; i < 6; ++i) {
            std::string token = "t", name = "Player";
            token += std::to_string(i);
            name += std::to_string(i);
            Store->AddToken(token, Now + 3600);
            Store->StoreScore(token, Now, {name, 1000 + 37 * i, "a|b", 0});
        }
    }
    std::string Table() { return ScoresJson(Store->TopScores(kTableSize)); }
};

// No rate limit (every request comes from 127.0.0.1), and kept-alive connections that stay
// open for the whole test however slowly it runs.
TServerLimits TestLimits() {
    TServerLimits limits;
    limits.RatePerSecond = 0;
    limits.KeepAliveSeconds = 30;
    return limits;
}

// The server's end of the loopback connection whose client end is clientPort, among this
// process's descriptors; -1 when there is none.
int ServerEndOf(int serverPort, int clientPort) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::atoi(entry.path().filename().c_str());
        sockaddr_in local{}, peer{};
        socklen_t localSize = sizeof local, peerSize = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
            local.sin_family != AF_INET ||
            getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0)
            continue;
        if (ntohs(local.sin_port) == serverPort && ntohs(peer.sin_port) == clientPort) return fd;
    }
    return -1;
}

}  // namespace

// One request at a time: cpp-httplib reads each request afresh from the socket, so one sent
// before the answer to the last (pipelined) is not read.
TEST(ScoreServerConnections, TwoRequestsOnOneConnectionAreBothAnsweredWhole) {
    TTableFixture f;
    TRunningServer server(*f.Service, TestLimits());
    const auto rows = f.Store->TopScores(kTableSize);
    TRawConnection connection(server.Port());
    ASSERT_TRUE(connection.Connected());
    const std::pair<std::string, std::string> asked[] = {{"/scores.json", ScoresJson(rows)},
                                                         {"/scores", ScoresHtml(rows)}};
    for (const auto& [target, body] : asked) {
        ASSERT_TRUE(connection.Send(RawGet(target))) << target;
        const auto reply = connection.Read();
        ASSERT_TRUE(reply) << target;
        EXPECT_EQ(reply->Status, 200) << target;
        EXPECT_TRUE(reply->Whole) << target;
        EXPECT_EQ(reply->Body, body) << target;
        EXPECT_EQ(reply->Head.find("Connection: close"), std::string::npos) << reply->Head;
    }
}

// cpp-httplib writes a reply's head and body apart: with Nagle's algorithm on, the body waits
// for the client's delayed ACK of the head on every reused connection.
TEST(ScoreServerConnections, AcceptedConnectionsSendWithoutNagleDelay) {
    TTableFixture f;
    TRunningServer server(*f.Service, TestLimits());
    TRawConnection connection(server.Port());
    ASSERT_TRUE(connection.Send(RawGet("/scores.json")));
    ASSERT_TRUE(connection.Read());
    const int fd = ServerEndOf(server.Port(), connection.LocalPort());
    ASSERT_GE(fd, 0);
    int noDelay = 0;
    socklen_t size = sizeof noDelay;
    ASSERT_EQ(getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &size), 0);
    EXPECT_NE(noDelay, 0);
}

TEST(ScoreServerConnections, ConnectionsPastTheMostWorkersWaitForOneAndAreAnsweredWhole) {
    TTableFixture f;
    TServerLimits limits = TestLimits();
    limits.Threads = 1;
    limits.MaxThreads = 2;
    TRunningServer server(*f.Service, limits);
    const std::string table = f.Table();
    std::vector<std::unique_ptr<TRawConnection>> clients;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(std::make_unique<TRawConnection>(server.Port()));
        ASSERT_TRUE(clients.back()->Send(RawGet("/scores.json")));
    }
    // Two are served at once, past the one worker kept ready, and keep their workers.
    for (int i = 0; i < 2; ++i) {
        const auto reply = clients[i]->Read();
        ASSERT_TRUE(reply) << "client " << i;
        EXPECT_TRUE(reply->Whole);
        EXPECT_EQ(reply->Body, table);
    }
    // The third waits its turn: the first hanging up frees a worker for it.
    clients[0]->Close();
    const auto third = clients[2]->Read();
    ASSERT_TRUE(third);
    EXPECT_TRUE(third->Whole);
    EXPECT_EQ(third->Body, table);
    ASSERT_TRUE(clients[1]->Send(RawGet("/scores.json")));
    const auto again = clients[1]->Read();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Body, table);
}

// The real program with its default workers: 64 clients, each from an address of its own, keep
// their connection open while the others are answered, then ask again on it.
TEST(ScoreServerConnections, SixtyFourKeptAliveClientsOfTheServiceAreAllAnsweredWhole) {
    TTempDir dir;
    TServiceProcess service;
    ASSERT_TRUE(
        service.Start(VELKARO_SCORES_BIN, dir.File("scores.db"), dir.File("log"), {"--rate", "0"}));
    std::vector<std::unique_ptr<TRawConnection>> clients;
    for (int i = 0; i < 64; ++i) {
        std::string from = "127.0.1.";
        from += std::to_string(i + 1);
        clients.push_back(std::make_unique<TRawConnection>(service.Port(), from));
        ASSERT_TRUE(clients.back()->Send(RawGet("/scores.json"))) << "client " << i;
    }
    std::string table;
    for (const int round : {1, 2}) {
        for (size_t i = 0; i < clients.size(); ++i) {
            if (round == 2) {
                ASSERT_TRUE(clients[i]->Send(RawGet("/scores.json")));
            }
            const auto reply = clients[i]->Read();
            ASSERT_TRUE(reply) << "round " << round << ", client " << i;
            EXPECT_EQ(reply->Status, 200);
            EXPECT_TRUE(reply->Whole);
            if (table.empty()) table = reply->Body;
            EXPECT_EQ(reply->Body, table) << "round " << round << ", client " << i;
        }
    }
    EXPECT_EQ(table.substr(0, 1), "[");
}
