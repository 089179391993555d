#include "Instruments.h"

#include <cmath>
#include <functional>

#include "Synth.h"

namespace {
constexpr double kRate = 22050.0;
constexpr double kDrumRate = 44100.0;

TXmSample Sample(const std::string& name, TWave wave, double peakDb) {
    Normalize(wave, peakDb);
    TXmSample s;
    s.Name = name;
    s.Data = ToPcm16(wave);
    return s;
}

TXmInstrument Instrument(const std::string& name, TXmSample sample) {
    TXmInstrument ins;
    ins.Name = name;
    ins.Sample = std::move(sample);
    return ins;
}

// A drum: played at C-4 it sounds at the rate it was made at.
TXmInstrument Drum(const std::string& name, TWave wave) {
    FadeEdges(wave, kDrumRate, 0.0005, 0.01);
    TXmInstrument ins = Instrument(name, Sample(name, std::move(wave), -1.0));
    TuneSample(ins.Sample, kDrumRate, 0);
    return ins;
}

// A loop of `cycles` periods of a tone: partial k of every voice completes a whole number of
// cycles in the loop, so it joins up without a seam. Voices are detuned by whole cycles for
// a slow, even chorus. gain(k) gives the amplitude of harmonic k.
TXmSample LoopedTone(const std::string& name, int cycles, const std::vector<int>& detune,
                     const std::function<double(int)>& gain, double loopSeconds) {
    const auto length = static_cast<size_t>(std::lround(loopSeconds * kRate));
    const double f0 = cycles * kRate / static_cast<double>(length);
    TWave w(length, 0.0f);
    TNoise phases(977);
    for (int offset : detune) {
        const double voiceHz = (cycles + offset) * kRate / static_cast<double>(length);
        for (int k = 1; k * voiceHz < kRate * 0.45; ++k) {
            const double a = gain(k);
            if (a == 0) continue;
            const double phase = 0.5 * (phases.Next() + 1.0);
            const double step = 2 * kPi * k * voiceHz / kRate;
            for (size_t i = 0; i < length; ++i)
                w[i] += static_cast<float>(
                    a * std::sin(step * static_cast<double>(i) + 2 * kPi * phase));
        }
    }
    TXmSample s = Sample(name, std::move(w), -3.0);
    s.LoopStart = 0;
    s.LoopLength = static_cast<uint32_t>(length);
    TuneSample(s, kRate, f0);
    return s;
}

TXmEnvelope Envelope(std::vector<std::pair<uint16_t, uint16_t>> points, int32_t sustain) {
    TXmEnvelope e;
    e.Points = std::move(points);
    e.Sustain = sustain;
    return e;
}
}  // namespace

TXmInstrument MakeKick() {
    return Drum("kick", Render(0.45, kDrumRate, [](double t) {
                    // Pitch falls from about 150 Hz to 48 Hz; the integral gives the phase.
                    const double phase = 48 * t + 100 * 0.035 * (1 - ExpDecay(t, 0.035));
                    const double click = ExpDecay(t, 0.002) * std::sin(2 * kPi * 1500 * t);
                    return static_cast<float>(
                        std::sin(2 * kPi * phase) * AttackDecay(t, 0.001, 0.16) + 0.3 * click);
                }));
}

TXmInstrument MakeSnare() {
    TNoise noise(101);
    TSvf filter;
    return Drum("snare", Render(0.3, kDrumRate, [&](double t) {
                    const double n = filter.Run(noise.Next(), 3500, 0.8, kDrumRate).Band;
                    const double tone =
                        std::sin(2 * kPi * 185 * t) + 0.5 * std::sin(2 * kPi * 330 * t);
                    return static_cast<float>(1.4 * n * AttackDecay(t, 0.001, 0.07) +
                                              0.6 * tone * ExpDecay(t, 0.035));
                }));
}

