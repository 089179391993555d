// The race's own trigonometry: close to the C library's everywhere a race goes, and the same
// bits on every build.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "world/RaceMath.h"

namespace {
// A fixed spread of arguments: a 64-bit LCG, so every run and build tests the same points.
std::vector<double> Spread(double low, double high, int32_t count) {
    std::vector<double> out;
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    for (int32_t i = 0; i < count; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        out.push_back(low + (high - low) * unit);
    }
    return out;
}

double Pi() {
    return std::acos(-1.0);
}
}  // namespace

TEST(RaceMath, SineAndCosineStayWithinTheStatedErrorOfTheCLibrary) {
    std::vector<double> xs = Spread(-1e4, 1e4, 200000);
    const std::vector<double> small = Spread(-8, 8, 100000);
    xs.insert(xs.end(), small.begin(), small.end());
    // Whole and half turns, where the reduction matters most, and the degrees a race uses.
    for (int32_t k = -4000; k <= 4000; ++k) {
        xs.push_back(k * Pi() / 4);
        xs.push_back(k * Pi() / 180);
    }
    for (double x : xs) {
        ASSERT_NEAR(RaceSin(x), std::sin(x), 1e-15) << x;
        ASSERT_NEAR(RaceCos(x), std::cos(x), 1e-15) << x;
    }
    EXPECT_EQ(RaceSin(0.0), 0.0);
    EXPECT_EQ(RaceCos(0.0), 1.0);
    EXPECT_TRUE(std::isnan(RaceSin(INFINITY)));
    EXPECT_TRUE(std::isnan(RaceCos(NAN)));
}

TEST(RaceMath, ArcTangentArcCosineAndLengthStayWithinTheStatedError) {
    std::vector<double> xs = Spread(-3, 3, 100000);
    for (double e = -12; e <= 12; e += 0.01) {
        xs.push_back(std::pow(10.0, e));
        xs.push_back(-std::pow(10.0, e));
    }
    for (double x : {0.0, 1.0, -1.0, 2 - std::sqrt(3.0), 1 / std::sqrt(3.0), 1e300, -1e300})
        xs.push_back(x);
    for (double x : xs) ASSERT_NEAR(RaceAtan(x), std::atan(x), 1e-15) << x;
    std::vector<double> cs = Spread(-1, 1, 100000);
    for (double c : {-1.0, 1.0, 0.0, 0.5, -0.5, 0.9999999999999999, -0.9999999999999999})
        cs.push_back(c);
    for (double c : cs) ASSERT_NEAR(RaceAcos(c), std::acos(c), 1e-15) << c;
    EXPECT_EQ(RaceAcos(1.0), 0.0);
    EXPECT_TRUE(std::isnan(RaceAcos(1.0000000000000002)));
    EXPECT_TRUE(std::isnan(RaceAcos(NAN)));
    EXPECT_TRUE(std::isnan(RaceAtan(NAN)));
    const std::vector<double> ps = Spread(-1e6, 1e6, 20000);
    for (size_t i = 0; i + 1 < ps.size(); i += 2)
        ASSERT_NEAR(RaceHypot(ps[i], ps[i + 1]), std::hypot(ps[i], ps[i + 1]),
                    1e-15 * std::hypot(ps[i], ps[i + 1]));
    EXPECT_EQ(RaceHypot(3, 4), 5);
    EXPECT_EQ(RaceHypot(0, 0), 0);
}

// The contract: these exact bits, on every compiler, flag set and processor. A change here is
// a change in every recorded race.
TEST(RaceMath, GivesTheSameBitsEverywhere) {
    const struct {
        double (*F)(double);
        double X;
        uint64_t Bits;
    } cases[] = {
        {RaceSin, 1.0, 0x3feaed548f090cee},
        {RaceSin, -123.456, 0x3fe9b9dadc41aeb6},
        {RaceSin, 0.7853981633974483, 0x3fe6a09e667f3bcc},
        {RaceCos, 1.0, 0x3fe14a280fb5068c},
        {RaceCos, 3000.25, 0xbfeffc8d3f3cb800},
        {RaceCos, -1.5707963267948966, 0x3c91a62633145c07},
        {RaceAtan, 0.5, 0x3fddac670561bb50},
        {RaceAtan, -7.25, 0xbff6f08f07435fec},
        {RaceAtan, 0.26794919243112275, 0x3fd0c152382d7367},
        {RaceAcos, 0.3, 0x3ff441f5ecbeef58},
        {RaceAcos, -0.999, 0x4008c66280ae928e},
        {RaceAcos, 0.9999999, 0x3f3d4effc851e7f2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::bit_cast<uint64_t>(c.F(c.X)), c.Bits)
            << c.X << " gives 0x" << std::hex << std::bit_cast<uint64_t>(c.F(c.X));
    EXPECT_EQ(std::bit_cast<uint64_t>(RaceHypot(123.5, -77.25)), 4639329331727220940u);
}

TEST(RaceMath, TheNudgeMovesTheSineByWholePlacesAndOnlyWhenSet) {
    const double plain = RaceSin(0.5);
    RaceSinNudgeUlps = 1;
    const double nudged = RaceSin(0.5);
    RaceSinNudgeUlps = 0;
    EXPECT_EQ(nudged, std::nextafter(plain, 1.0));
    EXPECT_EQ(RaceSin(0.5), plain);
}

TEST(RaceMath, RoundingToAWholeNumberIsDefinedForEveryDouble) {
    const struct {
        double V;
        int64_t Want;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-0.4, 0},
        {NAN, 0},
        {INFINITY, 9007199254740992},
        {-1e300, -9007199254740992},
    };
    for (const auto& c : cases) EXPECT_EQ(RaceRound(c.V), c.Want) << c.V;
}

TEST(RaceMath, SineAndCosineTogetherAreTheSameBitsAsApart) {
    std::vector<double> xs = Spread(-1e4, 1e4, 20000);
    xs.insert(xs.end(), {0.0, -0.0, Pi() / 4, -Pi() / 2, 3 * Pi() / 4, 1e300, NAN, INFINITY});
    for (int32_t nudge : {0, 2}) {
        RaceSinNudgeUlps = nudge;
        for (double x : xs) {
            const TSinCos both = RaceSinCos(x);
            ASSERT_EQ(std::bit_cast<uint64_t>(both.Sin), std::bit_cast<uint64_t>(RaceSin(x))) << x;
            ASSERT_EQ(std::bit_cast<uint64_t>(both.Cos), std::bit_cast<uint64_t>(RaceCos(x))) << x;
        }
    }
    RaceSinNudgeUlps = 0;
}
