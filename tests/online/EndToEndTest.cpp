// The game's SubmitScore, through the shell and libcurl, against the real velkaro-scores on a
// free loopback port with a temporary database; then with the service stopped, and with a
// server that accepts and never answers. Frames run from the headless harness throughout.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "common/ScoreText.h"
#include "harness/Harness.h"
#include "harness/ServiceProcess.h"
#include "harness/TempFolder.h"
#include "online/OnlineTestUtil.h"
#include "server/SqliteScoreStore.h"
#include "shell/Globals.h"

namespace {

class EndToEnd : public testing::Test {
protected:
    void SetUp() override { ClearProxies(); }

    // Points the game's submissions at base, with the given time-outs.
    void Aim(const std::string& base, std::chrono::milliseconds connect,
             std::chrono::milliseconds total) {
        TOnlineSettings settings;
        settings.ServerUrl = base;
        settings.ConnectTimeout = connect;
        settings.RequestTimeout = total;
        Game.Form().Online.Configure(settings);
    }
    // Runs frames until the submission has ended and been polled.
    bool FramesUntilDone() {
        return WaitFor([&] {
            Game.RunFrames(1);
            return !Game.Form().Online.Busy();
        });
    }
    std::string Fetch(const std::string& url) {
        auto session = MakeCurlHttpClient()->OpenSession({});
        return session->Get(url).Body;
    }

    THarness Game;
    TMessageCapture Messages;
    TTempFolder Folder{"velkaro-online"};
};

}  // namespace

TEST_F(EndToEnd, TheScoreReachesTheServiceAndItsTable) {
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, Folder.File("scores.db"), Folder.File("log")));
    Aim(service.BaseUrl(), std::chrono::seconds(5), std::chrono::seconds(15));
    PlayerName = "Zo\xEB|=x";  // the game's 8-bit text
    Score = 4321;
    ExtraText = "hi=|";
    Game.Form().SubmitScore();
    ASSERT_TRUE(FramesUntilDone());
    EXPECT_EQ(Messages.Count(kCantConnectText), 0u);

    const std::string json = Fetch(service.BaseUrl() + "/scores.json");
    EXPECT_NE(json.find("\"name\":\"Zoë|=x\",\"score\":4321,\"extra\":\"hi=|\""), std::string::npos)
        << json;
    // SIGTERM stops the service cleanly, and the score is in its database afterwards.
    EXPECT_EQ(service.Stop(), 0);
    TSqliteScoreStore store(Folder.File("scores.db"));
    ASSERT_EQ(store.TopScores(10).size(), 1u);
    EXPECT_EQ(store.TopScores(10)[0].Score, 4321);
}

TEST_F(EndToEnd, AStoppedServiceGivesTheMessageOnceAndTheGameGoesOn) {
    Aim("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()), std::chrono::seconds(5),
        std::chrono::seconds(15));
    Score = 10;
    Game.Form().SubmitScore();
    ASSERT_TRUE(FramesUntilDone());
    Game.RunFrames(200);
    EXPECT_EQ(Messages.Count(kCantConnectText), 1u);
    EXPECT_FALSE(Game.Form().IsClosing());
}

TEST_F(EndToEnd, ASilentServerNeverHoldsUpAFrame) {
    TSilentServer silent;
    // Time-outs far beyond the test: only frames running meanwhile can pass it.
    Aim("http://127.0.0.1:" + std::to_string(silent.Port()), std::chrono::seconds(60),
        std::chrono::seconds(120));
    Game.Form().SubmitScore();
    ASSERT_TRUE(WaitFor([&] { return silent.Accepted() == 1; }));
    int frames = 0;
    Game.Form().SetStateActions(6, {[] { CurrentState = 6; }, [&] { ++frames; }, {}});
    Game.Form().EnterState(6);
    Game.RunFrames(300);
    EXPECT_EQ(frames, 300);
    EXPECT_TRUE(Game.Form().Online.Busy());
    EXPECT_EQ(Messages.Count(kCantConnectText), 0u);
    // Quitting does not wait for the answer that never comes.
    EXPECT_TRUE(Game.Form().Online.Shutdown(std::chrono::seconds(1)));
    EXPECT_EQ(Messages.Count(kCantConnectText), 0u);
}

TEST_F(EndToEnd, ASilentServerGivesTheMessageAfterTheTimeOut) {
    TSilentServer silent;
    Aim("http://127.0.0.1:" + std::to_string(silent.Port()), std::chrono::milliseconds(200),
        std::chrono::milliseconds(400));
    Game.Form().SubmitScore();
    ASSERT_TRUE(FramesUntilDone());
    EXPECT_EQ(silent.Accepted(), 1);
    Game.RunFrames(100);
    EXPECT_EQ(Messages.Count(kCantConnectText), 1u);
}

TEST_F(EndToEnd, AKilledServiceKeepsEveryAnsweredScore) {
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, Folder.File("scores.db"), Folder.File("log"),
                              {"--rate", "0"}));
    auto session = MakeCurlHttpClient()->OpenSession({});
    const std::string script = service.BaseUrl() + "/cgi/version.pl?";
    int answered = 0;
    for (int i = 0; i < 20; ++i) {
        // The pair SubmitScore sends, checking the answer the game itself ignores.
        const std::string token = VersionToken(session->Get(script + "version&prg=Velkaro").Body);
        const std::string inf =
            EncodeScoreText(BuildScoreText("p" + std::to_string(i), i, token, ""));
        if (session->Get(script + "hs&prg=Velkaro&inf=" + inf).Body == "OK|stored|") ++answered;
    }
    ASSERT_EQ(answered, 20);
    service.Kill();
    TSqliteScoreStore store(Folder.File("scores.db"));
    EXPECT_EQ(store.TopScores(100).size(), 20u);
}
