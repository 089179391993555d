#include "world/GhostTrack.h"

#include <algorithm>

#include "world/DailyReplay.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

const TGhostFrame* TGhostTrack::At(int32_t frame) const {
    if (Frames.empty() || frame < 0) return nullptr;
    const size_t i = std::min(static_cast<size_t>(frame), Frames.size() - 1);
    return &Frames[i];
}

int32_t TGhostTrack::StepsAhead(int32_t frame, double distance) const {
    if (Frames.empty()) return 0;
    // Progress never falls, so the first step that reached the distance is a binary search.
    const auto reached =
        std::lower_bound(Frames.begin(), Frames.end(), distance,
                         [](const TGhostFrame& f, double d) { return f.Progress < d; });
    const int32_t step = static_cast<int32_t>(reached - Frames.begin());
    return frame - step;
}

TGhostTrack BuildGhostTrack(const TDailyPlan& plan, const TKeyLog& log, const std::string& dataDir,
                            int32_t maxFrames) {
    TGhostTrack track;
    const int32_t frames = std::clamp(std::min(log.Frames(), maxFrames), 0, kMaxGhostFrames);
    track.Frames.reserve(static_cast<size_t>(frames));
    float progress = 0;
    const auto watch = [&](int32_t) {
        const TPlayer* car = Race.PlayerCar;
        if (car == nullptr || Race.CheckpointCount < 1) return;
        const TCheckpoint& anchor = Race.Checkpoints[1];
        TGhostFrame f;
        f.X = static_cast<float>(car->X - anchor.X);
        f.Y = static_cast<float>(car->Y - anchor.Y);
        f.Angle = car->Angle;
        progress = std::max(progress, static_cast<float>(car->RaceDistance));
        f.Progress = progress;
        f.Pattern = static_cast<int16_t>(std::clamp(car->PatternIndex, 0, 0x7FFF));
        f.Visible = car->Visible ? 1 : 0;
        track.Frames.push_back(f);
    };
    const TReplayResult result = ReplayDailyRace(plan, log, dataDir, frames, watch);
    track.Finished = result.Finished;
    track.Hundredths = result.Finished ? result.RaceHundredths : 0;
    track.Reason = result.Reason;
    return track;
}
