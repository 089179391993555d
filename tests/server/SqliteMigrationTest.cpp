// A database file written before the daily logs were kept opens with its rows intact and takes
// logs from then on; opening it again changes nothing more.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "server/ServerTestUtil.h"
#include "server/SqliteScoreStore.h"

namespace {
// The schema and rows as the service wrote them before it kept logs.
constexpr const char* kOldFile =
    "PRAGMA journal_mode=WAL;"
    "CREATE TABLE scores (id INTEGER PRIMARY KEY, name TEXT NOT NULL, score INTEGER NOT NULL,"
    "  extra TEXT NOT NULL, time INTEGER NOT NULL);"
    "CREATE INDEX scores_rank ON scores (score DESC, id);"
    "CREATE TABLE tokens (token TEXT PRIMARY KEY, expires INTEGER NOT NULL,"
    "  used INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID;"
    "CREATE TABLE daily (date TEXT NOT NULL, name TEXT NOT NULL, hundredths INTEGER NOT NULL,"
    "  time INTEGER NOT NULL, PRIMARY KEY (date, name)) WITHOUT ROWID;"
    "CREATE INDEX daily_rank ON daily (date, hundredths, time, name);"
    "INSERT INTO scores (name, score, extra, time) VALUES ('Old', 500, 'x', 1);"
    "INSERT INTO tokens (token, expires) VALUES ('kept', 9999999999);"
    "INSERT INTO daily VALUES ('2026-12-10', 'Ann', 8000, 1), ('2026-12-10', 'Bo', 8100, 2);";

int UserVersion(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr);
    const int version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return version;
}
}  // namespace

TEST(SqliteMigration, AFileFromBeforeDailyLogsKeepsItsRowsAndTakesLogs) {
    TTempDir dir;
    const std::string path = dir.File("scores.db");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, kOldFile, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    ASSERT_EQ(UserVersion(path), 0);
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening == 0 ? "first opening" : "second opening");
        TSqliteScoreStore store(path);
        ASSERT_TRUE(store.Ok()) << store.Error();
        const auto scores = store.TopScores(10);
        ASSERT_EQ(scores.size(), 1u + static_cast<size_t>(opening));
        EXPECT_EQ(scores.back().Name, "Old");
        const auto top = store.DailyTop("2026-12-10", 10);
        ASSERT_EQ(top.size(), 2u);
        const auto ann = store.DailyRunOf("2026-12-10", "Ann");
        ASSERT_TRUE(ann.has_value());
        EXPECT_EQ(ann->Hundredths, 8000);
        EXPECT_EQ(ann->Log, "");  // driven before logs were kept
        if (opening == 0) {
            EXPECT_EQ(store.StoreScore("kept", 5, {"New", 600, "", 5}), TStoreResult::Stored);
            EXPECT_TRUE(store.StoreDailyTime("2026-12-10", "Bo", 7000, "bo-log", 9));
        } else {
            EXPECT_EQ(store.StoreScore("kept", 5, {"New", 600, "", 5}), TStoreResult::UsedToken);
            const auto leader = store.DailyLeader("2026-12-10");
            ASSERT_TRUE(leader.has_value());
            EXPECT_EQ(leader->Name, "Bo");
            EXPECT_EQ(leader->Hundredths, 7000);
            EXPECT_EQ(leader->Log, "bo-log");
        }
    }
    EXPECT_EQ(UserVersion(path), 1);
}
