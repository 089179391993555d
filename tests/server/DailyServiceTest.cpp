// The daily submission checked by the service: the driven race is kept with its exact time;
// a changed time, a cut or damaged log, another day, an oversized log and another version are
// refused with their status, and every refusal is logged.
#include "server/DailyService.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <vector>

#include "server/ServerTestUtil.h"
#include "server/DailyTestUtil.h"
#include "world/Random.h"

namespace {
struct TDailyFixture {
    TTempDir Dir;
    TSqliteScoreStore Store{Dir.File("scores.db")};
    int64_t Now = kDrivenDayNoon;
    std::mutex LogLock;
    std::vector<std::string> Log;
    TDailyService Service;

    explicit TDailyFixture(TDailyLimits limits = {})
        : Service(
              Store, GameDir(), [this] { return Now; },
              [this](const std::string& line) {
                  std::lock_guard<std::mutex> hold(LogLock);
                  Log.push_back(line);
              },
              limits) {}
};

std::string WithoutLastFrames(const TKeyLog& log, int32_t frames) {
    TKeyLog cut;
    for (int32_t i = 0; i + frames < log.Frames(); ++i) cut.Add(log.At(i));
    return cut.Encode();
}

// Keys that change every frame compress badly: a long log of them is a big text.
std::string NoisyLog(int32_t frames) {
    TRandom r;
    r.Seed(3);
    TKeyLog log;
    for (int32_t i = 0; i < frames; ++i) log.Add(static_cast<uint8_t>(r.Below(128)));
    return log.Encode();
}
}  // namespace

TEST(DailyService, KeepsTheDrivenRaceWithItsExactTime) {
    ASSERT_TRUE(DrivenRace().Finished);
    TDailyFixture f;
    const TDailyAnswer a = f.Service.Submit(TDailyForm::Driven().Body());
    EXPECT_EQ(a.Status, 200);
    EXPECT_EQ(a.Text, "OK " + std::to_string(DrivenRace().RaceHundredths) + " 1");
    const auto entry = f.Store.DailyEntry(kDrivenDay, "Ann");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->Hundredths, DrivenRace().RaceHundredths);
    // The log is kept beside the time, and replays to it.
    const auto run = f.Store.DailyRunOf(kDrivenDay, "Ann");
    ASSERT_TRUE(run.has_value());
    const auto kept = TKeyLog::Decode(run->Log, 1'000'000, kMaxStoredDailyLogBytes);
    ASSERT_TRUE(kept.has_value());
    const TReplayResult replay =
        ReplayDailyRace(*ParseDailyDate(kDrivenDay), *kept, GameDir(), 1'000'000);
    EXPECT_TRUE(replay.Finished);
    EXPECT_EQ(replay.RaceHundredths, DrivenRace().RaceHundredths);
    // The same race again (and from yesterday's point of view, a day later) still counts
    // once per name.
    f.Now += 86400;
    EXPECT_EQ(f.Service.Submit(TDailyForm::Driven().Body()).Status, 200);
    EXPECT_EQ(f.Store.DailyTop(kDrivenDay, 100).size(), 1u);
}

// Keys sent past the finish never play: the log is kept up to the finish only.
TEST(DailyService, KeepsTheLogUpToItsFinish) {
    ASSERT_TRUE(DrivenRace().Finished);
    TDailyFixture f;
    TKeyLog padded = DrivenRace().Log;
    for (int i = 0; i < 500; ++i) padded.Add(static_cast<uint8_t>(i % 31));
    TDailyForm form = TDailyForm::Driven();
    form.Log = padded.Encode();
    ASSERT_EQ(f.Service.Submit(form.Body()).Status, 200);
    const auto run = f.Store.DailyRunOf(kDrivenDay, "Ann");
    ASSERT_TRUE(run.has_value());
    const auto kept = TKeyLog::Decode(run->Log, 1'000'000, kMaxStoredDailyLogBytes);
    ASSERT_TRUE(kept.has_value());
    EXPECT_LE(kept->Frames(), DrivenRace().Log.Frames());
    EXPECT_EQ(ReplayDailyRace(*ParseDailyDate(kDrivenDay), *kept, GameDir(), 1'000'000).Frames,
              kept->Frames());
}

