// TFrameStats: what a run of the game costs as a player sees it, for --stats and the F3
// overlay. The main loop reports each frame-timer tick and each presented frame with the
// clock's time, and the phase (the game state) the frames belong to; the report gives, per
// phase, the ticks per second and the gap between presents (median, 99th percentile, maximum).
// Measuring only: nothing here feeds back into the game. Depends on nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TFrameStats {
public:
    // frequency: clock counts per second.
    explicit TFrameStats(int64_t frequency) : Frequency(frequency > 0 ? frequency : 1) {}

    // Frames from now on belong to phase (a new segment starts when it changes).
    void SetPhase(int32_t phase, int64_t now);
    void TickStarted(int64_t now);
    void Presented(int64_t now);

    // For the overlay: presents counted in the last whole second, and the time from the start
    // of the last tick to its present, in milliseconds.
    int32_t FramesPerSecond() const { return LastSecondFrames; }
    double FrameMilliseconds() const { return LastFrameMs; }
    int64_t Presents() const { return PresentCount; }

    struct TSegment {
        int32_t Phase = 0;
        int64_t Start = 0, End = 0;
        int64_t Ticks = 0;
        std::vector<float> GapsMs;
    };
    const std::vector<TSegment>& Segments() const { return Parts; }

    // The "stats ..." lines, one per phase segment and one for the whole run.
    std::string Report(int64_t now) const;

private:
    TSegment& Current(int64_t now);

    int64_t Frequency;
    std::vector<TSegment> Parts;
    int64_t LastPresent = -1, LastTick = -1;
    int64_t PresentCount = 0;
    int64_t SecondStart = -1;
    int32_t SecondFrames = 0, LastSecondFrames = 0;
    double LastFrameMs = 0;
};

// The value at fraction (0..1) of the sorted values (the nearest rank below), 0 when empty.
float Percentile(std::vector<float> values, double fraction);
