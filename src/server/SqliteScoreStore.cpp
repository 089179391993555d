#include "server/SqliteScoreStore.h"

#include <sqlite3.h>

#include <string>

namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS scores ("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  extra TEXT NOT NULL,"
    "  time INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS scores_rank ON scores (score DESC, id);"
    "CREATE TABLE IF NOT EXISTS tokens ("
    "  token TEXT PRIMARY KEY,"
    "  expires INTEGER NOT NULL,"
    "  used INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS daily ("
    "  date TEXT NOT NULL,"
    "  name TEXT NOT NULL,"
    "  hundredths INTEGER NOT NULL,"
    "  time INTEGER NOT NULL,"
    "  log TEXT NOT NULL DEFAULT '',"
    "  PRIMARY KEY (date, name)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS daily_rank ON daily (date, hundredths, time, name);";

// PRAGMA user_version of a database this code wrote: 0 before daily logs were kept, 1 since.
constexpr int kSchemaVersion = 1;

// Resets a statement when leaving a scope, so that it never holds a read lock.
class TResetOnExit {
public:
    explicit TResetOnExit(sqlite3_stmt* s) : Stmt(s) {}
    ~TResetOnExit() {
        sqlite3_reset(Stmt);
        sqlite3_clear_bindings(Stmt);
    }
    TResetOnExit(const TResetOnExit&) = delete;
    TResetOnExit& operator=(const TResetOnExit&) = delete;

private:
    sqlite3_stmt* Stmt;
};

void BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
    sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text == nullptr ? std::string() : std::string(text, sqlite3_column_bytes(stmt, column));
}

}  // namespace

TSqliteScoreStore::TSqliteScoreStore(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        Fail("open");
        return;
    }
    // Writers wait for each other instead of failing; a second process on the same file too.
    sqlite3_busy_timeout(Db, 5000);
    sqlite3_stmt* mode = nullptr;
    if (!Prepare("PRAGMA journal_mode=WAL", mode)) return;
    const bool wal = sqlite3_step(mode) == SQLITE_ROW && ColumnText(mode, 0) == "wal";
    sqlite3_finalize(mode);
    if (!wal) {
        Fail("write-ahead log");
        return;
    }
    if (!Exec(kSchema) || !Migrate()) return;
    if (!Prepare("INSERT INTO tokens (token, expires) VALUES (?1, ?2)", InsertToken) ||
        !Prepare("SELECT expires, used FROM tokens WHERE token = ?1", FindToken) ||
        !Prepare("UPDATE tokens SET used = 1 WHERE token = ?1", SpendToken) ||
        !Prepare("INSERT INTO scores (name, score, extra, time) VALUES (?1, ?2, ?3, ?4)",
                 InsertScore) ||
        !Prepare("SELECT name, score, extra, time FROM scores ORDER BY score DESC, id LIMIT ?1",
                 SelectTop) ||
        !Prepare("DELETE FROM tokens WHERE expires < ?1", DeleteTokens)) {
        return;
    }
}

TSqliteScoreStore::~TSqliteScoreStore() {
    FinalizeAll();
    // Closing the last connection checkpoints the log into the database file.
    sqlite3_close(Db);
}

void TSqliteScoreStore::Fail(const char* what) {
    LastError = std::string(what) + ": " + (Db != nullptr ? sqlite3_errmsg(Db) : "out of memory");
    FinalizeAll();
    sqlite3_close(Db);
    Db = nullptr;
}

void TSqliteScoreStore::FinalizeAll() {
    for (sqlite3_stmt** s :
         {&InsertToken, &FindToken, &SpendToken, &InsertScore, &SelectTop, &DeleteTokens}) {
        sqlite3_finalize(*s);
        *s = nullptr;
    }
}

bool TSqliteScoreStore::Migrate() {
    sqlite3_stmt* version = nullptr;
    if (!Prepare("PRAGMA user_version", version)) return false;
    const int current = sqlite3_step(version) == SQLITE_ROW ? sqlite3_column_int(version, 0) : 0;
    sqlite3_finalize(version);
    if (current >= kSchemaVersion) return true;
    // A daily table from before the logs: CREATE TABLE IF NOT EXISTS left it as it was.
    sqlite3_stmt* column = nullptr;
    if (!Prepare("SELECT COUNT(*) FROM pragma_table_info('daily') WHERE name = 'log'", column))
        return false;
    const bool hasLog = sqlite3_step(column) == SQLITE_ROW && sqlite3_column_int(column, 0) > 0;
    sqlite3_finalize(column);
    if (!Exec("BEGIN IMMEDIATE")) return false;
    if (!hasLog && !Exec("ALTER TABLE daily ADD COLUMN log TEXT NOT NULL DEFAULT ''")) return false;
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    return Exec(setVersion.c_str()) && Exec("COMMIT");
}

