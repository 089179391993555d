// What every score store must do, run on each store (StoreKinds.h): a token is spent once and
// its score stored with it, expired and unknown tokens store nothing, the best scores come
// best first with ties in arrival order, the daily table keeps each name's best time with its
// log and orders names byte-wise, and all of it holds under concurrent callers and after the
// store is opened again.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/ScoreText.h"
#include "server/ScoreService.h"
#include "server/StoreKinds.h"

namespace {

std::string InfFor(const std::string& name, int64_t score, const std::string& token,
                   const std::string& extra = "") {
    return EncodeScoreText(BuildScoreText(name, score, token, extra));
}

class StoreContract : public ::testing::TestWithParam<TStoreKind> {
protected:
    void SetUp() override {
        std::string why;
        Location = GetParam().NewDatabase(Dir, why);
        if (Location.empty()) GTEST_SKIP() << GetParam().Name << " is not available: " << why;
        Reopen();
    }
    // Drops the store and opens the database again, as a restarted service would.
    void Reopen() {
        Service.reset();
        Store = {};
        Store = GetParam().Open(Location);
        ASSERT_NE(Store.Scores, nullptr) << Store.Error;
        Service = std::make_unique<TScoreService>(
            *Store.Scores, TServiceConfig{"Have fun"}, [this] { return Now.load(); },
            [this] { return "tok" + std::to_string(NextToken++); });
    }
    TScoreStore& Scores() { return *Store.Scores; }
    TDailyStore& Daily() { return *Store.Daily; }

    TTempDir Dir;
    std::string Location;
    TStoreHandle Store;
    std::unique_ptr<TScoreService> Service;
    std::atomic<int64_t> Now{1'700'000'000};
    std::atomic<int> NextToken{0};
};

std::string KindName(const ::testing::TestParamInfo<TStoreKind>& info) {
    return info.param.Name;
}

}  // namespace

TEST_P(StoreContract, StoresAScoreOnceForItsToken) {
    const std::string token = TokenOf(Service->VersionReply());
    const std::string inf = InfFor("Ann", 1500, token, "hi");
    EXPECT_EQ(Service->Submit(inf).Status, TSubmitStatus::Stored);
    const TSubmitResult again = Service->Submit(inf);
    EXPECT_EQ(again.Status, TSubmitStatus::UsedToken);
    EXPECT_EQ(again.Reason, "used-token");
    const auto rows = Scores().TopScores(100);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Name, "Ann");
    EXPECT_EQ(rows[0].Score, 1500);
    EXPECT_EQ(rows[0].Extra, "hi");
    EXPECT_EQ(rows[0].Time, Now.load());
    // A token is issued once.
    EXPECT_FALSE(Scores().AddToken(token, Now + 60));
}

TEST_P(StoreContract, RefusesUnknownExpiredAndMalformedSubmissionsAndStoresNothing) {
    EXPECT_EQ(Service->Submit(InfFor("Ann", 5, "never-issued")).Status,
              TSubmitStatus::BadRequest);  // "-" is not a token character
    EXPECT_EQ(Service->Submit(InfFor("Ann", 5, "tok99")).Status, TSubmitStatus::UnknownToken);

    const std::string edge = TokenOf(Service->VersionReply());
    const std::string late = TokenOf(Service->VersionReply());
    Now += kTokenLifetimeSeconds;
    // Valid for ten minutes, the last second included.
    EXPECT_EQ(Service->Submit(InfFor("Edge", 5, edge)).Status, TSubmitStatus::Stored);
    Now += 1;
    EXPECT_EQ(Service->Submit(InfFor("Late", 5, late)).Status, TSubmitStatus::ExpiredToken);

    const std::string fresh = TokenOf(Service->VersionReply());
    const TSubmitResult bad = Service->Submit(InfFor("", 5, fresh));
    EXPECT_EQ(bad.Status, TSubmitStatus::BadRequest);
    EXPECT_EQ(bad.Reason, "bad-name");
    // A refused submission does not spend the token.
    EXPECT_EQ(Service->Submit(InfFor("Fresh", 5, fresh)).Status, TSubmitStatus::Stored);

    std::vector<std::string> names;
    for (const TScoreRow& r : Scores().TopScores(100)) names.push_back(r.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Edge", "Fresh"}));
}

TEST_P(StoreContract, PrunedTokensAreForgottenAndTheRestStillWork) {
    ASSERT_TRUE(Scores().AddToken("old", 100));
    ASSERT_TRUE(Scores().AddToken("new", 300));
    Scores().PruneTokens(200);
    EXPECT_EQ(Scores().StoreScore("old", 50, {"A", 1, "", 50}), TStoreResult::UnknownToken);
    EXPECT_EQ(Scores().StoreScore("new", 50, {"B", 2, "", 50}), TStoreResult::Stored);
    ASSERT_EQ(Scores().TopScores(10).size(), 1u);
}

TEST_P(StoreContract, TopScoresBestFirstTiesInArrivalOrderAtMostTheLimit) {
    for (int i = 0; i < 105; ++i) {
        const std::string token = TokenOf(Service->VersionReply());
        ASSERT_EQ(Service->Submit(InfFor("p" + std::to_string(i), (i % 7) * 100, token)).Status,
                  TSubmitStatus::Stored);
    }
    const auto rows = Scores().TopScores(100);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.front().Score, 600);
    EXPECT_EQ(rows.front().Name, "p6");
    EXPECT_EQ(rows[1].Name, "p13");
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i - 1].Score, rows[i].Score);
    EXPECT_EQ(Scores().TopScores(3).size(), 3u);
}

