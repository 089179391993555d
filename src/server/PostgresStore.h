// The PostgreSQL score store, for several service processes on one database: the same tables
// and the same promises as the SQLite store (a token spent and its score stored in one
// transaction, a daily best replaced only by a better time, ties in arrival order, names and
// extras kept and ordered as raw bytes). A small pool of connections serves the threads; a
// connection that broke is reset when it is next taken. A result is reported stored only once
// its transaction has committed, which with the server's default synchronous_commit means it
// is on the server's disk.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "server/DailyStore.h"
#include "server/ScoreStore.h"

struct pg_conn;

class TPostgresStore final : public TScoreStore, public TDailyStore {
public:
    // conninfo: a libpq connection string or URI (postgresql://user@host/db). Connects the
    // pool and creates the tables if they are missing; check Ok() and Error() afterwards.
    explicit TPostgresStore(const std::string& conninfo, size_t connections = 4);
    ~TPostgresStore() override;
    TPostgresStore(const TPostgresStore&) = delete;
    TPostgresStore& operator=(const TPostgresStore&) = delete;

    bool Ok() const { return Healthy; }
    const std::string& Error() const { return LastError; }

    bool AddToken(const std::string& token, int64_t expiresAt) override;
    TStoreResult StoreScore(const std::string& token, int64_t now, const TScoreRow& row) override;
    std::vector<TScoreRow> TopScores(size_t limit) override;
    void PruneTokens(int64_t expiredBefore) override;

    bool StoreDailyTime(const std::string& date, const std::string& name, int32_t hundredths,
                        const std::string& log, int64_t now) override;
    std::vector<TDailyRow> DailyTop(const std::string& date, size_t limit) override;
    std::optional<TDailyRow> DailyEntry(const std::string& date, const std::string& name) override;
    std::optional<TStoredDailyRun> DailyLeader(const std::string& date) override;
    std::optional<TStoredDailyRun> DailyRunOf(const std::string& date,
                                              const std::string& name) override;

    // One connection taken from the pool for a scope.
    class TLease;

private:
    pg_conn* Take();
    void Give(pg_conn* conn);

    std::string ConnInfo;
    std::mutex Lock;
    std::condition_variable Returned;
    std::vector<pg_conn*> Idle;
    std::vector<pg_conn*> All;
    bool Healthy = false;
    std::string LastError;
};