bool TSqliteScoreStore::Exec(const char* sql) {
    if (sqlite3_exec(Db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    Fail(sql);
    return false;
}

bool TSqliteScoreStore::Prepare(const char* sql, sqlite3_stmt*& stmt) {
    if (sqlite3_prepare_v2(Db, sql, -1, &stmt, nullptr) == SQLITE_OK) return true;
    Fail(sql);
    return false;
}

bool TSqliteScoreStore::AddToken(const std::string& token, int64_t expiresAt) {
    std::lock_guard<std::mutex> guard(Lock);
    if (Db == nullptr) return false;
    // A token lost with the machine only makes one submission fail, so its commit does not
    // wait for the disk; the next score's synced commit carries it to the disk anyway.
    sqlite3_exec(Db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    TResetOnExit reset(InsertToken);
    BindText(InsertToken, 1, token);
    sqlite3_bind_int64(InsertToken, 2, expiresAt);
    return sqlite3_step(InsertToken) == SQLITE_DONE;
}

TStoreResult TSqliteScoreStore::StoreScore(const std::string& token, int64_t now,
                                           const TScoreRow& row) {
    std::lock_guard<std::mutex> guard(Lock);
    if (Db == nullptr) return TStoreResult::Failed;
    // FULL: the log is synced at this commit, so an answered score survives a crash of the
    // machine, not only of the process.
    sqlite3_exec(Db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    // IMMEDIATE takes the write lock up front, so the token cannot be spent twice.
    if (sqlite3_exec(Db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return TStoreResult::Failed;
    }
    const TStoreResult result = StoreLocked(token, now, row);
    const char* end = result == TStoreResult::Stored ? "COMMIT" : "ROLLBACK";
    if (sqlite3_exec(Db, end, nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
        return TStoreResult::Failed;
    }
    return result;
}

TStoreResult TSqliteScoreStore::StoreLocked(const std::string& token, int64_t now,
                                            const TScoreRow& row) {
    {
        TResetOnExit reset(FindToken);
        BindText(FindToken, 1, token);
        const int step = sqlite3_step(FindToken);
        if (step == SQLITE_DONE) return TStoreResult::UnknownToken;
        if (step != SQLITE_ROW) return TStoreResult::Failed;
        if (sqlite3_column_int64(FindToken, 1) != 0) return TStoreResult::UsedToken;
        if (now > sqlite3_column_int64(FindToken, 0)) return TStoreResult::ExpiredToken;
    }
    {
        TResetOnExit reset(SpendToken);
        BindText(SpendToken, 1, token);
        if (sqlite3_step(SpendToken) != SQLITE_DONE) return TStoreResult::Failed;
    }
    TResetOnExit reset(InsertScore);
    BindText(InsertScore, 1, row.Name);
    sqlite3_bind_int64(InsertScore, 2, row.Score);
    BindText(InsertScore, 3, row.Extra);
    sqlite3_bind_int64(InsertScore, 4, row.Time);
    return sqlite3_step(InsertScore) == SQLITE_DONE ? TStoreResult::Stored : TStoreResult::Failed;
}

std::vector<TScoreRow> TSqliteScoreStore::TopScores(size_t limit) {
    std::lock_guard<std::mutex> guard(Lock);
    std::vector<TScoreRow> rows;
    if (Db == nullptr) return rows;
    TResetOnExit reset(SelectTop);
    sqlite3_bind_int64(SelectTop, 1, static_cast<sqlite3_int64>(limit));
    while (sqlite3_step(SelectTop) == SQLITE_ROW) {
        rows.push_back({ColumnText(SelectTop, 0), sqlite3_column_int64(SelectTop, 1),
                        ColumnText(SelectTop, 2), sqlite3_column_int64(SelectTop, 3)});
    }
    return rows;
}

void TSqliteScoreStore::PruneTokens(int64_t expiredBefore) {
    std::lock_guard<std::mutex> guard(Lock);
    if (Db == nullptr) return;
    TResetOnExit reset(DeleteTokens);
    sqlite3_bind_int64(DeleteTokens, 1, expiredBefore);
    sqlite3_step(DeleteTokens);
}
