#include "platform/KeyCodes.h"

#include <SDL.h>

#include <array>
#include <utility>

namespace {
// Every key with a fixed code. Letters, digits, keypad digits and function keys are ranges
// and handled below the table.
constexpr std::array<std::pair<SDL_Keycode, int32_t>, 28> kKeyTable{{
    {SDLK_BACKSPACE, vk::Back},  {SDLK_TAB, vk::Tab},       {SDLK_RETURN, vk::Return},
    {SDLK_KP_ENTER, vk::Return}, {SDLK_LSHIFT, vk::Shift},  {SDLK_RSHIFT, vk::Shift},
    {SDLK_LCTRL, vk::Control},   {SDLK_RCTRL, vk::Control}, {SDLK_LALT, vk::Menu},
    {SDLK_RALT, vk::Menu},       {SDLK_PAUSE, vk::Pause},   {SDLK_ESCAPE, vk::Escape},
    {SDLK_SPACE, vk::Space},     {SDLK_PAGEUP, vk::Prior},  {SDLK_PAGEDOWN, vk::Next},
    {SDLK_END, vk::End},         {SDLK_HOME, vk::Home},     {SDLK_LEFT, vk::Left},
    {SDLK_UP, vk::Up},           {SDLK_RIGHT, vk::Right},   {SDLK_DOWN, vk::Down},
    {SDLK_INSERT, vk::Insert},   {SDLK_DELETE, vk::Delete}, {SDLK_KP_MULTIPLY, 106},
    {SDLK_KP_PLUS, 107},         {SDLK_KP_MINUS, 109},      {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},
}};

// SDL numbers the keypad digits 1..9 then 0.
int32_t KeypadDigit(SDL_Keycode key) {
    if (key == SDLK_KP_0) return vk::Numpad0;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return vk::Numpad0 + 1 + (key - SDLK_KP_1);
    return 0;
}
}  // namespace

int32_t VirtualKeyFromSdl(int32_t sdlKeycode) {
    const SDL_Keycode key = sdlKeycode;
    if (key >= SDLK_a && key <= SDLK_z) return vk::KeyA + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return vk::Key0 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return vk::F1 + (key - SDLK_F1);
    if (const int32_t digit = KeypadDigit(key)) return digit;
    for (const auto& [sdl, code] : kKeyTable)
        if (sdl == key) return code;
    return 0;
}