TEST_P(StoreContract, ATokenRacedFromManyThreadsIsSpentExactlyOnce) {
    const std::string token = TokenOf(Service->VersionReply());
    std::atomic<int> stored{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            const auto r = Service->Submit(InfFor("t" + std::to_string(t), t, token));
            if (r.Status == TSubmitStatus::Stored) ++stored;
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(stored.load(), 1);
    EXPECT_EQ(Scores().TopScores(100).size(), 1u);
}

TEST_P(StoreContract, ScoresTokensAndDailyTimesSurviveReopening) {
    const std::string token = TokenOf(Service->VersionReply());
    const std::string unused = TokenOf(Service->VersionReply());
    ASSERT_EQ(Service->Submit(InfFor("Keep", 77, token)).Status, TSubmitStatus::Stored);
    ASSERT_TRUE(Daily().StoreDailyTime("2026-12-10", "Keep", 8000, "LOG", 5));
    Reopen();
    ASSERT_EQ(Scores().TopScores(10).size(), 1u);
    EXPECT_EQ(Scores().TopScores(10)[0].Name, "Keep");
    // The token was spent before the restart and stays spent; the other is still good.
    EXPECT_EQ(Service->Submit(InfFor("Keep", 77, token)).Status, TSubmitStatus::UsedToken);
    EXPECT_EQ(Service->Submit(InfFor("Next", 78, unused)).Status, TSubmitStatus::Stored);
    const auto run = Daily().DailyRunOf("2026-12-10", "Keep");
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->Hundredths, 8000);
    EXPECT_EQ(run->Log, "LOG");
}

TEST_P(StoreContract, DailyTableOrdersByTimeAndKeepsEachNamesBest) {
    const struct {
        const char* Name;
        int32_t Hundredths;
        int64_t Time;
    } submitted[] = {
        {"Cid", 9000, 100}, {"Ann", 8000, 101},
        {"Bo", 8500, 102},  {"Ann", 8800, 103},  // slower: Ann keeps 8000
        {"Bo", 7900, 104},                       // faster: Bo moves up
        {"Dee", 8000, 105},                      // equal to Ann, driven later: after her
        {"Eve", 1, 106},                         // another day
    };
    for (const auto& s : submitted) {
        const std::string date = std::string(s.Name) == "Eve" ? "2026-12-09" : "2026-12-10";
        ASSERT_TRUE(Daily().StoreDailyTime(date, s.Name, s.Hundredths, "", s.Time));
    }
    const std::vector<TDailyRow> top = Daily().DailyTop("2026-12-10", 100);
    ASSERT_EQ(top.size(), 4u);
    const char* order[] = {"Bo", "Ann", "Dee", "Cid"};
    const int32_t times[] = {7900, 8000, 8000, 9000};
    for (size_t i = 0; i < top.size(); ++i) {
        EXPECT_EQ(top[i].Place, static_cast<int32_t>(i + 1));
        EXPECT_EQ(top[i].Name, order[i]);
        EXPECT_EQ(top[i].Hundredths, times[i]);
        const auto own = Daily().DailyEntry("2026-12-10", order[i]);
        ASSERT_TRUE(own.has_value());
        EXPECT_EQ(own->Place, top[i].Place);
        EXPECT_EQ(own->Hundredths, times[i]);
    }
    EXPECT_EQ(Daily().DailyTop("2026-12-10", 2).size(), 2u);
    EXPECT_FALSE(Daily().DailyEntry("2026-12-10", "Eve").has_value());
    EXPECT_EQ(Daily().DailyTop("2026-12-09", 100).size(), 1u);
}

