// An autopilot that drives the player's car along the checkpoints through the key tables,
// the way a player would: accelerate, steer toward a point on the road ahead, slow down to
// turn when pointing far off the road. Used by race tests, the race benchmarks and velkaro-sim.
#pragma once

class TAutopilot {
public:
    // Sets the held keys for the coming frame.
    void Drive();
    // Lifts every key it holds.
    void Release();
};
