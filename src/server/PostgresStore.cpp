#include "server/PostgresStore.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// Names and extras are bytes from clients: bytea keeps and orders them as bytes, whatever the
// database's encoding and collation. Dates, tokens and logs are ASCII.
constexpr const char* kSchema =
    "SELECT pg_advisory_xact_lock(74701);"
    "CREATE TABLE IF NOT EXISTS scores ("
    "  id BIGSERIAL PRIMARY KEY,"
    "  name BYTEA NOT NULL,"
    "  score BIGINT NOT NULL,"
    "  extra BYTEA NOT NULL,"
    "  time BIGINT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS scores_rank ON scores (score DESC, id);"
    "CREATE TABLE IF NOT EXISTS tokens ("
    "  token TEXT COLLATE \"C\" PRIMARY KEY,"
    "  expires BIGINT NOT NULL,"
    "  used BOOLEAN NOT NULL DEFAULT FALSE);"
    "CREATE TABLE IF NOT EXISTS daily ("
    "  date TEXT COLLATE \"C\" NOT NULL,"
    "  name BYTEA NOT NULL,"
    "  hundredths INTEGER NOT NULL,"
    "  time BIGINT NOT NULL,"
    "  log TEXT NOT NULL DEFAULT '',"
    "  PRIMARY KEY (date, name));"
    "CREATE INDEX IF NOT EXISTS daily_rank ON daily (date, hundredths, time, name);";

using TResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

// A parameter: text, or raw bytes (bytea, sent in binary).
struct TParam {
    std::string Value;
    bool Binary = false;
};
TParam Bytes(std::string value) {
    return {std::move(value), true};
}
TParam Text(std::string value) {
    return {std::move(value), false};
}
TParam Number(int64_t value) {
    return {std::to_string(value), false};
}

TResult Run(pg_conn* conn, const char* sql, const std::vector<TParam>& params = {}) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const TParam& p : params) {
        values.push_back(p.Value.data());
        lengths.push_back(static_cast<int>(p.Value.size()));
        formats.push_back(p.Binary ? 1 : 0);
    }
    return TResult(PQexecParams(conn, sql, static_cast<int>(params.size()), nullptr, values.data(),
                                lengths.data(), formats.data(), 0),
                   &PQclear);
}

bool Succeeded(const TResult& r) {
    const ExecStatusType s = PQresultStatus(r.get());
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

std::string Field(const TResult& r, int row, int column) {
    return std::string(PQgetvalue(r.get(), row, column),
                       static_cast<size_t>(PQgetlength(r.get(), row, column)));
}

int64_t NumberField(const TResult& r, int row, int column) {
    return std::strtoll(PQgetvalue(r.get(), row, column), nullptr, 10);
}

// A bytea column in text results: "\x" and two hex digits a byte.
std::string BytesField(const TResult& r, int row, int column) {
    const std::string hex = Field(r, row, column);
    std::string out;
    const auto digit = [](char c) {
        return c >= 'a' ? c - 'a' + 10 : c >= 'A' ? c - 'A' + 10 : c - '0';
    };
    for (size_t i = 2; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1])));
    return out;
}

}  // namespace

class TPostgresStore::TLease {
public:
    explicit TLease(TPostgresStore& store) : Store(store), Conn(store.Take()) {}
    ~TLease() { Store.Give(Conn); }
    TLease(const TLease&) = delete;
    TLease& operator=(const TLease&) = delete;
    pg_conn* operator*() const { return Conn; }

private:
    TPostgresStore& Store;
    pg_conn* Conn;
};

TPostgresStore::TPostgresStore(const std::string& conninfo, size_t connections)
    : ConnInfo(conninfo) {
    for (size_t i = 0; i < std::max<size_t>(connections, 1); ++i) {
        pg_conn* conn = PQconnectdb(ConnInfo.c_str());
        All.push_back(conn);
        if (PQstatus(conn) != CONNECTION_OK) {
            LastError = std::string("connect: ") + PQerrorMessage(conn);
            return;
        }
        Idle.push_back(conn);
    }
    pg_conn* conn = Idle.front();
    // Several processes may start at once: the advisory lock makes them create in turn.
    for (const char* sql : {"SET bytea_output = 'hex'", "SET client_min_messages = warning",
                            "BEGIN", kSchema, "COMMIT"}) {
        if (sql == kSchema) {
            TResult r(PQexec(conn, sql), &PQclear);
            if (!Succeeded(r)) {
                LastError = std::string("schema: ") + PQerrorMessage(conn);
                Run(conn, "ROLLBACK");
                return;
            }
            continue;
        }
        if (!Succeeded(Run(conn, sql))) {
            LastError = std::string(sql) + ": " + PQerrorMessage(conn);
            return;
        }
    }
    for (pg_conn* c : Idle) Run(c, "SET bytea_output = 'hex'");
    Healthy = true;
}