TXmInstrument MakeClap() {
    TNoise noise(111);
    TSvf filter;
    return Drum(
        "clap", Render(0.3, kDrumRate, [&](double t) {
            // Three quick bursts, then the room.
            double env = ExpDecay(t - 0.02, 0.08) * (t >= 0.02 ? 1 : 0);
            for (double start : {0.0, 0.008, 0.016})
                if (t >= start && t < start + 0.008) env = ExpDecay(t - start, 0.004);
            return static_cast<float>(filter.Run(noise.Next(), 1300, 1.2, kDrumRate).Band * env);
        }));
}

TXmInstrument MakeClosedHat() {
    TNoise noise(121);
    TSvf filter;
    return Drum("closed hat", Render(0.08, kDrumRate, [&](double t) {
                    return static_cast<float>(filter.Run(noise.Next(), 8000, 0.9, kDrumRate).High *
                                              AttackDecay(t, 0.0005, 0.018));
                }));
}

TXmInstrument MakeOpenHat() {
    TNoise noise(131);
    TSvf filter;
    return Drum("open hat", Render(0.4, kDrumRate, [&](double t) {
                    return static_cast<float>(filter.Run(noise.Next(), 7000, 0.8, kDrumRate).High *
                                              AttackDecay(t, 0.001, 0.12));
                }));
}

TXmInstrument MakeShaker() {
    TNoise noise(141);
    TSvf filter;
    return Drum(
        "shaker", Render(0.1, kDrumRate, [&](double t) {
            const double env = t < 0.02 ? t / 0.02 : ExpDecay(t - 0.02, 0.02);
            return static_cast<float>(filter.Run(noise.Next(), 6000, 1.5, kDrumRate).Band * env);
        }));
}

TXmInstrument MakeCrash() {
    TNoise noise(151);
    TSvf filter;
    return Drum("crash", Render(1.6, kDrumRate, [&](double t) {
                    return static_cast<float>(filter.Run(noise.Next(), 5000, 0.7, kDrumRate).High *
                                              AttackDecay(t, 0.002, 0.5));
                }));
}

TXmInstrument MakeElectricPiano() {
    // Two-operator FM: the modulator's depth dies away, leaving a round tone with a bell-like
    // start. Made at C4 and left to decay.
    constexpr double hz = 261.6255653;
    TWave w = Render(2.5, kRate, [](double t) {
        const double index = 1.6 * ExpDecay(t, 0.35) + 0.2;
        const double mod = std::sin(2 * kPi * hz * t);
        const double tone = std::sin(2 * kPi * hz * t + index * mod);
        const double tine = 0.15 * std::sin(2 * kPi * hz * 7 * t) * ExpDecay(t, 0.05);
        return static_cast<float>((tone + tine) * AttackDecay(t, 0.003, 1.1));
    });
    FadeEdges(w, kRate, 0.001, 0.05);
    TXmInstrument ins = Instrument("electric piano", Sample("epiano", std::move(w), -3.0));
    TuneSample(ins.Sample, kRate, hz);
    ins.VolumeEnvelope = Envelope({{0, 64}, {4, 64}, {12, 0}}, 1);
    ins.Fadeout = 0;
    return ins;
}

TXmInstrument MakeWarmPad() {
    // Three voices a cycle apart, harmonics falling steeply: a soft string-like pad.
    TXmInstrument ins = Instrument(
        "warm pad", LoopedTone(
                        "pad", 131, {-1, 0, 1},
                        [](int k) { return 1.0 / (k * std::sqrt(k)) * (k > 14 ? 0 : 1); }, 1.0));
    ins.VolumeEnvelope = Envelope({{0, 0}, {30, 60}, {60, 52}, {90, 0}}, 2);
    return ins;
}

TXmInstrument MakeSynthBass() {
    // A filtered saw: every harmonic, rolled off above the fifth.
    TXmInstrument ins = Instrument(
        "synth bass",
        LoopedTone(
            "bass", 33, {0}, [](int k) { return 1.0 / k * (k > 5 ? 5.0 / k : 1.0); }, 0.5));
    ins.VolumeEnvelope = Envelope({{0, 64}, {8, 40}, {30, 34}, {36, 0}}, 2);
    return ins;
}

