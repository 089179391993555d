// The one mapping from SDL key codes to the virtual-key codes the key tables use.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/KeyCodes.h"

TEST(KeyCodes, MapsEveryKeyTheGameReads) {
    struct Case {
        SDL_Keycode Sdl;
        int32_t Vk;
    };
    const Case cases[] = {
        {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},       {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 13},
        {SDLK_LSHIFT, 16},   {SDLK_RSHIFT, 16},   {SDLK_LCTRL, 17},  {SDLK_RCTRL, 17},
        {SDLK_LALT, 18},     {SDLK_PAUSE, 19},    {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},
        {SDLK_PAGEUP, 33},   {SDLK_PAGEDOWN, 34}, {SDLK_END, 35},    {SDLK_HOME, 36},
        {SDLK_LEFT, 37},     {SDLK_UP, 38},       {SDLK_RIGHT, 39},  {SDLK_DOWN, 40},
        {SDLK_INSERT, 45},   {SDLK_DELETE, 46},   {SDLK_a, 65},      {SDLK_h, 72},
        {SDLK_p, 80},        {SDLK_z, 90},        {SDLK_0, 48},      {SDLK_9, 57},
        {SDLK_KP_0, 96},     {SDLK_KP_1, 97},     {SDLK_KP_8, 104},  {SDLK_KP_9, 105},
        {SDLK_F1, 112},      {SDLK_F12, 123},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromSdl(c.Sdl), c.Vk) << SDL_GetKeyName(c.Sdl);
}

TEST(KeyCodes, UnknownKeysGiveZero) {
    for (SDL_Keycode k : {SDLK_CAPSLOCK, SDLK_F13, SDLK_MENU, SDLK_AUDIOPLAY, SDLK_UNKNOWN})
        EXPECT_EQ(VirtualKeyFromSdl(k), 0) << k;
}