TPostgresStore::~TPostgresStore() {
    for (pg_conn* conn : All) PQfinish(conn);
}

pg_conn* TPostgresStore::Take() {
    std::unique_lock<std::mutex> hold(Lock);
    Returned.wait(hold, [this] { return !Idle.empty(); });
    pg_conn* conn = Idle.back();
    Idle.pop_back();
    hold.unlock();
    // A connection lost with a restarted server or a network hiccup is made again.
    if (PQstatus(conn) != CONNECTION_OK) {
        PQreset(conn);
        if (PQstatus(conn) == CONNECTION_OK) Run(conn, "SET bytea_output = 'hex'");
    }
    return conn;
}

void TPostgresStore::Give(pg_conn* conn) {
    // A connection left inside a transaction (a failure part way) is rolled back first.
    if (PQstatus(conn) == CONNECTION_OK && PQtransactionStatus(conn) != PQTRANS_IDLE)
        Run(conn, "ROLLBACK");
    {
        std::lock_guard<std::mutex> hold(Lock);
        Idle.push_back(conn);
    }
    Returned.notify_one();
}

bool TPostgresStore::AddToken(const std::string& token, int64_t expiresAt) {
    if (!Healthy) return false;
    TLease conn(*this);
    return Succeeded(Run(*conn, "INSERT INTO tokens (token, expires) VALUES ($1, $2)",
                         {Text(token), Number(expiresAt)}));
}

TStoreResult TPostgresStore::StoreScore(const std::string& token, int64_t now,
                                        const TScoreRow& row) {
    if (!Healthy) return TStoreResult::Failed;
    TLease conn(*this);
    if (!Succeeded(Run(*conn, "BEGIN"))) return TStoreResult::Failed;
    // The row lock makes a second spender of the token wait, then see it spent.
    const TResult found =
        Run(*conn, "SELECT expires, used FROM tokens WHERE token = $1 FOR UPDATE", {Text(token)});
    TStoreResult result = TStoreResult::Stored;
    if (!Succeeded(found)) {
        result = TStoreResult::Failed;
    } else if (PQntuples(found.get()) == 0) {
        result = TStoreResult::UnknownToken;
    } else if (Field(found, 0, 1) == "t") {
        result = TStoreResult::UsedToken;
    } else if (now > NumberField(found, 0, 0)) {
        result = TStoreResult::ExpiredToken;
    } else if (!Succeeded(
                   Run(*conn, "UPDATE tokens SET used = TRUE WHERE token = $1", {Text(token)})) ||
               !Succeeded(
                   Run(*conn,
                       "INSERT INTO scores (name, score, extra, time) "
                       "VALUES ($1, $2, $3, $4)",
                       {Bytes(row.Name), Number(row.Score), Bytes(row.Extra), Number(row.Time)}))) {
        result = TStoreResult::Failed;
    }
    if (result != TStoreResult::Stored) {
        Run(*conn, "ROLLBACK");
        return result;
    }
    // Stored only when the commit says so (a failed transaction's COMMIT answers ROLLBACK).
    const TResult commit = Run(*conn, "COMMIT");
    return Succeeded(commit) && std::string(PQcmdStatus(commit.get())) == "COMMIT"
               ? TStoreResult::Stored
               : TStoreResult::Failed;
}

std::vector<TScoreRow> TPostgresStore::TopScores(size_t limit) {
    std::vector<TScoreRow> rows;
    if (!Healthy) return rows;
    TLease conn(*this);
    const TResult r = Run(*conn,
                          "SELECT name, score, extra, time FROM scores "
                          "ORDER BY score DESC, id LIMIT $1",
                          {Number(static_cast<int64_t>(limit))});
    if (!Succeeded(r)) return rows;
    for (int i = 0; i < PQntuples(r.get()); ++i)
        rows.push_back(
            {BytesField(r, i, 0), NumberField(r, i, 1), BytesField(r, i, 2), NumberField(r, i, 3)});
    return rows;
}

