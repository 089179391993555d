// Input as the game sees it: keys by the window system's virtual-key codes, mouse positions in
// the 800 x 600 client space, typed text, and the window's own notifications. The platform
// window turns SDL events into these; tests make them by hand.
#pragma once

#include <cstdint>
#include <string>

enum class TInputKind : uint8_t {
    KeyDown,
    KeyUp,
    MouseMove,
    MouseDown,
    MouseUp,
    MouseWheel,
    TextInput,
    Quit,         // the system close box
    RenderReset,  // the renderer lost its textures or its device
    FocusLost,
    FocusGained,
    Resized,    // the window's client area changed size (X, Y: the new size in pixels)
    Minimized,  // the window went to the task bar
    Restored,   // it came back (restored or maximised)
    PadButton,  // a controller button pressed while the controls page waits for one (Key: it)
};

enum class TMouseButton : uint8_t { None, Left, Right, Middle };

struct TInputEvent {
    TInputKind Kind = TInputKind::KeyDown;
    int32_t Key = 0;       // virtual-key code for KeyDown/KeyUp
    int32_t Physical = 0;  // the keyboard's own (SDL) key code; 0 for keys a controller gave
    bool Repeat = false;   // a KeyDown the keyboard's auto-repeat made
    int32_t X = 0, Y = 0;  // mouse position (MouseMove/Down/Up) or wheel steps (MouseWheel)
    TMouseButton Button = TMouseButton::None;
    std::string Text;  // UTF-8 text for TextInput
};
