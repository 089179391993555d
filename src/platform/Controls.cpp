#include "platform/Controls.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>

#include "platform/KeyCodes.h"

namespace {
size_t Index(TAction a) {
    return static_cast<size_t>(a);
}

struct TActionInfo {
    const char* Name;
    const char* Title;
    int32_t VirtualKey;
    SDL_Keycode Key;
    TPadButton Button;
};

constexpr std::array<TActionInfo, kActionCount> kActions{{
    {"accelerate", "Accelerate", vk::Up, SDLK_UP, TPadButton::A},
    {"brake", "Brake / reverse", vk::Down, SDLK_DOWN, TPadButton::B},
    {"left", "Steer left", vk::Left, SDLK_LEFT, TPadButton::DpadLeft},
    {"right", "Steer right", vk::Right, SDLK_RIGHT, TPadButton::DpadRight},
    {"handbrake", "Handbrake", vk::Space, SDLK_SPACE, TPadButton::X},
    {"horn", "Horn", vk::KeyH, SDLK_h, TPadButton::Y},
    {"pause", "Pause", vk::KeyP, SDLK_p, TPadButton::Start},
    {"quit", "Quit menu", vk::Escape, SDLK_ESCAPE, TPadButton::Back},
}};

// The second keys and buttons, each with the action it belongs to. A second key gives its
// own virtual key, as it always did (the race reads Ctrl beside Space), so a race driven with
// the default keys fills the key tables exactly as before bindings existed.
struct TExtraKey {
    TAction Action;
    SDL_Keycode Key;
    int32_t VirtualKey;
};
constexpr std::array<TExtraKey, 4> kExtraKeys{{
    {TAction::Handbrake, SDLK_LCTRL, vk::Control},
    {TAction::Handbrake, SDLK_RCTRL, vk::Control},
    {TAction::Horn, SDLK_KP_8, vk::Numpad8},
    {TAction::Pause, SDLK_F1, vk::F1},
}};
struct TExtraButton {
    TAction Action;
    TPadButton Button;
};
constexpr std::array<TExtraButton, 2> kExtraButtons{{
    {TAction::Accelerate, TPadButton::DpadUp},
    {TAction::Brake, TPadButton::DpadDown},
}};

constexpr std::array<const char*, static_cast<size_t>(TPadButton::Count)> kButtonTitles{
    "A",  "B",  "X",  "Y",        "Back",       "Guide",      "Start",      "L3",
    "R3", "LB", "RB", "D-pad up", "D-pad down", "D-pad left", "D-pad right"};

bool KeyBound(const TControls& c, int32_t key) {
    return std::find(c.Keys.begin(), c.Keys.end(), key) != c.Keys.end();
}

bool ButtonBound(const TControls& c, TPadButton b) {
    return std::find(c.Buttons.begin(), c.Buttons.end(), b) != c.Buttons.end();
}

// Every virtual key some action gives, the default second keys among them: in the race
// they come only from the bindings.
bool ActionVirtualKeyUsed(int32_t key) {
    if (key == vk::Control || key == vk::Numpad8 || key == vk::F1) return true;
    return std::any_of(kActions.begin(), kActions.end(),
                       [key](const TActionInfo& a) { return a.VirtualKey == key; });
}

// SDL names the keys without a character by their scan code; with no video subsystem its
// name lookup cannot turn such a scan code back into a key, so that step is done here.
SDL_Keycode KeyOfScancodeName(const std::string& name) {
    const SDL_Scancode sc = SDL_GetScancodeFromName(name.c_str());
    switch (sc) {
        case SDL_SCANCODE_UNKNOWN:
            return SDLK_UNKNOWN;
        case SDL_SCANCODE_RETURN:
            return SDLK_RETURN;
        case SDL_SCANCODE_ESCAPE:
            return SDLK_ESCAPE;
        case SDL_SCANCODE_BACKSPACE:
            return SDLK_BACKSPACE;
        case SDL_SCANCODE_TAB:
            return SDLK_TAB;
        case SDL_SCANCODE_SPACE:
            return SDLK_SPACE;
        case SDL_SCANCODE_DELETE:
            return SDLK_DELETE;
        default:
            return sc >= SDL_SCANCODE_CAPSLOCK ? SDL_SCANCODE_TO_KEYCODE(sc) : SDLK_UNKNOWN;
    }
}
}  // namespace