// Equal times driven in the same second rank by the name's bytes, not by a language's rules:
// upper case before lower, an accented letter (UTF-8, first byte 0xC3) after every ASCII one.
TEST_P(StoreContract, EqualDailyTimesRankByTheNamesBytes) {
    const std::vector<std::string> names = {"zed", "Zoë", "Zoe", "éa", "Zo", "a b", "ab", "B"};
    for (const std::string& name : names)
        ASSERT_TRUE(Daily().StoreDailyTime("2026-12-10", name, 7000, "", 50)) << name;
    std::vector<std::string> ranked;
    for (const TDailyRow& row : Daily().DailyTop("2026-12-10", 100)) ranked.push_back(row.Name);
    const std::vector<std::string> bytewise = {"B", "Zo", "Zoe", "Zoë", "a b", "ab", "zed", "éa"};
    EXPECT_EQ(ranked, bytewise);
    for (size_t i = 0; i < bytewise.size(); ++i) {
        const auto own = Daily().DailyEntry("2026-12-10", bytewise[i]);
        ASSERT_TRUE(own.has_value()) << bytewise[i];
        EXPECT_EQ(own->Place, static_cast<int32_t>(i + 1)) << bytewise[i];
    }
}

// The log goes with its time: replaced together by a better time, kept by a slower or equal
// one; the leader and each name's run come back with theirs.
TEST_P(StoreContract, TheDailyLogIsKeptAndReplacedWithItsTime) {
    const std::string date = "2026-12-10";
    EXPECT_FALSE(Daily().DailyLeader(date).has_value());
    EXPECT_FALSE(Daily().DailyRunOf(date, "Ann").has_value());
    struct TStep {
        const char* Name;
        int32_t Hundredths;
        const char* Log;
        const char* AnnLogAfter;
        const char* LeaderAfter;
    };
    const TStep steps[] = {
        {"Ann", 9000, "ann-9000", "ann-9000", "Ann"},
        {"Ann", 9500, "ann-9500", "ann-9000", "Ann"},   // slower: the log stays
        {"Ann", 9000, "ann-again", "ann-9000", "Ann"},  // equal: the log stays
        {"Bo", 8500, "bo-8500", "ann-9000", "Bo"},
        {"Ann", 8000, "ann-8000", "ann-8000", "Ann"},  // better: time and log together
    };
    int64_t now = 10;
    for (const TStep& s : steps) {
        SCOPED_TRACE(std::string(s.Name) + " " + std::to_string(s.Hundredths));
        ASSERT_TRUE(Daily().StoreDailyTime(date, s.Name, s.Hundredths, s.Log, ++now));
        const auto ann = Daily().DailyRunOf(date, "Ann");
        ASSERT_TRUE(ann.has_value());
        EXPECT_EQ(ann->Log, s.AnnLogAfter);
        const auto leader = Daily().DailyLeader(date);
        ASSERT_TRUE(leader.has_value());
        EXPECT_EQ(leader->Name, s.LeaderAfter);
    }
    const auto leader = Daily().DailyLeader(date);
    EXPECT_EQ(leader->Hundredths, 8000);
    EXPECT_EQ(leader->Log, "ann-8000");
    EXPECT_EQ(Daily().DailyRunOf(date, "Bo")->Log, "bo-8500");
    EXPECT_FALSE(Daily().DailyLeader("2026-12-11").has_value());

    // A log past the bound is refused, and the run it would have replaced stays.
    const std::string huge(kMaxStoredDailyLogBytes + 1, 'x');
    EXPECT_FALSE(Daily().StoreDailyTime(date, "Ann", 7000, huge, ++now));
    EXPECT_EQ(Daily().DailyRunOf(date, "Ann")->Hundredths, 8000);
    const std::string longest(kMaxStoredDailyLogBytes, 'y');
    EXPECT_TRUE(Daily().StoreDailyTime(date, "Ann", 7000, longest, ++now));
    EXPECT_EQ(Daily().DailyRunOf(date, "Ann")->Log, longest);
}

// Many submissions of one name at once: the best time wins, with its own log.
TEST_P(StoreContract, ConcurrentDailyTimesKeepTheBestWithItsLog) {
    std::vector<std::thread> threads;
    std::atomic<int> failed{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                const int32_t time = 9000 - (t * 10 + i) * 7 % 61 * 10;
                if (!Daily().StoreDailyTime("2026-12-10", "Ann", time,
                                            "log-" + std::to_string(time), t * 10 + i))
                    ++failed;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(failed.load(), 0);
    const auto run = Daily().DailyRunOf("2026-12-10", "Ann");
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->Hundredths, 9000 - 600);
    EXPECT_EQ(run->Log, "log-" + std::to_string(run->Hundredths));
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreContract, ::testing::ValuesIn(StoreKinds()), KindName);
