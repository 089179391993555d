#include "harness/Autopilot.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/KeyCodes.h"
#include "world/Globals.h"
#include "world/Player.h"
#include "world/Geometry.h"
#include "world/RaceRecord.h"

namespace {
void Hold(int32_t key, bool down) {
    if (KeyTables.Held[key] != 0 && !down) KeyTables.Released[key] = 1;
    KeyTables.Held[key] = down ? 1 : 0;
}

double Wrap(double degrees) {
    while (degrees > 180) degrees -= 360;
    while (degrees < -180) degrees += 360;
    return degrees;
}

TVec2 Checkpoint(int32_t k) {
    const TCheckpoint& c =
        Race.Checkpoints[static_cast<size_t>(std::clamp(k, 1, Race.CheckpointCount))];
    return {c.X, c.Y};
}

// The point `ahead` pixels further along the checkpoint chain from checkpoint k - 1's
// position nearest the car: pure pursuit along the road's centre line.
TVec2 PointAlongRoad(int32_t k, double cx, double cy, double ahead) {
    TVec2 from = Checkpoint(k - 1);
    // Start from the car's projection on the stretch k-1 -> k.
    const TVec2 to = Checkpoint(k);
    const double sx = to.X - from.X, sy = to.Y - from.Y;
    const double len2 = sx * sx + sy * sy;
    if (len2 > 0) {
        const double t = std::clamp(((cx - from.X) * sx + (cy - from.Y) * sy) / len2, 0.0, 1.0);
        from = {from.X + t * sx, from.Y + t * sy};
    }
    for (int32_t i = k; i <= Race.CheckpointCount; ++i) {
        const TVec2 next = Checkpoint(i);
        const double d = std::hypot(next.X - from.X, next.Y - from.Y);
        if (d >= ahead) {
            const double f = ahead / d;
            return {from.X + f * (next.X - from.X), from.Y + f * (next.Y - from.Y)};
        }
        ahead -= d;
        from = next;
    }
    return from;
}
}  // namespace

void TAutopilot::Drive() {
    const TPlayer* p = Race.PlayerCar;
    if (p == nullptr || Race.CheckpointCount < 2) return;
    const double cx = p->CentreX(), cy = p->CentreY();
    const int32_t k = std::clamp(p->NextCheckpoint, 2, Race.CheckpointCount);
    const double lookahead = 120 + 25 * std::max(p->Speed, 0.0);
    const TVec2 target = PointAlongRoad(k, cx, cy, lookahead);
    const double bearing = std::atan2(target.Y - cy, target.X - cx) * 180 / std::numbers::pi;
    const double off = Wrap(bearing - p->Heading);
    Hold(vk::Left, off < -1.5);
    Hold(vk::Right, off > 1.5);
    // The car turns at a fixed rate whatever its speed, so the further it has to turn, the
    // slower it must go: pointing far off the road it slows to a crawl, and comes round
    // within the road's width instead of sliding into the wall across it, as a player would.
    // It lifts off a little over the limit and brakes only well over it.
    double limit = 100;
    if (std::fabs(off) > 60) {
        limit = 1.0;
    } else if (std::fabs(off) > 35) {
        limit = 2.5;
    }
    const double over = p->Speed - limit;
    Hold(vk::Up, over < -0.2);
    Hold(vk::Down, over > 0.8);
}

void TAutopilot::Release() {
    for (int32_t key : {vk::Left, vk::Right, vk::Up, vk::Down}) Hold(key, false);
}
