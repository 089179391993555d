// The service's tokens and scores over a real SQLite database: the version reply, and what is
// particular to SQLite (the file's journal mode, an unusable file). What every store must do
// is in StoreContractTest.cpp.
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
