// Small building blocks for synthesising sounds: a deterministic noise source, oscillators
// with a phase that follows a changing pitch, filters and envelopes, and the finishing steps
// (fades, normalising, conversion to 16-bit). Every sound is a vector of floats in -1..1.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

using TWave = std::vector<float>;

constexpr double kPi = 3.14159265358979323846;

// xorshift noise with a fixed seed, so every build writes the same bytes.
class TNoise {
public:
    explicit TNoise(uint32_t seed) : State(seed != 0 ? seed : 1) {}
    // Uniform in -1..1.
    float Next();

private:
    uint32_t State;
};

// A phase accumulator: call Step with the frequency of each sample.
class TPhase {
public:
    // Returns the phase (0..1) of this sample and advances by frequency / rate.
    double Step(double frequency, double rate);

private:
    double Value = 0;
};

// One-pole low-pass and a state-variable filter (low/band/high) whose cutoff may change
// from sample to sample.
class TOnePole {
public:
    float Low(float x, double cutoff, double rate);

private:
    float Y = 0;
};

class TSvf {
public:
    struct TOut {
        float Low, Band, High;
    };
    TOut Run(float x, double cutoff, double q, double rate);

private:
    float Ic1 = 0, Ic2 = 0;
};

// Waveforms of a phase 0..1, band-limited enough for short effects.
float SineAt(double phase);
float TriangleAt(double phase);
float SoftSquareAt(double phase);  // sum of the first odd harmonics
float SawAt(double phase, int harmonics);

// Number of samples of seconds at rate.
int32_t SamplesOf(double seconds, double rate);
// Envelope shapes of time t (seconds).
double ExpDecay(double t, double tau);
double AttackDecay(double t, double attack, double tau);
// Linear ramp 0..1 over attack, then 1, then down to 0 over release before length.
double Gate(double t, double attack, double release, double length);

// Fills a wave of the given length from f(t) with t in seconds.
TWave Render(double seconds, double rate, const std::function<float(double)>& f);
// Adds b into a starting at offset seconds (a grows if needed).
void MixInto(TWave& a, const TWave& b, double offsetSeconds, double rate, float gain = 1.0f);
// Short fades at both ends, so no sound starts or stops with a click.
void FadeEdges(TWave& w, double rate, double fadeIn = 0.002, double fadeOut = 0.01);
// Scales to the given peak (in dB below full scale).
void Normalize(TWave& w, double peakDb);
std::vector<int16_t> ToPcm16(const TWave& w);
