// A game controller's buttons and axes, in SDL's game-controller order, for code that must
// not see SDL.
#pragma once

#include <cstdint>

// The controller's buttons and axes, in SDL's game-controller order.
enum class TPadButton : uint8_t {
    A,
    B,
    X,
    Y,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    Count
};
enum class TPadAxis : uint8_t { LeftX, LeftY, RightX, RightY, TriggerLeft, TriggerRight, Count };

// Which keys controller input gives: the menus', the race's (by the bindings), or none at all
// while the controls page waits for a button to bind (the buttons then come as they are).
enum class TPadLayout : uint8_t { Menu, Race, Capture };
