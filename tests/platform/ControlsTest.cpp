// Key and button bindings: SDL's names both ways, binding with exchange, and the virtual keys
// the race gets from the keyboard and the pads under a set of bindings.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/KeyCodes.h"
#include "platform/PadMapper.h"

namespace {
// Every action has a key and a button, and no two share one.
void ExpectOneEach(const TControls& c) {
    const std::set<int32_t> keys(c.Keys.begin(), c.Keys.end());
    const std::set<TPadButton> buttons(c.Buttons.begin(), c.Buttons.end());
    EXPECT_EQ(keys.size(), kActionCount);
    EXPECT_EQ(buttons.size(), kActionCount);
    EXPECT_EQ(keys.count(0), 0u);
}

std::vector<TInputEvent> Feed(TPadMapper& m, TPadButton b, bool down) {
    std::vector<TInputEvent> out;
    TPadEvent e;
    e.Kind = TPadEventKind::Button;
    e.Button = b;
    e.Down = down;
    m.Feed(e, out);
    return out;
}
}  // namespace

// SDL's video is not started here: the names must work without it (the shell reads the
// bindings file before any window exists, and in headless runs there is none).
TEST(ControlNames, KeysRoundTripThroughSdlNamesInAnyCase) {
    const struct {
        int32_t Key;
        const char* Name;
    } cases[] = {
        {SDLK_w, "W"},
        {SDLK_UP, "Up"},
        {SDLK_LCTRL, "Left Ctrl"},
        {SDLK_KP_8, "Keypad 8"},
        {SDLK_F1, "F1"},
        {SDLK_ESCAPE, "Escape"},
        {SDLK_SPACE, "Space"},
        {SDLK_RETURN, "Return"},
        {SDLK_SEMICOLON, ";"},
        {SDLK_RSHIFT, "Right Shift"},
        {SDLK_BACKSPACE, "Backspace"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(KeyName(c.Key), c.Name);
        EXPECT_EQ(KeyFromName(c.Name), c.Key);
        std::string lower = c.Name;
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(KeyFromName(lower), c.Key);
    }
    for (const char* bad : {"", "Nonsense", "Up Up", "W W"}) EXPECT_EQ(KeyFromName(bad), 0) << bad;
    EXPECT_EQ(KeyName(0), "");
}

TEST(ControlNames, ButtonsRoundTripThroughSdlNames) {
    for (int i = 0; i < static_cast<int>(TPadButton::Count); ++i) {
        const auto b = static_cast<TPadButton>(i);
        TPadButton back = TPadButton::Count;
        ASSERT_TRUE(ButtonFromName(ButtonName(b), back)) << ButtonName(b);
        EXPECT_EQ(back, b);
        EXPECT_FALSE(ButtonTitle(b).empty());
    }
    TPadButton b = TPadButton::A;
    EXPECT_TRUE(ButtonFromName("DPUP", b));
    EXPECT_EQ(b, TPadButton::DpadUp);
    EXPECT_EQ(ButtonName(TPadButton::A), "a");
    EXPECT_FALSE(ButtonFromName("paddle9", b));
    EXPECT_FALSE(ButtonFromName("", b));
}

TEST(ControlBinding, ABoundKeyOrButtonIsExchangedSoEveryActionKeepsOne) {
    TControls c = DefaultControls();
    ExpectOneEach(c);
    // Taking brake's key gives brake accelerate's old one.
    BindKey(c, TAction::Accelerate, SDLK_DOWN);
    EXPECT_EQ(c.Key(TAction::Accelerate), SDLK_DOWN);
    EXPECT_EQ(c.Key(TAction::Brake), SDLK_UP);
    // A free key frees the old one.
    BindKey(c, TAction::Accelerate, SDLK_w);
    EXPECT_EQ(c.Key(TAction::Accelerate), SDLK_w);
    EXPECT_EQ(std::count(c.Keys.begin(), c.Keys.end(), SDLK_DOWN), 0);
    // Binding an action's own key changes nothing.
    const TControls before = c;
    BindKey(c, TAction::Accelerate, SDLK_w);
    EXPECT_EQ(c, before);
    BindButton(c, TAction::Horn, TPadButton::A);
    EXPECT_EQ(c.Button(TAction::Horn), TPadButton::A);
    EXPECT_EQ(c.Button(TAction::Accelerate), TPadButton::Y);
    ExpectOneEach(c);
    // A long run of bindings never leaves two actions on one key.
    const int32_t keys[] = {SDLK_a, SDLK_UP, SDLK_ESCAPE, SDLK_a, SDLK_SPACE, SDLK_p, SDLK_h};
    for (size_t i = 0; i < 40; ++i) {
        BindKey(c, static_cast<TAction>(i % kActionCount), keys[i % std::size(keys)]);
        BindButton(c, static_cast<TAction>((i * 3) % kActionCount),
                   static_cast<TPadButton>(i % static_cast<size_t>(TPadButton::Count)));
        ExpectOneEach(c);
    }
    EXPECT_FALSE(BindableKey(0));
    EXPECT_FALSE(BindableKey(SDLK_F11));
    EXPECT_TRUE(BindableKey(SDLK_w));
    // 'H' is no key's code (the H key sends 'h'), though SDL names it "H".
    EXPECT_FALSE(BindableKey('H'));
    // Codes of control characters are named by the characters themselves, which a line of the
    // bindings file cannot keep (the form feed reads as space and is trimmed away).
    for (int32_t control : {0x0C, 0x01, 0x1F}) EXPECT_FALSE(BindableKey(control)) << control;
}

TEST(ControlBinding, TheRaceGetsTheBoundActionsKeysAndNothingFromUnboundActionKeys) {
    TControls rebound = DefaultControls();
    BindKey(rebound, TAction::Accelerate, SDLK_w);
    BindKey(rebound, TAction::Handbrake, SDLK_x);
    BindKey(rebound, TAction::QuitMenu, SDLK_q);
    const TControls defaults = DefaultControls();
    const struct {
        const TControls* Controls;
        int32_t Key;
        int32_t Expected;
    } cases[] = {
        // The default keys give the keys the race always read, second keys included.
        {&defaults, SDLK_UP, vk::Up},
        {&defaults, SDLK_SPACE, vk::Space},
        {&defaults, SDLK_LCTRL, vk::Control},
        {&defaults, SDLK_RCTRL, vk::Control},
        {&defaults, SDLK_KP_8, vk::Numpad8},
        {&defaults, SDLK_F1, vk::F1},
        {&defaults, SDLK_ESCAPE, vk::Escape},
        {&defaults, SDLK_w, 'W'},
        // Rebound: the new key gives the action's key, the old one nothing.
        {&rebound, SDLK_w, vk::Up},
        {&rebound, SDLK_UP, 0},
        {&rebound, SDLK_x, vk::Space},
        {&rebound, SDLK_SPACE, 0},
        // A rebound handbrake takes its second keys with it.
        {&rebound, SDLK_LCTRL, 0},
        {&rebound, SDLK_q, vk::Escape},
        {&rebound, SDLK_ESCAPE, 0},
        // Keys no action uses pass as they are.
        {&rebound, SDLK_F5, vk::F1 + 4},
        {&rebound, SDLK_DOWN, vk::Down},
        {&rebound, SDLK_F1, vk::F1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(KeyName(c.Key) + (c.Controls == &defaults ? " (defaults)" : " (rebound)"));
        EXPECT_EQ(RaceKeyFromKeyboard(*c.Controls, c.Key), c.Expected);
    }
    // A second key taken by another action belongs to that action.
    TControls ctrlHorn = DefaultControls();
    BindKey(ctrlHorn, TAction::Horn, SDLK_LCTRL);
    EXPECT_EQ(RaceKeyFromKeyboard(ctrlHorn, SDLK_LCTRL), vk::KeyH);
    EXPECT_EQ(RaceKeyFromKeyboard(ctrlHorn, SDLK_RCTRL), vk::Control);
    EXPECT_EQ(KeysText(ctrlHorn, TAction::Handbrake), "Space / Right Ctrl");
    EXPECT_EQ(KeysText(defaults, TAction::Handbrake), "Space / Ctrl");
    EXPECT_EQ(KeysText(rebound, TAction::Handbrake), "X");
    EXPECT_EQ(ButtonsText(defaults, TAction::Accelerate), "A / D-pad up");
}

TEST(ControlBinding, AKeyHeldAcrossALayoutChangeLetsGoOfWhatItPressed) {
    TKeyMapper keys;
    TControls c = DefaultControls();
    BindKey(c, TAction::Accelerate, SDLK_w);
    keys.SetControls(c);
    keys.SetLayout(TPadLayout::Race);
    EXPECT_EQ(keys.Down(SDLK_w), vk::Up);
    keys.SetLayout(TPadLayout::Menu);
    EXPECT_EQ(keys.Down(SDLK_w, true), vk::Up);  // a repeat
    EXPECT_EQ(keys.Up(SDLK_w), vk::Up);
    EXPECT_EQ(keys.Down(SDLK_w), 'W');
    keys.SetLayout(TPadLayout::Race);
    EXPECT_EQ(keys.Up(SDLK_w), 'W');
    // A key let go in another window sends no release: its next press is a new one.
    EXPECT_EQ(keys.Down(SDLK_w), vk::Up);
    keys.SetLayout(TPadLayout::Menu);
    EXPECT_EQ(keys.Down(SDLK_w), 'W');
}

TEST(ControlBinding, PadsDriveByTheBoundButtonsAndReportBarePressesWhileCapturing) {
    TPadMapper m;
    std::vector<TInputEvent> out;
    TControls c = DefaultControls();
    BindButton(c, TAction::Accelerate, TPadButton::RightShoulder);
    m.SetControls(c, out);
    m.SetLayout(TPadLayout::Race, out);
    auto keyOf = [](const std::vector<TInputEvent>& events) {
        return events.size() == 1 && events[0].Kind == TInputKind::KeyDown ? events[0].Key : -1;
    };
    EXPECT_EQ(keyOf(Feed(m, TPadButton::RightShoulder, true)), vk::Up);
    Feed(m, TPadButton::RightShoulder, false);
    // A (accelerate's old button) went to nothing; the D-pad's up left with the rebinding.
    EXPECT_TRUE(Feed(m, TPadButton::A, true).empty());
    Feed(m, TPadButton::A, false);
    EXPECT_TRUE(Feed(m, TPadButton::DpadUp, true).empty());
    Feed(m, TPadButton::DpadUp, false);
    EXPECT_EQ(keyOf(Feed(m, TPadButton::DpadDown, true)), vk::Down);
    Feed(m, TPadButton::DpadDown, false);

    // Changing the bindings while a button is held lets go of its old key.
    Feed(m, TPadButton::X, true);
    BindButton(c, TAction::Handbrake, TPadButton::LeftShoulder);
    out.clear();
    m.SetControls(c, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kind, TInputKind::KeyUp);
    EXPECT_EQ(out[0].Key, vk::Space);

    // Capturing: no keys at all, a fresh press comes as itself; the button held through the
    // change does not count until it is pressed again.
    out.clear();
    m.SetLayout(TPadLayout::Capture, out);
    EXPECT_TRUE(Feed(m, TPadButton::X, false).empty());
    const std::vector<TInputEvent> press = Feed(m, TPadButton::B, true);
    ASSERT_EQ(press.size(), 1u);
    EXPECT_EQ(press[0].Kind, TInputKind::PadButton);
    EXPECT_EQ(press[0].Key, static_cast<int32_t>(TPadButton::B));
    EXPECT_TRUE(Feed(m, TPadButton::B, false).empty());
}
