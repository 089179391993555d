#include "world/RaceMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

thread_local int32_t RaceSinNudgeUlps = 0;

namespace {
constexpr double kTwoOverPi = 0.6366197723675814;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kSixthPi = 0.5235987755982989;
constexpr double kSqrt3 = 1.7320508075688772;
constexpr double kTanTwelfthPi = 0.2679491924311227;
// pi/2 in three parts: the first two have 33 significant bits, so n times either is exact
// for every |n| below 2^20, and the reduction loses nothing for angles up to about 1.6e6.
constexpr double kHalfPi1 = 1.5707963267341256;
constexpr double kHalfPi2 = 6.077100506303966e-11;
constexpr double kHalfPi3 = 2.0222662487959506e-21;

// Taylor series on |r| <= pi/4, where the first term left out is below 1e-22.
double SinNear(double r) {
    const double z = r * r;
    double p = 1.9572941063391263e-20;
    p = -8.22063524662433e-18 + z * p;
    p = 2.8114572543455206e-15 + z * p;
    p = -7.647163731819816e-13 + z * p;
    p = 1.6059043836821613e-10 + z * p;
    p = -2.505210838544172e-08 + z * p;
    p = 2.7557319223985893e-06 + z * p;
    p = -0.0001984126984126984 + z * p;
    p = 0.008333333333333333 + z * p;
    p = -0.16666666666666666 + z * p;
    return r + r * (z * p);
}

double CosNear(double r) {
    const double z = r * r;
    double p = 4.110317623312165e-19;
    p = -1.5619206968586225e-16 + z * p;
    p = 4.779477332387385e-14 + z * p;
    p = -1.1470745597729725e-11 + z * p;
    p = 2.08767569878681e-09 + z * p;
    p = -2.755731922398589e-07 + z * p;
    p = 2.48015873015873e-05 + z * p;
    p = -0.001388888888888889 + z * p;
    p = 0.041666666666666664 + z * p;
    p = -0.5 + z * p;
    return 1.0 + z * p;
}

// x = n * pi/2 + r with |r| <= pi/4 (a hair more after rounding); returns n mod 4.
int32_t Reduce(double x, double& r) {
    const double n = std::nearbyint(x * kTwoOverPi);
    r = ((x - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3;
    // n is whole and far inside the range of int64 for any angle a race reaches; the
    // quadrant of a larger one is still the same everywhere.
    const double quarter = n - 4.0 * std::floor(n / 4.0);
    return static_cast<int32_t>(quarter);
}

// The series of atan, t - t^3/3 + t^5/5 - ..., on |t| <= tan(pi/12), where the first term
// left out is below 1e-18. Its coefficients, (-1)^k / (2k + 1), rounded once by the compiler.
constexpr std::array<double, 15> kAtanTerms = [] {
    std::array<double, 15> terms{};
    for (int32_t k = 0; k < 15; ++k)
        terms[static_cast<size_t>(k)] = (k % 2 == 0 ? 1.0 : -1.0) / (2 * k + 1);
    return terms;
}();

double AtanNear(double t) {
    const double z = t * t;
    double p = 0;
    for (size_t k = kAtanTerms.size() - 1; k >= 1; --k) p = kAtanTerms[k] + z * p;
    return t + t * (z * p);
}

double Nudged(double v) {
    for (int32_t i = 0; i < RaceSinNudgeUlps; ++i)
        v = std::nextafter(v, std::numeric_limits<double>::infinity());
    return v;
}
}  // namespace

double RaceSin(double radians) {
    if (!std::isfinite(radians)) return std::numeric_limits<double>::quiet_NaN();
    double r = 0;
    double v = 0;
    switch (Reduce(radians, r)) {
        case 0:
            v = SinNear(r);
            break;
        case 1:
            v = CosNear(r);
            break;
        case 2:
            v = -SinNear(r);
            break;
        default:
            v = -CosNear(r);
            break;
    }
    return RaceSinNudgeUlps == 0 ? v : Nudged(v);
}

double RaceCos(double radians) {
    if (!std::isfinite(radians)) return std::numeric_limits<double>::quiet_NaN();
    double r = 0;
    switch (Reduce(radians, r)) {
        case 0:
            return CosNear(r);
        case 1:
            return -SinNear(r);
        case 2:
            return -CosNear(r);
        default:
            return SinNear(r);
    }
}

TSinCos RaceSinCos(double radians) {
    if (!std::isfinite(radians)) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    double r = 0;
    const int32_t quarter = Reduce(radians, r);
    const double s = SinNear(r), c = CosNear(r);
    TSinCos out{};
    switch (quarter) {
        case 0:
            out = {s, c};
            break;
        case 1:
            out = {c, -s};
            break;
        case 2:
            out = {-s, -c};
            break;
        default:
            out = {-c, s};
            break;
    }
    if (RaceSinNudgeUlps != 0) out.Sin = Nudged(out.Sin);
    return out;
}

double RaceAtan(double x) {
    if (std::isnan(x)) return x;
    const bool negative = x < 0;
    double a = negative ? -x : x;
    // atan(a) = pi/2 - atan(1/a) above 1, and pi/6 + atan((a sqrt3 - 1) / (a + sqrt3)) above
    // tan(pi/12): what is left for the series is within +-tan(pi/12).
    const bool inverted = a > 1;
    if (inverted) a = 1 / a;
    double v = 0;
    if (a > kTanTwelfthPi) {
        v = kSixthPi + AtanNear((a * kSqrt3 - 1) / (a + kSqrt3));
    } else {
        v = AtanNear(a);
    }
    if (inverted) v = kHalfPi - v;
    return negative ? -v : v;
}

double RaceAcos(double x) {
    if (!(x >= -1 && x <= 1)) return std::numeric_limits<double>::quiet_NaN();
    if (x == -1) return kPi;
    // acos(x) = 2 atan(sqrt((1 - x) / (1 + x))); 1 - x and 1 + x are exact where they
    // matter, near 1 and near -1.
    return 2 * RaceAtan(std::sqrt((1 - x) / (1 + x)));
}

int64_t RaceRound(double v) {
    constexpr double kLimit = 9007199254740992.0;  // 2^53
    if (std::isnan(v)) return 0;
    return static_cast<int64_t>(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}
