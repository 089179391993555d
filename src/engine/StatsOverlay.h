// TStatsOverlay: the measuring a player can ask for. It hooks the screen's presents and the
// frame timer's ticks into a TFrameStats, prints the --stats report at exit, and, toggled by
// F3, draws a small overlay (frames per second, frame time, sprite count) in the screen's
// system font over each frame. Depends on TKerbScreen, TKerbFont and the platform clock;
// nothing of the game reads what it measures.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/FrameStats.h"

class TClock;
class TKerbScreen;
class TKerbFont;

class TStatsOverlay {
public:
    // spriteCount and phase are asked for when drawing the overlay and at each tick.
    TStatsOverlay(TKerbScreen& screen, const TClock& clock, std::function<int32_t()> spriteCount,
                  std::function<int32_t()> phase);
    ~TStatsOverlay();
    TStatsOverlay(const TStatsOverlay&) = delete;
    TStatsOverlay& operator=(const TStatsOverlay&) = delete;

    // Called as each frame-timer tick begins.
    void TickStarted();
    void Toggle() { Visible = !Visible; }
    bool Shown() const { return Visible; }
    // The overlay's one line of text.
    std::string Text() const;
    // The --stats report: per-phase lines, then the renderer, the first present (ms after
    // exec) and the peak resident memory.
    std::string Report(const std::string& renderer) const;
    const TFrameStats& Stats() const { return Frames; }

private:
    void Draw();

    TKerbScreen& Screen;
    const TClock& Clock;
    std::function<int32_t()> SpriteCount, Phase;
    TFrameStats Frames;
    std::unique_ptr<TKerbFont> Font;
    bool Visible = false;
    int64_t FirstPresentMs = -1;
};
