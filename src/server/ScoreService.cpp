#include "server/ScoreService.h"

#include <sys/random.h>

#include <cerrno>
#include <chrono>
#include <ctime>

namespace {

// Replaces the reply's field separator and line breaks, which would split the reply.
std::string FieldSafe(std::string text) {
    for (char& c : text)
        if (c == '|' || c == '\r' || c == '\n') c = ' ';
    return text;
}

// Expired tokens are forgotten this long after expiry; until then a late submission is told
// its token expired rather than that it is unknown.
constexpr int64_t kTokenMemorySeconds = 60 * 60;
// How many version replies pass between two prunings of old tokens.
constexpr uint32_t kPruneEvery = 256;

}  // namespace

TScoreService::TScoreService(TScoreStore& store, TServiceConfig config, TNow now,
                             TTokenSource tokens)
    : ScoreStore(store),
      Config(std::move(config)),
      NowFn(std::move(now)),
      Tokens(std::move(tokens)) {
    Config.Motd = FieldSafe(Config.Motd);
}

std::string TScoreService::VersionReply() {
    const int64_t now = NowFn();
    if (Issued.fetch_add(1) % kPruneEvery == 0) {
        ScoreStore.PruneTokens(now - kTokenMemorySeconds);
    }
    const std::string token = Tokens();
    if (token.empty() || !ScoreStore.AddToken(token, now + kTokenLifetimeSeconds)) return {};
    return "OK|" + std::string(kServiceVersion) + "|" + UtcTimeText(now) + "|" + Config.Motd + "|" +
           token + "|";
}

TSubmitResult TScoreService::Submit(std::string_view inf) {
    TDecodedInf decoded = DecodeScoreInf(inf);
    if (decoded.Error != TInfError::None) {
        return {TSubmitStatus::BadRequest, InfErrorText(decoded.Error)};
    }
    const int64_t now = NowFn();
    const TScoreRow row{std::move(decoded.Fields.Name), decoded.Fields.Score,
                        std::move(decoded.Fields.Extra), now};
    switch (ScoreStore.StoreScore(decoded.Fields.Token, now, row)) {
        case TStoreResult::Stored:
            return {TSubmitStatus::Stored, "stored"};
        case TStoreResult::UnknownToken:
            return {TSubmitStatus::UnknownToken, "unknown-token"};
        case TStoreResult::UsedToken:
            return {TSubmitStatus::UsedToken, "used-token"};
        case TStoreResult::ExpiredToken:
            return {TSubmitStatus::ExpiredToken, "expired-token"};
        case TStoreResult::Failed:
            break;
    }
    return {TSubmitStatus::Failed, "store-failed"};
}

std::string SystemRandomToken() {
    unsigned char bytes[16];
    size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return {};
        got += static_cast<size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token.push_back(kHex[b >> 4]);
        token.push_back(kHex[b & 15]);
    }
    return token;
}

int64_t SystemUnixSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string UtcTimeText(int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}
