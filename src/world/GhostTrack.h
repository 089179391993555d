// The ghost of a daily race: where a recorded race's car was at every race step, worked out
// before the race by replaying its key log headless (DailyReplay.h), so that the race itself
// only draws from it and never runs a second world.
//
// Positions are kept relative to the race's first checkpoint. Every scroll of the world
// (the player's car following, a wall's push, a recovery) moves the checkpoints with the
// road, so checkpoint 1 is a fixed point of the road in both races: the ghost's position plus
// where checkpoint 1 is now in the player's race is where the ghost sits on the road there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/DailyChallenge.h"
#include "world/KeyLog.h"

// One race step of the ghost car: 20 bytes.
struct TGhostFrame {
    float X = 0, Y = 0;  // the car sprite's top left, relative to checkpoint 1
    float Angle = 0;     // the sprite's drawing angle
    // The furthest race distance (TPlayer::RaceDistance) reached up to this step.
    float Progress = 0;
    int16_t Pattern = 0;  // the sprite's picture in the car's image
    uint8_t Visible = 0;  // the sprite was drawn at this step (not burnt out, not blinking off)
    uint8_t Spare = 0;
};
static_assert(sizeof(TGhostFrame) == 20);

// The longest ghost kept: three minutes of steps at 90 a second, 320 KiB at most. A longer
// race keeps its first kMaxGhostFrames steps, and its ghost stops there.
inline constexpr int32_t kMaxGhostFrames = 16384;

struct TGhostTrack {
    std::vector<TGhostFrame> Frames;  // one per race step, from the first
    bool Finished = false;            // the replay crossed the finish line
    int32_t Hundredths = 0;           // its finish time, when Finished
    std::string Reason;               // why the replay did not finish

    bool Empty() const { return Frames.empty(); }
    // The ghost at race step `frame`; the last one kept after the end (it waits at the
    // finish), nothing before the first or when there is no track.
    const TGhostFrame* At(int32_t frame) const;
    // Race steps between the ghost's reaching `distance` and step `frame` (positive: the
    // ghost got there that many steps earlier and is ahead; negative: it gets there later
    // and is behind). Measured against the ghost's furthest progress, so a ghost that never
    // gets there counts as behind by the steps left in its track.
    int32_t StepsAhead(int32_t frame, double distance) const;
};

// Replays the log on the day's race built from dataDir into a track. Runs the world on the
// calling thread's own globals (the race world is per thread), so it may run on a worker
// while the game's thread draws the menus.
TGhostTrack BuildGhostTrack(const TDailyPlan& plan, const TKeyLog& log, const std::string& dataDir,
                            int32_t maxFrames = kMaxGhostFrames);
