#include "Effects.h"

#include <cmath>

namespace {
constexpr double R = kEffectRate;

double NoteHz(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// A struck bell: a few inharmonic partials, the higher ones dying faster.
TWave Bell(double hz, double seconds, double tau) {
    static constexpr double kRatios[] = {1.0, 2.0, 2.76, 4.07};
    static constexpr double kGains[] = {1.0, 0.45, 0.25, 0.12};
    return Render(seconds, R, [=](double t) {
        double s = 0;
        for (int k = 0; k < 4; ++k)
            s += kGains[k] * std::sin(2 * kPi * hz * kRatios[k] * t) * ExpDecay(t, tau / (1 + k));
        return static_cast<float>(s * AttackDecay(t, 0.002, 10.0));
    });
}

// A brass-like tone: a saw whose brightness opens with the attack, with a little vibrato.
TWave Brass(double hz, double seconds) {
    TPhase phase;
    TOnePole filter;
    return Render(seconds, R, [&, hz, seconds](double t) {
        const double vib = 1.0 + 0.004 * std::sin(2 * kPi * 5.5 * t) * std::min(1.0, t / 0.3);
        const double x = SawAt(phase.Step(hz * vib, R), 12);
        const double cutoff = 600 + 2600 * std::min(1.0, t / 0.06);
        return static_cast<float>(filter.Low(static_cast<float>(x), cutoff, R) *
                                  Gate(t, 0.02, 0.12, seconds));
    });
}

// A plain beep with soft edges: a sine with a touch of its third harmonic.
TWave Beep(double hz, double seconds) {
    return Render(seconds, R, [=](double t) {
        const double s = std::sin(2 * kPi * hz * t) + 0.18 * std::sin(2 * kPi * 3 * hz * t);
        return static_cast<float>(s * Gate(t, 0.004, 0.06, seconds));
    });
}

TWave Finish(TWave w, double peakDb) {
    FadeEdges(w, R);
    Normalize(w, peakDb);
    return w;
}
}  // namespace

TWave MakeClick() {
    return Finish(Render(0.07, R,
                         [](double t) {
                             const double hz = 1900 - 500 * std::min(1.0, t / 0.02);
                             const double s =
                                 std::sin(2 * kPi * hz * t) + 0.3 * std::sin(2 * kPi * 2 * hz * t);
                             return static_cast<float>(s * AttackDecay(t, 0.001, 0.012));
                         }),
                  -3.0);
}

TWave MakeBackClick() {
    return Finish(Render(0.1, R,
                         [](double t) {
                             const double hz = 760 - 180 * std::min(1.0, t / 0.04);
                             return static_cast<float>(std::sin(2 * kPi * hz * t) *
                                                       AttackDecay(t, 0.003, 0.02));
                         }),
                  -5.0);
}

TWave MakeStart() {
    // An engine revving up under a rising whoosh, landing on a low hit with a bright stab.
    TPhase engine;
    TOnePole engineFilter;
    TSvf whooshFilter;
    TNoise noise(11);
    TWave w = Render(1.5, R, [&](double t) {
        const double rise = std::min(1.0, t / 1.3);
        const double hz = 45 + 110 * rise * rise;
        const double saw = SawAt(engine.Step(hz, R), 20);
        const double body = engineFilter.Low(static_cast<float>(saw), 300 + 1500 * rise, R);
        const double air = whooshFilter.Run(noise.Next(), 300 + 3500 * rise * rise, 2.0, R).Band;
        return static_cast<float>((0.8 * body + 0.6 * air) * Gate(t, 0.25, 0.05, 1.5) * rise);
    });
    TNoise hitNoise(12);
    TOnePole hitFilter;
    TWave hit = Render(1.0, R, [&](double t) {
        const double thump = std::sin(2 * kPi * (55 * t + 40 * 0.03 * (1 - ExpDecay(t, 0.03))));
        const double crack = hitFilter.Low(hitNoise.Next(), 2500, R) * ExpDecay(t, 0.05);
        const double stab = (std::sin(2 * kPi * 523.25 * t) + std::sin(2 * kPi * 659.26 * t) +
                             std::sin(2 * kPi * 783.99 * t)) /
                            3;
        return static_cast<float>(thump * ExpDecay(t, 0.25) + 0.6 * crack +
                                  0.5 * stab * AttackDecay(t, 0.005, 0.3));
    });
    MixInto(w, hit, 1.45, R);
    return Finish(std::move(w), -1.0);
}

TWave MakeFinish() {
    // G4 C5 E5, then a held G5 over a C major chord.
    TWave w;
    const int steps[] = {-2, 3, 7};
    for (int i = 0; i < 3; ++i) MixInto(w, Brass(NoteHz(steps[i]), 0.22), 0.16 * i, R);
    for (int s : {3, 7, 10, 15}) MixInto(w, Brass(NoteHz(s), 1.9), 0.5, R, s == 15 ? 1.0f : 0.5f);
    return Finish(std::move(w), -1.0);
}

TWave MakeLight() {
    return Finish(Beep(600, 0.38), -7.0);
}

TWave MakeGo() {
    return Finish(Beep(1200, 0.75), -6.0);
}

TWave MakeTimesUp() {
    // Two buzzing tones a minor third apart, falling together.
    TPhase a, b;
    TOnePole filter;
    return Finish(Render(1.5, R,
                         [&](double t) {
                             const double fall = std::pow(0.5, t / 1.4);
                             const double s = SawAt(a.Step(440 * fall, R), 16) +
                                              SawAt(b.Step(523.25 * fall, R), 16);
                             return static_cast<float>(filter.Low(static_cast<float>(s), 2200, R) *
                                                       Gate(t, 0.01, 0.3, 1.5));
                         }),
                  -3.0);
}

TWave MakeSweep() {
    TNoise noise(21);
    TSvf hiss;
    TPhase tone;
    return Finish(Render(0.6, R,
                         [&](double t) {
                             const double h = hiss.Run(noise.Next(), 5000, 0.7, R).High;
                             const double hz = 900 * std::pow(150.0 / 900.0, t / 0.6);
                             const double s =
                                 0.7 * h * ExpDecay(t, 0.12) +
                                 0.6 * TriangleAt(tone.Step(hz, R)) * Gate(t, 0.02, 0.1, 0.6);
                             return static_cast<float>(s);
                         }),
                  -2.0);
}

TWave MakeTick() {
    TNoise noise(31);
    TSvf body;
    return Finish(
        Render(0.14, R,
               [&](double t) {
                   const double knock = body.Run(noise.Next(), 1800, 6.0, R).Band;
                   const double tone = std::sin(2 * kPi * 1050 * t);
                   return static_cast<float>((1.5 * knock + tone) * AttackDecay(t, 0.001, 0.025));
               }),
        -2.0);
}

TWave MakeExplosion() {
    TNoise noise(41);
    TOnePole rumble, crackle;
    return Finish(Render(1.2, R,
                         [&](double t) {
                             const double cutoff = 150 + 3000 * ExpDecay(t, 0.12);
                             const double n = noise.Next();
                             const double low = rumble.Low(static_cast<float>(n), cutoff, R);
                             const double bright = crackle.Low(static_cast<float>(n), 6000, R);
                             const double boom =
                                 std::sin(2 * kPi * (35 * t + 1.5 * (1 - ExpDecay(t, 0.05))));
                             return static_cast<float>((1.6 * low + 0.7 * boom) *
                                                           AttackDecay(t, 0.004, 0.35) +
                                                       0.25 * bright * ExpDecay(t, 0.04));
                         }),
                  -1.0);
}

TWave MakeCoin() {
    // B5 then E6.
    TWave w = Bell(NoteHz(14), 0.12, 0.08);
    FadeEdges(w, R, 0.001, 0.02);
    MixInto(w, Bell(NoteHz(19), 0.3, 0.12), 0.075, R);
    return Finish(std::move(w), -2.0);
}

TWave MakeNitro() {
    TNoise noise(51);
    TSvf air;
    TPhase tone;
    return Finish(Render(0.8, R,
                         [&](double t) {
                             const double rise = t / 0.8;
                             const double cutoff = 400 * std::pow(10.0, rise);
                             const double a = air.Run(noise.Next(), cutoff, 1.5, R).Band;
                             const double hz = 200 * std::pow(4.0, rise);
                             const double s = 1.2 * a + 0.35 * SawAt(tone.Step(hz, R), 8);
                             return static_cast<float>(s * Gate(t, 0.08, 0.2, 0.8));
                         }),
                  -2.0);
}

TWave MakeSkid() {
    // Replayed every frame while a car is in a puddle, so it is short, soft-edged and quiet.
    TNoise noise(61);
    TSvf squeal;
    TPhase tone;
    return Finish(Render(0.15, R,
                         [&](double t) {
                             const double wobble = 1.0 + 0.03 * std::sin(2 * kPi * 37 * t);
                             const double s = TriangleAt(tone.Step(880 * wobble, R)) +
                                              squeal.Run(noise.Next(), 1100, 4.0, R).Band;
                             return static_cast<float>(s * std::sin(kPi * t / 0.15));
                         }),
                  -14.0);
}

TWave MakeRepair() {
    // Six ratchet clicks, then a metallic clank.
    TWave w;
    TNoise noise(71);
    for (int i = 0; i < 6; ++i) {
        TSvf filter;
        MixInto(w,
                Render(0.03, R,
                       [&](double t) {
                           return static_cast<float>(filter.Run(noise.Next(), 3200, 3.0, R).Band *
                                                     ExpDecay(t, 0.006));
                       }),
                0.055 * i, R);
    }
    TWave clank = Render(0.4, R, [](double t) {
        static constexpr double kPartials[] = {523, 1187, 1873, 2741};
        double s = 0;
        for (int k = 0; k < 4; ++k) s += std::sin(2 * kPi * kPartials[k] * t) / (k + 1);
        return static_cast<float>(0.5 * s * AttackDecay(t, 0.001, 0.09));
    });
    MixInto(w, clank, 0.36, R);
    return Finish(std::move(w), -2.0);
}

TWave MakeHorn() {
    TPhase a, b;
    TOnePole filter;
    return Finish(Render(0.55, R,
                         [&](double t) {
                             const double s =
                                 SoftSquareAt(a.Step(392, R)) + SoftSquareAt(b.Step(494, R));
                             return static_cast<float>(filter.Low(static_cast<float>(s), 1800, R) *
                                                       Gate(t, 0.015, 0.06, 0.55));
                         }),
                  -5.0);
}

TWave MakeAddTime() {
    // C6 E6 G6 rising, each a bell.
    TWave w;
    const int steps[] = {15, 19, 22};
    for (int i = 0; i < 3; ++i) MixInto(w, Bell(NoteHz(steps[i]), 0.35, 0.1), 0.09 * i, R);
    return Finish(std::move(w), -2.0);
}

TWave MakeExtraLife() {
    // A quick rising run of soft square notes: D5 F#5 A5 D6 F#6 A6, the last one held.
    TWave w;
    const int steps[] = {5, 9, 12, 17, 21, 24};
    for (int i = 0; i < 6; ++i) {
        const double length = i == 5 ? 0.24 : 0.07;
        const double hz = NoteHz(steps[i]);
        TPhase phase;
        MixInto(w,
                Render(length, R,
                       [&](double t) {
                           return static_cast<float>(0.6 * SoftSquareAt(phase.Step(hz, R)) *
                                                     Gate(t, 0.003, 0.03, length));
                       }),
                0.065 * i, R);
    }
    return Finish(std::move(w), -6.0);
}

const std::vector<TEffectFile>& EffectFiles() {
    static const std::vector<TEffectFile> files = {
        {"check2.wav", &MakeClick},    {"check1.wav", &MakeBackClick}, {"start.wav", &MakeStart},
        {"finish.wav", &MakeFinish},   {"svet1.wav", &MakeLight},      {"svet2.wav", &MakeGo},
        {"timesup.wav", &MakeTimesUp}, {"sweep.wav", &MakeSweep},      {"time.wav", &MakeTick},
        {"exp.wav", &MakeExplosion},   {"coin.wav", &MakeCoin},        {"nitro.wav", &MakeNitro},
        {"skid.wav", &MakeSkid},       {"repair.wav", &MakeRepair},    {"horn.wav", &MakeHorn},
        {"addtime.wav", &MakeAddTime}, {"up.wav", &MakeExtraLife},
    };
    return files;
}