TXmInstrument MakeRoundBass() {
    // Mostly fundamental with a little second and third harmonic: a soft, deep bass.
    TXmInstrument ins =
        Instrument("round bass", LoopedTone(
                                     "rbass", 33, {0},
                                     [](int k) {
                                         return k == 1 ? 1.0 : k == 2 ? 0.3 : k == 3 ? 0.12 : 0.0;
                                     },
                                     0.5));
    ins.VolumeEnvelope = Envelope({{0, 64}, {20, 48}, {40, 44}, {50, 0}}, 2);
    return ins;
}

TXmInstrument MakeSoftLead() {
    // Odd harmonics with a little of the even ones: a mellow, hollow lead with vibrato.
    TXmInstrument ins =
        Instrument("soft lead",
                   LoopedTone(
                       "lead", 131, {0},
                       [](int k) { return (k % 2 ? 1.0 / k : 0.25 / k) * (k > 9 ? 0 : 1); }, 0.5));
    ins.VolumeEnvelope = Envelope({{0, 0}, {3, 64}, {20, 50}, {28, 0}}, 2);
    ins.VibratoType = 0;
    ins.VibratoSweep = 40;
    ins.VibratoDepth = 3;
    ins.VibratoRate = 10;
    return ins;
}

TXmInstrument MakeSawLead() {
    // Two saws a cycle apart: bright and wide, for the race.
    TXmInstrument ins = Instrument(
        "saw lead", LoopedTone(
                        "saw", 262, {0, 1}, [](int k) { return 1.0 / k * (k > 12 ? 0 : 1); }, 1.0));
    ins.VolumeEnvelope = Envelope({{0, 0}, {2, 64}, {16, 46}, {22, 0}}, 2);
    ins.VibratoSweep = 30;
    ins.VibratoDepth = 3;
    ins.VibratoRate = 12;
    return ins;
}

TXmInstrument MakePluck() {
    // A plucked string: a burst of noise circulating in a damped delay line.
    constexpr int period = 84;  // samples, about C4 at 22,050 Hz
    TNoise noise(171);
    TOnePole soften;
    std::vector<float> line(period);
    // A softened burst: less hiss at the start, more body.
    for (float& x : line) x = soften.Low(noise.Next(), 2500, kRate);
    TWave w(static_cast<size_t>(kRate * 1.2));
    size_t at = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        const size_t next = (at + 1) % period;
        const float out = line[at];
        line[at] = 0.998f * 0.5f * (line[at] + line[next]);
        w[i] = out;
        at = next;
    }
    FadeEdges(w, kRate, 0.0005, 0.1);
    TXmInstrument ins = Instrument("pluck", Sample("pluck", std::move(w), -3.0));
    TuneSample(ins.Sample, kRate, kRate / (period + 0.5));
    ins.VolumeEnvelope = Envelope({{0, 64}, {6, 64}, {14, 0}}, 1);
    return ins;
}

TXmInstrument MakeBellLead() {
    // A soft bell: FM at a 3.5 ratio for a glassy ring that fades slowly.
    constexpr double hz = 261.6255653;
    TWave w = Render(2.0, kRate, [](double t) {
        const double index = 1.2 * ExpDecay(t, 0.4);
        const double tone = std::sin(2 * kPi * hz * t + index * std::sin(2 * kPi * 3.5 * hz * t));
        return static_cast<float>(tone * AttackDecay(t, 0.004, 0.7));
    });
    FadeEdges(w, kRate, 0.001, 0.05);
    TXmInstrument ins = Instrument("bell", Sample("bell", std::move(w), -3.0));
    TuneSample(ins.Sample, kRate, hz);
    ins.VolumeEnvelope = Envelope({{0, 64}, {4, 64}, {20, 0}}, 1);
    return ins;
}
