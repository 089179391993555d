// The SQLite score store: one database file in write-ahead-log mode; a score's commit is synced
// to the disk before its submission is answered, so neither a killed service nor a crashed
// machine loses an answered score.
// One connection serialised by a mutex: SQLite writes one transaction at a time anyway.
// A file from an earlier version is brought up to date when it is opened (its rows kept).
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "server/DailyStore.h"
#include "server/ScoreStore.h"

struct sqlite3;
struct sqlite3_stmt;

class TSqliteScoreStore final : public TScoreStore, public TDailyStore {
public:
    // Opens (creating if needed) the database; check Ok() and Error() afterwards.
    explicit TSqliteScoreStore(const std::string& path);
    ~TSqliteScoreStore() override;
    TSqliteScoreStore(const TSqliteScoreStore&) = delete;
    TSqliteScoreStore& operator=(const TSqliteScoreStore&) = delete;

    bool Ok() const { return Db != nullptr; }
    const std::string& Error() const { return LastError; }

    bool AddToken(const std::string& token, int64_t expiresAt) override;
    TStoreResult StoreScore(const std::string& token, int64_t now, const TScoreRow& row) override;
    std::vector<TScoreRow> TopScores(size_t limit) override;
    void PruneTokens(int64_t expiredBefore) override;

    // The daily table (SqliteDailyStore.cpp).
    bool StoreDailyTime(const std::string& date, const std::string& name, int32_t hundredths,
                        const std::string& log, int64_t now) override;
    std::vector<TDailyRow> DailyTop(const std::string& date, size_t limit) override;
    std::optional<TDailyRow> DailyEntry(const std::string& date, const std::string& name) override;
    std::optional<TStoredDailyRun> DailyLeader(const std::string& date) override;
    std::optional<TStoredDailyRun> DailyRunOf(const std::string& date,
                                              const std::string& name) override;

private:
    // Brings a database file of an earlier version up to this one, keeping its rows.
    bool Migrate();
    bool Exec(const char* sql);
    bool Prepare(const char* sql, sqlite3_stmt*& stmt);
    void Fail(const char* what);
    void FinalizeAll();
    TStoreResult StoreLocked(const std::string& token, int64_t now, const TScoreRow& row);

    std::mutex Lock;
    sqlite3* Db = nullptr;
    sqlite3_stmt* InsertToken = nullptr;
    sqlite3_stmt* FindToken = nullptr;
    sqlite3_stmt* SpendToken = nullptr;
    sqlite3_stmt* InsertScore = nullptr;
    sqlite3_stmt* SelectTop = nullptr;
    sqlite3_stmt* DeleteTokens = nullptr;
    std::string LastError;
};
