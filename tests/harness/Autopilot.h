// An autopilot that drives the player's car along the checkpoints through the key tables,
// the way a player would: accelerate, steer toward a point on the road ahead, brake into
// sharp turns. Used by race tests, the race benchmarks and velkaro-sim.
#pragma once

class TAutopilot {
public:
    // Sets the held keys for the coming frame.
    void Drive();
    // Lifts every key it holds.
    void Release();
};
