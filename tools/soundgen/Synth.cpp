#include "Synth.h"

#include <algorithm>
#include <cmath>

float TNoise::Next() {
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return static_cast<float>(State) / 2147483648.0f - 1.0f;
}

double TPhase::Step(double frequency, double rate) {
    const double phase = Value;
    Value += frequency / rate;
    Value -= std::floor(Value);
    return phase;
}

float TOnePole::Low(float x, double cutoff, double rate) {
    const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / rate);
    Y += static_cast<float>(a) * (x - Y);
    return Y;
}

TSvf::TOut TSvf::Run(float x, double cutoff, double q, double rate) {
    // Trapezoidal state-variable filter: stable for any cutoff below Nyquist.
    const double g = std::tan(kPi * std::min(cutoff, rate * 0.45) / rate);
    const double k = 1.0 / q;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = x - Ic2;
    const double v1 = a1 * Ic1 + a2 * v3;
    const double v2 = Ic2 + a2 * Ic1 + a3 * v3;
    Ic1 = static_cast<float>(2.0 * v1 - Ic1);
    Ic2 = static_cast<float>(2.0 * v2 - Ic2);
    const auto low = static_cast<float>(v2);
    const auto band = static_cast<float>(v1);
    return {low, band, static_cast<float>(x - k * v1 - v2)};
}

float SineAt(double phase) {
    return static_cast<float>(std::sin(2.0 * kPi * phase));
}

float TriangleAt(double phase) {
    const double p = phase - std::floor(phase);
    return static_cast<float>(p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p);
}

float SoftSquareAt(double phase) {
    double s = 0;
    for (int k = 1; k <= 7; k += 2) s += std::sin(2.0 * kPi * k * phase) / k;
    return static_cast<float>(s * 0.9);
}

float SawAt(double phase, int harmonics) {
    double s = 0;
    for (int k = 1; k <= harmonics; ++k) s += std::sin(2.0 * kPi * k * phase) / k;
    return static_cast<float>(s * 0.55);
}

int32_t SamplesOf(double seconds, double rate) {
    return static_cast<int32_t>(std::lround(seconds * rate));
}

double ExpDecay(double t, double tau) {
    return t < 0 ? 0.0 : std::exp(-t / tau);
}

double AttackDecay(double t, double attack, double tau) {
    if (t < 0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

double Gate(double t, double attack, double release, double length) {
    if (t < 0 || t >= length) return 0.0;
    double g = 1.0;
    if (attack > 0 && t < attack) g = t / attack;
    if (release > 0 && t > length - release) g = std::min(g, (length - t) / release);
    return g;
}

TWave Render(double seconds, double rate, const std::function<float(double)>& f) {
    TWave w(static_cast<size_t>(SamplesOf(seconds, rate)));
    for (size_t i = 0; i < w.size(); ++i) w[i] = f(static_cast<double>(i) / rate);
    return w;
}

void MixInto(TWave& a, const TWave& b, double offsetSeconds, double rate, float gain) {
    const auto offset = static_cast<size_t>(std::max(0, SamplesOf(offsetSeconds, rate)));
    if (a.size() < offset + b.size()) a.resize(offset + b.size(), 0.0f);
    for (size_t i = 0; i < b.size(); ++i) a[offset + i] += b[i] * gain;
}

void FadeEdges(TWave& w, double rate, double fadeIn, double fadeOut) {
    const auto n = static_cast<int64_t>(w.size());
    const int64_t in = std::min<int64_t>(SamplesOf(fadeIn, rate), n);
    const int64_t out = std::min<int64_t>(SamplesOf(fadeOut, rate), n);
    for (int64_t i = 0; i < in; ++i)
        w[static_cast<size_t>(i)] *= static_cast<float>(i) / static_cast<float>(in);
    for (int64_t i = 0; i < out; ++i)
        w[static_cast<size_t>(n - 1 - i)] *= static_cast<float>(i) / static_cast<float>(out);
}

void Normalize(TWave& w, double peakDb) {
    float peak = 0;
    for (float x : w) peak = std::max(peak, std::fabs(x));
    if (peak <= 0) return;
    const auto scale = static_cast<float>(std::pow(10.0, peakDb / 20.0) / peak);
    for (float& x : w) x *= scale;
}

std::vector<int16_t> ToPcm16(const TWave& w) {
    std::vector<int16_t> out(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        const float s = std::clamp(w[i], -1.0f, 1.0f) * 32767.0f;
        out[i] = static_cast<int16_t>(std::lrint(s));
    }
    return out;
}
