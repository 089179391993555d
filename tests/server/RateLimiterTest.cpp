// Requests per client address, with time given by hand.
#include "server/RateLimiter.h"

#include <gtest/gtest.h>

namespace {
int Allowed(TRateLimiter& limiter, const std::string& address, double now, int tries) {
    int allowed = 0;
    for (int i = 0; i < tries; ++i) allowed += limiter.Allow(address, now) ? 1 : 0;
    return allowed;
}
}  // namespace

TEST(RateLimiter, ABurstThenTheSteadyRatePerAddress) {
    TRateLimiter limiter(5, 20);
    EXPECT_EQ(Allowed(limiter, "10.0.0.1", 100.0, 50), 20);
    // Another address has its own bucket.
    EXPECT_EQ(Allowed(limiter, "10.0.0.2", 100.0, 3), 3);
    // Half a second refills two and a half requests: two go through.
    EXPECT_EQ(Allowed(limiter, "10.0.0.1", 100.5, 10), 2);
    // Idle long enough, the bucket is full again but no fuller.
    EXPECT_EQ(Allowed(limiter, "10.0.0.1", 1000.0, 50), 20);
}

TEST(RateLimiter, ZeroRateTurnsTheLimitOffAndAClockGoingBackRefillsNothing) {
    TRateLimiter off(0, 0);
    EXPECT_EQ(Allowed(off, "a", 0.0, 1000), 1000);
    EXPECT_EQ(off.Clients(), 0u);

    TRateLimiter limiter(1, 2);
    EXPECT_EQ(Allowed(limiter, "a", 50.0, 5), 2);
    EXPECT_EQ(Allowed(limiter, "a", 10.0, 5), 0);
    EXPECT_EQ(Allowed(limiter, "a", 51.0, 5), 1);
}

TEST(RateLimiter, TheTableOfAddressesStaysBounded) {
    TRateLimiter limiter(1, 2, 2);
    EXPECT_TRUE(limiter.Allow("a", 0.0));
    EXPECT_TRUE(limiter.Allow("b", 0.0));
    // Both known clients are still spending their burst: no room for a third.
    EXPECT_FALSE(limiter.Allow("c", 0.5));
    EXPECT_EQ(limiter.Clients(), 2u);
    // Once they have been idle long enough to refill, they are forgotten to make room.
    EXPECT_TRUE(limiter.Allow("c", 5.0));
    EXPECT_LE(limiter.Clients(), 2u);
}
