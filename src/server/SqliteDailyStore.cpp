// The daily table of the SQLite store: one row per day and name holding that name's best time.
// Equal times rank by when they were driven, then by name, so every row has one place.
#include <sqlite3.h>

#include "server/SqliteScoreStore.h"

namespace {
// A statement prepared for one call and finalised when the call ends.
class TStatement {
public:
    TStatement(sqlite3* db, const char* sql) {
        if (db != nullptr) sqlite3_prepare_v2(db, sql, -1, &Stmt, nullptr);
    }
    ~TStatement() { sqlite3_finalize(Stmt); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    sqlite3_stmt* operator*() const { return Stmt; }
    explicit operator bool() const { return Stmt != nullptr; }
    void Text(int index, const std::string& text) {
        sqlite3_bind_text(Stmt, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }

private:
    sqlite3_stmt* Stmt = nullptr;
};

std::string Column(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text == nullptr ? std::string() : std::string(text, sqlite3_column_bytes(stmt, column));
}
}  // namespace

bool TSqliteScoreStore::StoreDailyTime(const std::string& date, const std::string& name,
                                       int32_t hundredths, const std::string& log, int64_t now) {
    if (log.size() > kMaxStoredDailyLogBytes) return false;
    std::lock_guard<std::mutex> guard(Lock);
    // Synced like a score: an answered time survives a crash of the machine.
    sqlite3_exec(Db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    TStatement upsert(Db,
                      "INSERT INTO daily (date, name, hundredths, time, log) "
                      "VALUES (?1, ?2, ?3, ?4, ?5) "
                      "ON CONFLICT (date, name) DO UPDATE SET hundredths = excluded.hundredths, "
                      "time = excluded.time, log = excluded.log "
                      "WHERE excluded.hundredths < daily.hundredths");
    if (!upsert) return false;
    upsert.Text(1, date);
    upsert.Text(2, name);
    sqlite3_bind_int(*upsert, 3, hundredths);
    sqlite3_bind_int64(*upsert, 4, now);
    upsert.Text(5, log);
    return sqlite3_step(*upsert) == SQLITE_DONE;
}

std::vector<TDailyRow> TSqliteScoreStore::DailyTop(const std::string& date, size_t limit) {
    std::lock_guard<std::mutex> guard(Lock);
    std::vector<TDailyRow> rows;
    TStatement top(Db,
                   "SELECT name, hundredths FROM daily WHERE date = ?1 "
                   "ORDER BY hundredths, time, name LIMIT ?2");
    if (!top) return rows;
    top.Text(1, date);
    sqlite3_bind_int64(*top, 2, static_cast<sqlite3_int64>(limit));
    while (sqlite3_step(*top) == SQLITE_ROW) {
        rows.push_back(
            {static_cast<int32_t>(rows.size() + 1), Column(*top, 0), sqlite3_column_int(*top, 1)});
    }
    return rows;
}

std::optional<TDailyRow> TSqliteScoreStore::DailyEntry(const std::string& date,
                                                       const std::string& name) {
    std::lock_guard<std::mutex> guard(Lock);
    TStatement own(Db,
                   "SELECT d.hundredths, (SELECT COUNT(*) FROM daily o WHERE o.date = d.date AND "
                   "(o.hundredths < d.hundredths OR (o.hundredths = d.hundredths AND "
                   "(o.time < d.time OR (o.time = d.time AND o.name < d.name))))) "
                   "FROM daily d WHERE d.date = ?1 AND d.name = ?2");
    if (!own) return std::nullopt;
    own.Text(1, date);
    own.Text(2, name);
    if (sqlite3_step(*own) != SQLITE_ROW) return std::nullopt;
    return TDailyRow{sqlite3_column_int(*own, 1) + 1, name, sqlite3_column_int(*own, 0)};
}

std::optional<TStoredDailyRun> TSqliteScoreStore::DailyLeader(const std::string& date) {
    std::lock_guard<std::mutex> guard(Lock);
    TStatement top(Db,
                   "SELECT name, hundredths, log FROM daily WHERE date = ?1 "
                   "ORDER BY hundredths, time, name LIMIT 1");
    if (!top) return std::nullopt;
    top.Text(1, date);
    if (sqlite3_step(*top) != SQLITE_ROW) return std::nullopt;
    return TStoredDailyRun{Column(*top, 0), sqlite3_column_int(*top, 1), Column(*top, 2)};
}

std::optional<TStoredDailyRun> TSqliteScoreStore::DailyRunOf(const std::string& date,
                                                             const std::string& name) {
    std::lock_guard<std::mutex> guard(Lock);
    TStatement own(Db, "SELECT hundredths, log FROM daily WHERE date = ?1 AND name = ?2");
    if (!own) return std::nullopt;
    own.Text(1, date);
    own.Text(2, name);
    if (sqlite3_step(*own) != SQLITE_ROW) return std::nullopt;
    return TStoredDailyRun{name, sqlite3_column_int(*own, 0), Column(*own, 1)};
}
