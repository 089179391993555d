// The service's tokens and scores over a real SQLite database.
#include "server/ScoreService.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/ScoreText.h"
#include "server/ServerTestUtil.h"

namespace {

std::string InfFor(const std::string& name, int64_t score, const std::string& token,
                   const std::string& extra = "") {
    return EncodeScoreText(BuildScoreText(name, score, token, extra));
}

}  // namespace

TEST(ScoreService, VersionReplyCarriesVersionTimeMotdAndAFreshToken) {
    TServiceFixture f("Race | on\nnow");
    const std::string reply = f.Service->VersionReply();
    // The message of the day cannot split the reply into more fields.
    EXPECT_EQ(reply, "OK|1.0|2023-11-14T22:13:20Z|Race   on now|tok0|");
    EXPECT_EQ(TokenOf(f.Service->VersionReply()), "tok1");
}

TEST(ScoreService, NoTokenMeansNoVersionReply) {
    TServiceFixture f;
    TScoreService service(
        *f.Store, {}, [] { return int64_t{0}; }, [] { return std::string(); });
    EXPECT_EQ(service.VersionReply(), "");
}

TEST(ScoreService, StoresAScoreOnceForItsToken) {
    TServiceFixture f;
    const std::string token = TokenOf(f.Service->VersionReply());
    const std::string inf = InfFor("Ann", 1500, token, "hi");
    EXPECT_EQ(f.Service->Submit(inf).Status, TSubmitStatus::Stored);
    const TSubmitResult again = f.Service->Submit(inf);
    EXPECT_EQ(again.Status, TSubmitStatus::UsedToken);
    EXPECT_EQ(again.Reason, "used-token");
    const auto rows = f.Store->TopScores(100);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Name, "Ann");
    EXPECT_EQ(rows[0].Score, 1500);
    EXPECT_EQ(rows[0].Extra, "hi");
    EXPECT_EQ(rows[0].Time, f.Now.load());
}

TEST(ScoreService, RefusesUnknownExpiredAndMalformedSubmissionsAndStoresNothing) {
    TServiceFixture f;
    EXPECT_EQ(f.Service->Submit(InfFor("Ann", 5, "never-issued")).Status,
              TSubmitStatus::BadRequest);  // "-" is not a token character
    EXPECT_EQ(f.Service->Submit(InfFor("Ann", 5, "tok99")).Status, TSubmitStatus::UnknownToken);

    const std::string edge = TokenOf(f.Service->VersionReply());
    const std::string late = TokenOf(f.Service->VersionReply());
    f.Now += kTokenLifetimeSeconds;
    // Valid for ten minutes, the last second included.
    EXPECT_EQ(f.Service->Submit(InfFor("Edge", 5, edge)).Status, TSubmitStatus::Stored);
    f.Now += 1;
    EXPECT_EQ(f.Service->Submit(InfFor("Late", 5, late)).Status, TSubmitStatus::ExpiredToken);

    const std::string fresh = TokenOf(f.Service->VersionReply());
    const TSubmitResult bad = f.Service->Submit(InfFor("", 5, fresh));
    EXPECT_EQ(bad.Status, TSubmitStatus::BadRequest);
    EXPECT_EQ(bad.Reason, "bad-name");
    // A refused submission does not spend the token.
    EXPECT_EQ(f.Service->Submit(InfFor("Fresh", 5, fresh)).Status, TSubmitStatus::Stored);

    std::vector<std::string> names;
    for (const TScoreRow& r : f.Store->TopScores(100)) names.push_back(r.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Edge", "Fresh"}));
}

TEST(ScoreService, TopScoresBestFirstTiesInArrivalOrderAtMostTheLimit) {
    TServiceFixture f;
    for (int i = 0; i < 105; ++i) {
        const std::string token = TokenOf(f.Service->VersionReply());
        ASSERT_EQ(f.Service->Submit(InfFor("p" + std::to_string(i), (i % 7) * 100, token)).Status,
                  TSubmitStatus::Stored);
    }
    const auto rows = f.Store->TopScores(100);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.front().Score, 600);
    EXPECT_EQ(rows.front().Name, "p6");
    EXPECT_EQ(rows[1].Name, "p13");
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i - 1].Score, rows[i].Score);
}

TEST(ScoreService, ScoresSurviveReopeningAndTheDatabaseIsInWriteAheadLogMode) {
    TServiceFixture f;
    const std::string token = TokenOf(f.Service->VersionReply());
    ASSERT_EQ(f.Service->Submit(InfFor("Keep", 77, token)).Status, TSubmitStatus::Stored);
    f.Open();
    ASSERT_TRUE(f.Store->Ok());
    ASSERT_EQ(f.Store->TopScores(10).size(), 1u);
    EXPECT_EQ(f.Store->TopScores(10)[0].Name, "Keep");
    // The token was spent before the restart and stays spent.
    EXPECT_EQ(f.Service->Submit(InfFor("Keep", 77, token)).Status, TSubmitStatus::UsedToken);

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(f.Dir.File("scores.db").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "wal");
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

TEST(ScoreService, AnUnusableDatabaseIsReportedNotCrashedOn) {
    TTempDir dir;
    TSqliteScoreStore store(dir.Dir() + "/no-such-folder/scores.db");
    EXPECT_FALSE(store.Ok());
    EXPECT_FALSE(store.Error().empty());
    EXPECT_FALSE(store.AddToken("t", 1));
    EXPECT_EQ(store.StoreScore("t", 0, {}), TStoreResult::Failed);
    EXPECT_TRUE(store.TopScores(10).empty());
}

TEST(ScoreService, ATokenRacedFromManyThreadsIsSpentExactlyOnce) {
    TServiceFixture f;
    const std::string token = TokenOf(f.Service->VersionReply());
    std::atomic<int> stored{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            const auto r = f.Service->Submit(InfFor("t" + std::to_string(t), t, token));
            if (r.Status == TSubmitStatus::Stored) ++stored;
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(stored.load(), 1);
    EXPECT_EQ(f.Store->TopScores(100).size(), 1u);
}

TEST(ScoreService, SystemTokensAreLongHexAndDistinct) {
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        const std::string token = SystemRandomToken();
        ASSERT_EQ(token.size(), 32u);
        EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos);
        seen.insert(token);
    }
    EXPECT_EQ(seen.size(), 100u);
}
