// TControls: the keyboard key and the controller button of each race action, as the player
// bound them. Bindings act where physical keys and buttons become the game's virtual keys, so
// the race, its key tables, replays and key logs only ever see the keys they always saw: a
// key bound to accelerate gives the Up key. Keys are SDL key codes and carry SDL's names
// ("Left Ctrl", "W"), buttons SDL's controller names ("a", "dpup"); the names are reached
// here so that the shell can read and write them without SDL.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/PadButton.h"

enum class TAction : uint8_t {
    Accelerate,
    Brake,
    Left,
    Right,
    Handbrake,
    Horn,
    Pause,
    QuitMenu,
    Count
};
inline constexpr size_t kActionCount = static_cast<size_t>(TAction::Count);

struct TControls {
    // One key and one button per action, never shared by two actions.
    std::array<int32_t, kActionCount> Keys{};
    std::array<TPadButton, kActionCount> Buttons{};

    int32_t Key(TAction a) const { return Keys[static_cast<size_t>(a)]; }
    TPadButton Button(TAction a) const { return Buttons[static_cast<size_t>(a)]; }
    bool operator==(const TControls&) const = default;
};

// Arrows, Space, H, P, Escape; A, B, D-pad left and right, X, Y, Start, Back.
TControls DefaultControls();
// The virtual key an action gives (Up, Down, Left, Right, Space, H, P, Escape).
int32_t ActionVirtualKey(TAction a);
// The action's name in the bindings file ("accelerate" ... "quit") and on screen.
const char* ActionName(TAction a);
const char* ActionTitle(TAction a);
// The action of a file name, or Count.
TAction ActionFromName(const std::string& name);

// Binds a key (or button) to an action; the action that had it takes the action's old one, so
// every action keeps one of its own.
void BindKey(TControls& c, TAction a, int32_t key);
void BindButton(TControls& c, TAction a, TPadButton button);
// Keys that cannot be bound: none, and the keys that act on every screen (F3, F11).
bool BindableKey(int32_t key);
bool BindableButton(TPadButton button);

// The second keys the race also takes for an action while the action keeps its default key
// and nothing else took them: Ctrl for the handbrake, keypad 8 for the horn, F1 for pause; on
// the pad, the D-pad's up and down for accelerate and brake.
std::vector<int32_t> ExtraKeys(const TControls& c, TAction a);
std::vector<TPadButton> ExtraButtons(const TControls& c, TAction a);

// What the race takes for an action, as the player reads it: the bound key's name and the
// second keys still in force ("Space / Left Ctrl / Right Ctrl"), the button's title likewise.
std::string KeysText(const TControls& c, TAction a);
std::string ButtonsText(const TControls& c, TAction a);

// The virtual key a keyboard key gives in the race: the bound action's, else the window
// system's own code; keys of the race's actions that nothing is bound to give none (0).
int32_t RaceKeyFromKeyboard(const TControls& c, int32_t sdlKey);
// The virtual key a controller button gives in the race, or 0.
int32_t RaceKeyFromButton(const TControls& c, TPadButton button);

// SDL's name of a key code ("" for none) and the key code of a name (0 for none; any case).
std::string KeyName(int32_t sdlKey);
int32_t KeyFromName(const std::string& name);
// SDL's name of a controller button ("a", "dpup") and back (false for none).
std::string ButtonName(TPadButton button);
bool ButtonFromName(const std::string& name, TPadButton& button);
// A button as the player reads it on screen ("A", "D-pad up", "LB").
std::string ButtonTitle(TPadButton button);

// The keyboard side of the window's input: SDL key codes to virtual keys, by the layout's
// rules (the bindings in the race, the window system's codes elsewhere). A key gives on its
// release the same virtual key it gave when pressed, so a key held across a change of layout
// or bindings is never left down.
class TKeyMapper {
public:
    void SetControls(const TControls& c) { Controls = c; }
    void SetLayout(TPadLayout layout) { Layout = layout; }
    // The virtual key of a key going down (a repeat gives the press's) or up; 0 for none.
    int32_t Down(int32_t sdlKey, bool repeat = false);
    int32_t Up(int32_t sdlKey);

private:
    int32_t Translate(int32_t sdlKey) const;

    TControls Controls = DefaultControls();
    TPadLayout Layout = TPadLayout::Menu;
    std::map<int32_t, int32_t> Held;
};
