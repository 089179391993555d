// What the score service does, apart from HTTP: issues tokens with the version reply, checks
// and stores submissions, and lists the best scores. Time and the token source are injected,
// so tests can expire tokens without waiting.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "server/ScoreRequest.h"
#include "server/ScoreStore.h"

inline constexpr const char* kServiceVersion = "1.0";
inline constexpr int64_t kTokenLifetimeSeconds = 10 * 60;

struct TServiceConfig {
    std::string Motd = "Welcome to Velkaro";
};

enum class TSubmitStatus { Stored, BadRequest, UnknownToken, UsedToken, ExpiredToken, Failed };

struct TSubmitResult {
    TSubmitStatus Status = TSubmitStatus::Failed;
    std::string Reason;  // short text for the reply and the log
};

class TScoreService {
public:
    using TNow = std::function<int64_t()>;  // Unix seconds
    // Returns a fresh unguessable token, or an empty text when no randomness is available.
    using TTokenSource = std::function<std::string()>;

    TScoreService(TScoreStore& store, TServiceConfig config, TNow now, TTokenSource tokens);

    // "OK|<version>|<time>|<motd>|<token>|", or an empty text when no token could be issued.
    std::string VersionReply();
    TSubmitResult Submit(std::string_view inf);
    TScoreStore& Store() { return ScoreStore; }
    int64_t Now() const { return NowFn(); }

private:
    TScoreStore& ScoreStore;
    TServiceConfig Config;
    TNow NowFn;
    TTokenSource Tokens;
    std::atomic<uint32_t> Issued{0};
};

// 128 bits from the system's random source, as 32 lower-case hex digits (empty on failure).
std::string SystemRandomToken();
// Unix seconds from the system clock.
int64_t SystemUnixSeconds();
// "2026-12-10T13:45:00Z".
std::string UtcTimeText(int64_t unixSeconds);
