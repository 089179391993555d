// The daily race's ghost in the shell: where the race draws it (on the road, or a marker at
// the edge with the gap), which race it drives (the leader, or the player's best when the
// service has none or cannot be reached, with one quiet line), and, through the whole game in
// a window, that racing with a ghost leaves the race exactly as it is without one.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "harness/Autopilot.h"
#include "harness/DailyRecording.h"
#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "harness/ServiceProcess.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/daily/DailyGhost.h"
#include "shell/daily/DailyOnline.h"
#include "shell/daily/DailyRace.h"
#include "world/RaceRecord.h"
#include "world/WorldHash.h"

namespace {
// A day whose race the autopilot finishes, and noon UTC on it.
constexpr const char* kDrivenDay = "2026-12-09";
int64_t DrivenNoon() {
    return DailyDayNumber(*ParseDailyDate(kDrivenDay)) * 86400 + 12 * 3600;
}

const TDailyRecording& Driven() {
    static const TDailyRecording r = RecordDailyRace(*ParseDailyDate(kDrivenDay));
    return r;
}

// A track of five steps: the ghost moving up the road, invisible at step 3.
TGhostTrack SmallTrack() {
    TGhostTrack t;
    for (int32_t i = 0; i < 5; ++i) {
        TGhostFrame f;
        f.X = 10;
        f.Y = -100.0f * static_cast<float>(i);
        f.Progress = 100.0f * static_cast<float>(i);
        f.Visible = i == 3 ? 0 : 1;
        t.Frames.push_back(f);
    }
    t.Finished = true;
    return t;
}
}  // namespace

