// Where the score service keeps its tokens and scores. One small interface, so that a
// deployment that outgrows one machine can put another database behind it; SQLite is the
// default (SqliteScoreStore.h). Implementations must be safe to call from several threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TScoreRow {
    std::string Name;
    int64_t Score = 0;
    std::string Extra;
    int64_t Time = 0;  // Unix seconds when it was stored
};

enum class TStoreResult { Stored, UnknownToken, UsedToken, ExpiredToken, Failed };

class TScoreStore {
public:
    virtual ~TScoreStore() = default;
    // Records a fresh, unused token valid until expiresAt (Unix seconds, inclusive).
    virtual bool AddToken(const std::string& token, int64_t expiresAt) = 0;
    // Spends the token and stores the row in one transaction: both happen or neither. The
    // result is Stored only once the row is durable.
    virtual TStoreResult StoreScore(const std::string& token, int64_t now,
                                    const TScoreRow& row) = 0;
    // Best first; equal scores in the order they arrived.
    virtual std::vector<TScoreRow> TopScores(size_t limit) = 0;
    // Forgets tokens that expired before the given time.
    virtual void PruneTokens(int64_t expiredBefore) = 0;
};
