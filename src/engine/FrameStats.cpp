#include "engine/FrameStats.h"

#include <algorithm>
#include <cstdio>

float Percentile(std::vector<float> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::clamp(fraction, 0.0, 1.0) * static_cast<double>(values.size() - 1);
    return values[static_cast<size_t>(rank)];
}

TFrameStats::TSegment& TFrameStats::Current(int64_t now) {
    if (Parts.empty()) Parts.push_back({0, now, now, 0, {}});
    return Parts.back();
}

void TFrameStats::SetPhase(int32_t phase, int64_t now) {
    if (!Parts.empty() && Parts.back().Phase == phase) return;
    if (!Parts.empty()) Parts.back().End = now;
    Parts.push_back({phase, now, now, 0, {}});
}

void TFrameStats::TickStarted(int64_t now) {
    TSegment& s = Current(now);
    ++s.Ticks;
    s.End = now;
    LastTick = now;
}

void TFrameStats::Presented(int64_t now) {
    TSegment& s = Current(now);
    const double msPerCount = 1000.0 / static_cast<double>(Frequency);
    if (LastPresent >= 0) s.GapsMs.push_back(static_cast<float>((now - LastPresent) * msPerCount));
    if (LastTick >= 0) LastFrameMs = static_cast<double>(now - LastTick) * msPerCount;
    s.End = now;
    LastPresent = now;
    ++PresentCount;
    if (SecondStart < 0) SecondStart = now;
    ++SecondFrames;
    if (now - SecondStart >= Frequency) {
        LastSecondFrames = SecondFrames;
        SecondFrames = 0;
        SecondStart = now;
    }
}

namespace {
std::string Line(const char* label, const TFrameStats::TSegment& s, int64_t frequency) {
    const double seconds = static_cast<double>(s.End - s.Start) / static_cast<double>(frequency);
    const double tps = seconds > 0 ? static_cast<double>(s.Ticks) / seconds : 0;
    const float max = s.GapsMs.empty() ? 0 : *std::max_element(s.GapsMs.begin(), s.GapsMs.end());
    char text[256];
    std::snprintf(text, sizeof text,
                  "stats %s seconds %.2f ticks %lld ticks_per_second %.2f present_gap_ms median "
                  "%.2f p99 %.2f max %.2f\n",
                  label, seconds, static_cast<long long>(s.Ticks), tps,
                  static_cast<double>(Percentile(s.GapsMs, 0.5)),
                  static_cast<double>(Percentile(s.GapsMs, 0.99)), static_cast<double>(max));
    return text;
}
}  // namespace

std::string TFrameStats::Report(int64_t now) const {
    std::string out;
    TSegment all;
    for (size_t i = 0; i < Parts.size(); ++i) {
        TSegment s = Parts[i];
        // The last segment runs to now; the ones before end where the next began.
        s.End = i + 1 < Parts.size() ? Parts[i + 1].Start : std::max(s.End, now);
        out += Line(("state " + std::to_string(s.Phase)).c_str(), s, Frequency);
        if (i == 0) all.Start = s.Start;
        all.End = s.End;
        all.Ticks += s.Ticks;
        all.GapsMs.insert(all.GapsMs.end(), s.GapsMs.begin(), s.GapsMs.end());
    }
    out += Line("all", all, Frequency);
    return out;
}