TControls DefaultControls() {
    TControls c;
    for (size_t i = 0; i < kActionCount; ++i) {
        c.Keys[i] = kActions[i].Key;
        c.Buttons[i] = kActions[i].Button;
    }
    return c;
}

int32_t ActionVirtualKey(TAction a) {
    return a < TAction::Count ? kActions[Index(a)].VirtualKey : 0;
}

const char* ActionName(TAction a) {
    return a < TAction::Count ? kActions[Index(a)].Name : "";
}

const char* ActionTitle(TAction a) {
    return a < TAction::Count ? kActions[Index(a)].Title : "";
}

TAction ActionFromName(const std::string& name) {
    for (size_t i = 0; i < kActionCount; ++i)
        if (name == kActions[i].Name) return static_cast<TAction>(i);
    return TAction::Count;
}

namespace {
// Gives action a the value; an action that had it takes a's old one in exchange.
template <typename T>
void Exchange(std::array<T, kActionCount>& bound, TAction a, T value) {
    if (a >= TAction::Count) return;
    T& mine = bound[Index(a)];
    for (T& other : bound)
        if (other == value) other = mine;
    mine = value;
}
}  // namespace

void BindKey(TControls& c, TAction a, int32_t key) {
    Exchange(c.Keys, a, key);
}

void BindButton(TControls& c, TAction a, TPadButton button) {
    Exchange(c.Buttons, a, button);
}

bool BindableKey(int32_t key) {
    if (key == SDLK_UNKNOWN || key == SDLK_F3 || key == SDLK_F11) return false;
    // The key must come back from its own name: SDL reads some malformed names ("\xC1H") as
    // codes no key sends, whose name is another key's ("H"), and such a binding would turn
    // into that other key at the next start.
    // Nor may the name hold a control character: SDL reads "\xC0L" as the form feed's code,
    // named by the form feed itself, which the bindings file's line cannot keep.
    const std::string name = KeyName(key);
    const bool printable = std::none_of(name.begin(), name.end(), [](char ch) {
        const auto byte = static_cast<unsigned char>(ch);
        return byte < 0x20 || byte == 0x7F;
    });
    return !name.empty() && printable && KeyFromName(name) == key;
}

bool BindableButton(TPadButton button) {
    return button < TPadButton::Count;
}

std::vector<int32_t> ExtraKeys(const TControls& c, TAction a) {
    std::vector<int32_t> keys;
    if (a >= TAction::Count || c.Key(a) != kActions[Index(a)].Key) return keys;
    for (const TExtraKey& e : kExtraKeys)
        if (e.Action == a && !KeyBound(c, e.Key)) keys.push_back(e.Key);
    return keys;
}

std::vector<TPadButton> ExtraButtons(const TControls& c, TAction a) {
    std::vector<TPadButton> buttons;
    if (a >= TAction::Count || c.Button(a) != kActions[Index(a)].Button) return buttons;
    for (const TExtraButton& e : kExtraButtons)
        if (e.Action == a && !ButtonBound(c, e.Button)) buttons.push_back(e.Button);
    return buttons;
}

std::string KeysText(const TControls& c, TAction a) {
    if (a >= TAction::Count) return {};
    std::string text = KeyName(c.Key(a));
    const std::vector<int32_t> extra = ExtraKeys(c, a);
    for (size_t i = 0; i < extra.size(); ++i) {
        // Both Ctrl keys read as one.
        const bool bothCtrl =
            extra[i] == SDLK_LCTRL && i + 1 < extra.size() && extra[i + 1] == SDLK_RCTRL;
        text += " / " + (bothCtrl ? std::string("Ctrl") : KeyName(extra[i]));
        if (bothCtrl) ++i;
    }
    return text;
}

