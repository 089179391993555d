#include "server/RateLimiter.h"

#include <algorithm>

TRateLimiter::TRateLimiter(double perSecond, double burst, size_t maxClients)
    : PerSecond(perSecond),
      Burst(std::max(burst, 1.0)),
      MaxClients(std::max<size_t>(maxClients, 1)) {}

bool TRateLimiter::Allow(const std::string& address, double nowSeconds) {
    if (PerSecond <= 0) return true;
    std::lock_guard<std::mutex> guard(Lock);
    auto it = Buckets.find(address);
    if (it == Buckets.end()) {
        if (Buckets.size() >= MaxClients) DropIdle(nowSeconds);
        if (Buckets.size() >= MaxClients) return false;
        it = Buckets.emplace(address, TBucket{Burst, nowSeconds}).first;
    }
    TBucket& b = it->second;
    // A clock that went backwards refills nothing rather than draining the bucket.
    const double elapsed = std::max(0.0, nowSeconds - b.Last);
    b.Tokens = std::min(Burst, b.Tokens + elapsed * PerSecond);
    b.Last = std::max(b.Last, nowSeconds);
    if (b.Tokens < 1.0) return false;
    b.Tokens -= 1.0;
    return true;
}

void TRateLimiter::DropIdle(double nowSeconds) {
    for (auto it = Buckets.begin(); it != Buckets.end();) {
        const double refilled = it->second.Tokens + (nowSeconds - it->second.Last) * PerSecond;
        it = refilled >= Burst ? Buckets.erase(it) : std::next(it);
    }
}

size_t TRateLimiter::Clients() const {
    std::lock_guard<std::mutex> guard(Lock);
    return Buckets.size();
}
