#include "engine/StatsOverlay.h"

#include <algorithm>
#include <cstdio>

#include "engine/KerbFont.h"
#include "engine/KerbScreen.h"
#include "platform/Clock.h"
#include "platform/ProcessStats.h"

TStatsOverlay::TStatsOverlay(TKerbScreen& screen, const TClock& clock,
                             std::function<int32_t()> spriteCount, std::function<int32_t()> phase)
    : Screen(screen),
      Clock(clock),
      SpriteCount(std::move(spriteCount)),
      Phase(std::move(phase)),
      Frames(clock.Frequency()) {
    Screen.OnPresent = [this] {
        if (FirstPresentMs < 0) FirstPresentMs = MillisecondsSinceExec();
        Frames.Presented(Clock.Now());
    };
    Screen.BeforePresent = [this] {
        if (Visible) Draw();
    };
}

TStatsOverlay::~TStatsOverlay() {
    Screen.OnPresent = nullptr;
    Screen.BeforePresent = nullptr;
}

void TStatsOverlay::TickStarted() {
    const int64_t now = Clock.Now();
    if (Phase) Frames.SetPhase(Phase(), now);
    Frames.TickStarted(now);
}

std::string TStatsOverlay::Text() const {
    char text[96];
    std::snprintf(text, sizeof text, "%d fps  %.1f ms  %d sprites", Frames.FramesPerSecond(),
                  Frames.FrameMilliseconds(), SpriteCount ? SpriteCount() : 0);
    return text;
}

void TStatsOverlay::Draw() {
    if (!Font) {
        Font = std::make_unique<TKerbFont>(&Screen);
        Font->SetFont("Arial", 10, fsBold);
    }
    const std::string text = Text();
    // Dark under light, readable over any picture.
    Font->TextOutColor(5, 5, 255, 0, 0, 0, text);
    Font->TextOutColor(4, 4, 255, 0, 255, 255, text);
}

std::string TStatsOverlay::Report(const std::string& renderer) const {
    std::string out = Frames.Report(Clock.Now());
    char text[256];
    std::snprintf(text, sizeof text, "stats renderer %s\nstats first_present_ms %lld\n",
                  renderer.c_str(), static_cast<long long>(FirstPresentMs));
    out += text;
    // What the frames were made of: how the quads reached SDL, per presented frame.
    const TDrawStats& d = Screen.Stats();
    const double frames = static_cast<double>(std::max<int64_t>(Frames.Presents(), 1));
    std::snprintf(
        text, sizeof text,
        "stats quads_per_frame copies %.1f turned %.1f triangles %.1f own_blends %.1f "
        "own_turned %.1f own_stretched %.1f culled %.1f\n",
        static_cast<double>(d.Copies) / frames, static_cast<double>(d.RotatedCopies) / frames,
        static_cast<double>(d.Geometry) / frames, static_cast<double>(d.OwnBlends) / frames,
        static_cast<double>(d.OwnTurnedBlends) / frames,
        static_cast<double>(d.OwnStretchedBlends) / frames, static_cast<double>(d.Culled) / frames);
    out += text;
    const TPictureMemory memory = Screen.PictureMemory();
    const auto mb = [](size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); };
    std::snprintf(text, sizeof text,
                  "stats picture_mb texels %.1f prepared %.1f kept %.1f texts %.1f stored %.1f\n",
                  mb(memory.Texels), mb(memory.Prepared), mb(memory.Kept), mb(memory.Texts),
                  mb(memory.Stored));
    out += text;
    const int64_t peak = PeakResidentBytes();
    std::snprintf(text, sizeof text, "stats peak_rss_mb %.1f\n",
                  peak >= 0 ? static_cast<double>(peak) / (1024.0 * 1024.0) : -1.0);
    out += text;
    return out;
}