void TPostgresStore::PruneTokens(int64_t expiredBefore) {
    if (!Healthy) return;
    TLease conn(*this);
    Run(*conn, "DELETE FROM tokens WHERE expires < $1", {Number(expiredBefore)});
}

bool TPostgresStore::StoreDailyTime(const std::string& date, const std::string& name,
                                    int32_t hundredths, const std::string& log, int64_t now) {
    if (!Healthy || log.size() > kMaxStoredDailyLogBytes) return false;
    TLease conn(*this);
    // One statement: the conflicting row is locked, so of two submissions at once the better
    // time ends up kept, with its own log.
    return Succeeded(Run(*conn,
                         "INSERT INTO daily (date, name, hundredths, time, log) "
                         "VALUES ($1, $2, $3, $4, $5) "
                         "ON CONFLICT (date, name) DO UPDATE SET hundredths = EXCLUDED.hundredths, "
                         "time = EXCLUDED.time, log = EXCLUDED.log "
                         "WHERE EXCLUDED.hundredths < daily.hundredths",
                         {Text(date), Bytes(name), Number(hundredths), Number(now), Text(log)}));
}

std::vector<TDailyRow> TPostgresStore::DailyTop(const std::string& date, size_t limit) {
    std::vector<TDailyRow> rows;
    if (!Healthy) return rows;
    TLease conn(*this);
    const TResult r = Run(*conn,
                          "SELECT name, hundredths FROM daily WHERE date = $1 "
                          "ORDER BY hundredths, time, name LIMIT $2",
                          {Text(date), Number(static_cast<int64_t>(limit))});
    if (!Succeeded(r)) return rows;
    for (int i = 0; i < PQntuples(r.get()); ++i)
        rows.push_back({i + 1, BytesField(r, i, 0), static_cast<int32_t>(NumberField(r, i, 1))});
    return rows;
}

std::optional<TDailyRow> TPostgresStore::DailyEntry(const std::string& date,
                                                    const std::string& name) {
    if (!Healthy) return std::nullopt;
    TLease conn(*this);
    const TResult r =
        Run(*conn,
            "SELECT d.hundredths, (SELECT COUNT(*) FROM daily o WHERE o.date = d.date AND "
            "(o.hundredths, o.time, o.name) < (d.hundredths, d.time, d.name)) "
            "FROM daily d WHERE d.date = $1 AND d.name = $2",
            {Text(date), Bytes(name)});
    if (!Succeeded(r) || PQntuples(r.get()) == 0) return std::nullopt;
    return TDailyRow{static_cast<int32_t>(NumberField(r, 0, 1) + 1), name,
                     static_cast<int32_t>(NumberField(r, 0, 0))};
}

std::optional<TStoredDailyRun> TPostgresStore::DailyLeader(const std::string& date) {
    if (!Healthy) return std::nullopt;
    TLease conn(*this);
    const TResult r = Run(*conn,
                          "SELECT name, hundredths, log FROM daily WHERE date = $1 "
                          "ORDER BY hundredths, time, name LIMIT 1",
                          {Text(date)});
    if (!Succeeded(r) || PQntuples(r.get()) == 0) return std::nullopt;
    return TStoredDailyRun{BytesField(r, 0, 0), static_cast<int32_t>(NumberField(r, 0, 1)),
                           Field(r, 0, 2)};
}

std::optional<TStoredDailyRun> TPostgresStore::DailyRunOf(const std::string& date,
                                                          const std::string& name) {
    if (!Healthy) return std::nullopt;
    TLease conn(*this);
    const TResult r = Run(*conn, "SELECT hundredths, log FROM daily WHERE date = $1 AND name = $2",
                          {Text(date), Bytes(name)});
    if (!Succeeded(r) || PQntuples(r.get()) == 0) return std::nullopt;
    return TStoredDailyRun{name, static_cast<int32_t>(NumberField(r, 0, 0)), Field(r, 0, 1)};
}
