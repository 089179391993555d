// Requests per client address: a token bucket per address that refills at a steady rate up to
// a burst. The table of addresses is bounded; when it is full, buckets that have refilled
// completely (idle clients) are dropped, and new addresses wait until room comes back. Time is
// passed in, so the limiter is a plain value that tests drive by hand.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

class TRateLimiter {
public:
    // perSecond 0 turns the limit off.
    TRateLimiter(double perSecond, double burst, size_t maxClients = 10000);
    // Whether a request from this address may go ahead at time nowSeconds (monotonic).
    bool Allow(const std::string& address, double nowSeconds);
    size_t Clients() const;

private:
    struct TBucket {
        double Tokens = 0;
        double Last = 0;
    };
    void DropIdle(double nowSeconds);

    double PerSecond, Burst;
    size_t MaxClients;
    mutable std::mutex Lock;
    std::unordered_map<std::string, TBucket> Buckets;
};