TEST(DailyService, RefusesWhatTheReplayDoesNotBearOut) {
    ASSERT_TRUE(DrivenRace().Finished);
    const int32_t time = DrivenRace().RaceHundredths;
    const TDailyForm driven = TDailyForm::Driven();
    const auto with = [&](auto change) {
        TDailyForm form = driven;
        change(form);
        return form.Body();
    };
    const struct {
        const char* Name;
        std::string Body;
        int Status;
        std::string Text;
    } cases[] = {
        {"a faster time", with([&](TDailyForm& f) { f.Hundredths = std::to_string(time - 1); }),
         409,
         "REFUSED The replay of this race finishes in " + std::to_string(time) +
             " hundredths, not " + std::to_string(time - 1) + "."},
        {"a slower time", with([&](TDailyForm& f) { f.Hundredths = std::to_string(time + 100); }),
         409, ""},
        {"a log cut before the finish",
         with([](TDailyForm& f) { f.Log = WithoutLastFrames(DrivenRace().Log, 50); }), 400,
         "REFUSED The race in this log does not reach the finish."},
        {"a log text cut short",
         with([](TDailyForm& f) { f.Log = f.Log.substr(0, f.Log.size() / 2); }), 400,
         "REFUSED The race log is damaged."},
        {"the log under yesterday's date", with([](TDailyForm& f) { f.Date = "2026-12-08"; }), 400,
         ""},
        {"a day no longer open", with([](TDailyForm& f) { f.Date = "2026-12-06"; }), 400,
         "REFUSED The race of 2026-12-06 is no longer open."},
        {"a day to come", with([](TDailyForm& f) { f.Date = "2026-12-11"; }), 400, ""},
        {"an oversized log", with([](TDailyForm& f) { f.Log = NoisyLog(20000); }), 400,
         "REFUSED The race log is too long."},
        {"another version", with([](TDailyForm& f) { f.Version = "0.9.1"; }), 426,
         std::string("REFUSED This race was driven with version 0.9.1; the service checks "
                     "version ") +
             kVelkaroVersion + ". Please update the game."},
        {"no log", with([](TDailyForm& f) { f.Log.clear(); }), 400,
         "REFUSED The race log is empty."},
        {"a bad name", with([](TDailyForm& f) { f.Name = "ThirteenChars"; }), 400,
         "REFUSED The name must have 1 to 12 characters."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TDailyFixture f;
        const TDailyAnswer a = f.Service.Submit(c.Body);
        EXPECT_EQ(a.Status, c.Status) << a.Text;
        if (!c.Text.empty()) {
            EXPECT_EQ(a.Text, c.Text);
        } else {
            EXPECT_EQ(a.Text.rfind("REFUSED ", 0), 0u) << a.Text;
        }
        EXPECT_TRUE(f.Store.DailyTop(kDrivenDay, 100).empty());
        EXPECT_TRUE(f.Store.DailyTop("2026-12-08", 100).empty());
        std::lock_guard<std::mutex> hold(f.LogLock);
        ASSERT_EQ(f.Log.size(), 1u);
        EXPECT_EQ(f.Log[0].rfind("daily refused (" + std::to_string(c.Status) + ")", 0), 0u)
            << f.Log[0];
    }
}

TEST(DailyService, AServiceWithoutGameDataOrRoomRefusesAtOnce) {
    TTempDir dir;
    TSqliteScoreStore store(dir.File("scores.db"));
    TDailyService noData(store, "", [] { return kDrivenDayNoon; }, {});
    EXPECT_EQ(noData.Submit(TDailyForm::Driven().Body()).Status, 503);
    TDailyLimits full;
    full.MaxPending = 0;
    TDailyFixture f(full);
    const TDailyAnswer a = f.Service.Submit(TDailyForm::Driven().Body());
    EXPECT_EQ(a.Status, 503);
    EXPECT_EQ(a.Text, "REFUSED The service is busy checking races. Please try again shortly.");
}

// The pool turns replays away while maxPending wait or run, and takes them again afterwards.
TEST(DailyService, ThePoolBoundsTheReplaysInFlight) {
    TReplayPool pool(1, 2);
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    std::atomic<int> started{0};
    const TReplayPool::TReplay slow = [&] {
        ++started;
        gate.wait();
        TReplayResult r;
        r.Finished = true;
        return r;
    };
    TReplayResult first, second;
    std::future<bool> a = std::async(std::launch::async, [&] { return pool.Run(slow, first); });
    std::future<bool> b = std::async(std::launch::async, [&] { return pool.Run(slow, second); });
    // One runs and the other waits: both are in flight, and a third is turned away.
    while (pool.InFlight() < 2 || started.load() < 1) std::this_thread::yield();
    TReplayResult third;
    EXPECT_FALSE(pool.Run([] { return TReplayResult{}; }, third));
    EXPECT_EQ(started.load(), 1);
    release.set_value();
    EXPECT_TRUE(a.get());
    EXPECT_TRUE(b.get());
    EXPECT_TRUE(first.Finished && second.Finished);
    EXPECT_TRUE(pool.Run([] { return TReplayResult{true, 5, 1, ""}; }, third));
    EXPECT_EQ(third.RaceHundredths, 5);
}