TEST(DailyGhost, IsDrawnOnTheRoadOrMarkedAtTheEdgeWithTheGap) {
    const TGhostTrack track = SmallTrack();
    struct TCase {
        const char* What;
        int32_t Frame;
        double AnchorY, Distance;
        bool Shown, Marker;
        float Y;
        int32_t MarkerY;
        std::string Text;
    };
    const TCase cases[] = {
        {"on the screen", 1, 300, 100, true, false, 200, 0, ""},
        {"on the screen, blinking off", 3, 500, 300, false, false, 200, 0, ""},
        // Checkpoint 1 far below the screen: the ghost is far up the road, ahead. The player
        // at distance 100 at step 4 was 3 steps behind the ghost's reaching it.
        {"above the screen", 4, 300, 100, false, true, -100, 4, "Ann 0.03 s ahead"},
        {"below the screen", 1, 900, 400, false, true, 800, 582, "Ann 0.03 s behind"},
        {"before the first step", -1, 300, 0, false, false, 0, 0, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const TGhostView v = GhostViewAt(track, "Ann", c.Frame, 100, c.AnchorY, c.Distance, 48, 88);
        EXPECT_EQ(v.Shown, c.Shown);
        EXPECT_EQ(v.Marker, c.Marker);
        EXPECT_EQ(v.MarkerText, c.Text);
        if (v.Car != nullptr) {
            EXPECT_FLOAT_EQ(v.X, 110.0f);
            EXPECT_FLOAT_EQ(v.Y, c.Y);
        }
        if (c.Marker) {
            EXPECT_EQ(v.MarkerY, c.MarkerY);
            EXPECT_EQ(v.MarkerX, 134);  // under the car's middle, kept off the corners
        }
    }
    EXPECT_EQ(GhostViewAt(TGhostTrack{}, "Ann", 10, 0, 0, 0, 48, 88).Car, nullptr);

    const std::pair<int32_t, const char*> gaps[] = {
        {0, "0.00 s"}, {5, "+0.05 s"}, {-123, "-1.23 s"}, {6000, "+60.00 s"}};
    for (const auto& [hundredths, text] : gaps) EXPECT_EQ(GhostGapText(hundredths), text);
}

namespace {
// A client whose every request gets one scripted reply; none at all when Reply is empty.
class TScriptedClient final : public THttpClient {
public:
    explicit TScriptedClient(std::optional<THttpReply> reply) : Reply(std::move(reply)) {}
    std::unique_ptr<THttpSession> OpenSession(const THttpLimits&) override {
        if (!Reply) return nullptr;
        struct TSession final : THttpSession {
            THttpReply R;
            THttpReply Get(const std::string&) override { return R; }
            THttpReply Post(const std::string&, const std::string&) override { return R; }
            void Cancel() override {}
        };
        auto s = std::make_unique<TSession>();
        s->R = *Reply;
        return s;
    }
    std::optional<THttpReply> Reply;
};

THttpReply Reply(long status, const std::string& body) {
    THttpReply r;
    r.Status = status;
    r.Ok = status >= 200 && status < 300;
    r.Body = body;
    return r;
}

// Polls until the ghost has settled (its request answered and its replay done).
void Settle(TDailyGhost& g, const TDailyBest& best, TDailyOnline& online) {
    for (int i = 0; i < 5000; ++i) {
        g.Poll(best, "Ann", online);
        const auto s = g.State();
        if (s != TDailyGhost::TState::Asking && s != TDailyGhost::TState::Building) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
}  // namespace

TEST(DailyGhost, DrivesTheLeaderOrFallsBackToTheOwnBestWithOneQuietLine) {
    ASSERT_TRUE(Driven().Finished);
    const TDailyPlan plan = *ParseDailyDate(kDrivenDay);
    const std::string log = Driven().Log.Encode();
    const std::string leader =
        std::string(R"({"date":")") + kDrivenDay + R"(","name":"Bo","hundredths":)" +
        std::to_string(Driven().RaceHundredths) + R"(,"log":")" + log + "\"}";
    using S = TDailyGhost::TState;
    struct TCase {
        const char* What;
        TDailyGhostChoice Choice;
        std::optional<THttpReply> Reply;
        bool OwnBest;
        S State;
        const char* Name;
        std::string Note;
    };
    const std::string time = DailyTimeText(Driven().RaceHundredths);
    const TCase cases[] = {
        {"the leader", TDailyGhostChoice::Leader, Reply(200, leader), true, S::Ready, "Bo",
         "Leader: Bo|" + time},
        {"no leader yet", TDailyGhostChoice::Leader, Reply(404, "{}"), true, S::Ready, "Ann",
         "No leader yet:|your best 5:00:00"},
        {"offline", TDailyGhostChoice::Leader, std::nullopt, true, S::Ready, "Ann",
         "Offline:|your best 5:00:00"},
        {"offline, no best", TDailyGhostChoice::Leader, std::nullopt, false, S::Unavailable, "",
         "Offline:|no ghost today"},
        {"a leader whose log is damaged", TDailyGhostChoice::Leader,
         Reply(200, std::string(R"({"date":")") + kDrivenDay +
                        R"(","name":"Bo","hundredths":5,"log":"notalog"})"),
         true, S::Ready, "Ann", "Leader unreadable:|your best 5:00:00"},
        {"my best", TDailyGhostChoice::MyBest, Reply(200, leader), true, S::Ready, "Ann",
         "Your best|5:00:00"},
        {"my best, none yet", TDailyGhostChoice::MyBest, Reply(200, leader), false, S::Unavailable,
         "", "No best of yours|today yet"},
        {"none", TDailyGhostChoice::None, Reply(200, leader), true, S::Off, "", "|"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDailyOnline online;
        online.SetClient(std::make_shared<TScriptedClient>(c.Reply));
        online.SetServer("http://127.0.0.1:1/", {});
        TDailyBest best;
        // The own best is the same race, kept with a slower time so the two can be told apart.
        if (c.OwnBest) {
            ASSERT_TRUE(best.Record(kDrivenDay, "Ann", 5 * 6000, log));
        }
        TDailyGhost g;
        g.Prepare(c.Choice, plan, best, "Ann", online, VELKARO_DEFAULT_GAME_DIR);
        Settle(g, best, online);
        EXPECT_EQ(g.State(), c.State);
        EXPECT_EQ(g.Note() + "|" + g.NoteLine2(), c.Note);
        if (c.State != S::Ready) {
            EXPECT_EQ(g.TrackFor(kDrivenDay), nullptr);
            continue;
        }
        EXPECT_EQ(g.Name(), c.Name);
        ASSERT_NE(g.TrackFor(kDrivenDay), nullptr);
        EXPECT_EQ(g.TrackFor("2026-12-10"), nullptr);  // another day's race has none
        EXPECT_EQ(g.Hundredths(), Driven().RaceHundredths);
        EXPECT_EQ(static_cast<int32_t>(g.TrackFor(kDrivenDay)->Frames.size()),
                  Driven().Log.Frames());
    }
}

namespace {
struct TWindowRace {
    std::vector<uint64_t> Hashes;  // the world after every race step
    TKeyLog Log;
    TDailyEnd End = TDailyEnd::None;
    int32_t Hundredths = 0;
    int32_t GhostNamesDrawn = 0;
    std::vector<std::string> ResultTexts;
};

// The day's race through the whole game in a window (so the ghost is drawn), the autopilot
// at the wheel, with the given ghost choice and the own best file already written.
TWindowRace RaceInAWindow(TDailyGhostChoice choice, TDailyBest best) {
    TWindowRace out;
    THarnessOptions options;
    options.WithWindow = true;
    THarness h(options);
    TForm1& f = h.Form();
    f.Daily.UtcSeconds = [] { return DrivenNoon(); };
    TOnlineSettings online;
    online.ServerUrl = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort());
    online.ConfigDir = h.ConfigDir();
    f.Online.Configure(online);
    std::string error;
    EXPECT_TRUE(best.Save(h.ConfigDir(), error)) << error;
    EXPECT_TRUE(RunUntilState(h, st::FirstPlayer, 600));
    TypeText(h, "Ann");
    h.Tap(vk::Return);
    DailyGhost = choice;
    EXPECT_TRUE(ClickButton(h, "b_daily"));
    EXPECT_EQ(CurrentState, st::DailyPreview);
    // The ghost is ready before the race, as it is for a player who looks at the page. The
    // test waits without running frames, so both races start after the same menu frames.
    for (int i = 0; i < 5000 && f.Daily.Ghost.State() == TDailyGhost::TState::Building; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        f.Daily.Ghost.Poll(f.Daily.Best, "Ann", f.Daily.Online);
    }
    EXPECT_TRUE(ClickButton(h, "bc_race"));
    EXPECT_EQ(CurrentState, st::Race);
    f.KerbFont2.OnTextOut = [&](int32_t, int32_t, const std::string& text) {
        if (text == "Ann") ++out.GhostNamesDrawn;
    };
    TAutopilot pilot;
    for (int32_t frame = 0; frame < 20000 && CurrentState != st::DailyResult; ++frame) {
        pilot.Drive();
        h.RunFrames(1);
        if (Race.PlayerCar != nullptr) out.Hashes.push_back(WorldHash(f.KerbSprite1));
    }
    pilot.Release();
    f.KerbFont2.OnTextOut = nullptr;
    out.Log = f.Daily.Log;
    out.End = f.Daily.End;
    out.Hundredths = f.Daily.Hundredths;
    for (const TDailyResultLine& l : DailyResultLines(f.Daily, "Ann"))
        out.ResultTexts.push_back(l.Text);
    return out;
}
}  // namespace

TEST(DailyGhost, RacingWithAGhostLeavesTheRaceExactlyAsWithout) {
    ASSERT_TRUE(Driven().Finished);
    const TWindowRace plain = RaceInAWindow(TDailyGhostChoice::None, TDailyBest{});
    ASSERT_EQ(plain.End, TDailyEnd::Finished);
    EXPECT_EQ(plain.GhostNamesDrawn, 0);

    // The ghost of that very race, as the player's best of the day.
    TDailyBest best;
    ASSERT_TRUE(best.Record(kDrivenDay, "Ann", plain.Hundredths, plain.Log.Encode()));
    const TWindowRace ghosted = RaceInAWindow(TDailyGhostChoice::MyBest, best);
    // The ghost was there, over the player's car, all race long ...
    EXPECT_GT(ghosted.GhostNamesDrawn, plain.Log.Frames() / 2);
    // ... and the race is the same step for step: the world, the keys, the time.
    ASSERT_EQ(ghosted.Hashes.size(), plain.Hashes.size());
    for (size_t i = 0; i < plain.Hashes.size(); ++i)
        ASSERT_EQ(ghosted.Hashes[i], plain.Hashes[i]) << "step " << i;
    EXPECT_EQ(ghosted.Log, plain.Log);
    EXPECT_EQ(ghosted.Hundredths, plain.Hundredths);
    EXPECT_EQ(ghosted.End, TDailyEnd::Finished);
    // The page after the race gives the gap to the ghost at the finish: none, it is the same race.
    const auto& texts = ghosted.ResultTexts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Gap to Ann's ghost at the finish: 0.00 s"),
              texts.end());
    EXPECT_EQ(std::find(plain.ResultTexts.begin(), plain.ResultTexts.end(),
                        "Gap to Ann's ghost at the finish: 0.00 s"),
              plain.ResultTexts.end());
}
