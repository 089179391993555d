// Virtual-key codes of the window system the game was written for. The key tables of the
// shell are indexed by these; the platform maps SDL's key codes onto them in one table.
#pragma once

#include <cstdint>

namespace vk {
constexpr int32_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Pause = 19,
                  Escape = 27, Space = 32, Prior = 33, Next = 34, End = 35, Home = 36, Left = 37,
                  Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46, Numpad0 = 96,
                  Numpad8 = 104, F1 = 112, F11 = 122, F12 = 123;
constexpr int32_t Key0 = 48, KeyA = 65, KeyH = 72, KeyP = 80, KeyZ = 90;
}  // namespace vk

// The virtual-key code of an SDL key code (SDL_Keycode), or 0 for a key the game does not know.
int32_t VirtualKeyFromSdl(int32_t sdlKeycode);
