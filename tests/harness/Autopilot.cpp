#include "harness/Autopilot.h"

#include <algorithm>
#include <cmath>

#include "platform/KeyCodes.h"
#include "world/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
void Hold(int32_t key, bool down) {
    if (KeyHeld[key] != 0 && !down) KeyReleased[key] = 1;
    KeyHeld[key] = down ? 1 : 0;
}

double Wrap(double degrees) {
    while (degrees > 180) degrees -= 360;
    while (degrees < -180) degrees += 360;
    return degrees;
}
}  // namespace

void TAutopilot::Drive() {
    const TPlayer* p = Race.PlayerCar;
    if (p == nullptr || Race.CheckpointCount < 2) return;
    // Aim at the checkpoint after the next one, so the car cuts corners smoothly.
    const int32_t k = std::clamp(p->NextCheckpoint + 1, 1, Race.CheckpointCount);
    const TCheckpoint& target = Race.Checkpoints[static_cast<size_t>(k)];
    const double bearing =
        std::atan2(target.Y - p->CentreY(), target.X - p->CentreX()) * 180 / M_PI;
    const double off = Wrap(bearing - p->Heading);
    Hold(vk::Left, off < -2);
    Hold(vk::Right, off > 2);
    const bool sharp = std::fabs(off) > 30 && p->Speed > 4;
    Hold(vk::Up, !sharp);
    Hold(vk::Down, sharp);
}

void TAutopilot::Release() {
    for (int32_t key : {vk::Left, vk::Right, vk::Up, vk::Down}) Hold(key, false);
}