std::string ButtonsText(const TControls& c, TAction a) {
    if (a >= TAction::Count) return {};
    std::string text = ButtonTitle(c.Button(a));
    for (TPadButton b : ExtraButtons(c, a)) text += " / " + ButtonTitle(b);
    return text;
}

int32_t RaceKeyFromKeyboard(const TControls& c, int32_t sdlKey) {
    for (size_t i = 0; i < kActionCount; ++i)
        if (c.Keys[i] == sdlKey) return kActions[i].VirtualKey;
    for (const TExtraKey& e : kExtraKeys) {
        if (e.Key != sdlKey) continue;
        const std::vector<int32_t> active = ExtraKeys(c, e.Action);
        if (std::find(active.begin(), active.end(), sdlKey) != active.end()) return e.VirtualKey;
    }
    const int32_t key = VirtualKeyFromSdl(sdlKey);
    return ActionVirtualKeyUsed(key) ? 0 : key;
}

int32_t RaceKeyFromButton(const TControls& c, TPadButton button) {
    for (size_t i = 0; i < kActionCount; ++i)
        if (c.Buttons[i] == button) return kActions[i].VirtualKey;
    for (const TExtraButton& e : kExtraButtons) {
        if (e.Button != button) continue;
        const std::vector<TPadButton> active = ExtraButtons(c, e.Action);
        if (std::find(active.begin(), active.end(), button) != active.end())
            return ActionVirtualKey(e.Action);
    }
    return 0;
}

std::string KeyName(int32_t sdlKey) {
    if (sdlKey == SDLK_UNKNOWN) return {};
    // SDL's buffer for character keys is reused by the next call: copy at once.
    const char* name = SDL_GetKeyName(sdlKey);
    return name != nullptr ? std::string(name) : std::string();
}

int32_t KeyFromName(const std::string& name) {
    if (name.empty()) return SDLK_UNKNOWN;
    const SDL_Keycode key = SDL_GetKeyFromName(name.c_str());
    if (key != SDLK_UNKNOWN) return key;
    return KeyOfScancodeName(name);
}

std::string ButtonName(TPadButton button) {
    if (button >= TPadButton::Count) return {};
    const char* name =
        SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button));
    return name != nullptr ? std::string(name) : std::string();
}

bool ButtonFromName(const std::string& name, TPadButton& button) {
    std::string lower = name;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(lower.c_str());
    if (b == SDL_CONTROLLER_BUTTON_INVALID || b >= static_cast<int>(TPadButton::Count))
        return false;
    button = static_cast<TPadButton>(b);
    return true;
}

std::string ButtonTitle(TPadButton button) {
    return button < TPadButton::Count ? kButtonTitles[static_cast<size_t>(button)] : "";
}

int32_t TKeyMapper::Translate(int32_t sdlKey) const {
    if (Layout == TPadLayout::Race) return RaceKeyFromKeyboard(Controls, sdlKey);
    return VirtualKeyFromSdl(sdlKey);
}

int32_t TKeyMapper::Down(int32_t sdlKey, bool repeat) {
    // A fresh press is mapped anew: a key let go while the window was in the background sends
    // no release, and must not keep the meaning it had then.
    const auto held = Held.find(sdlKey);
    if (repeat && held != Held.end()) return held->second;
    const int32_t key = Translate(sdlKey);
    Held[sdlKey] = key;
    return key;
}

int32_t TKeyMapper::Up(int32_t sdlKey) {
    const auto held = Held.find(sdlKey);
    if (held == Held.end()) return Translate(sdlKey);
    const int32_t key = held->second;
    Held.erase(held);
    return key;
}
