// Game controllers reach the game as the keyboard's virtual keys: synthetic controllers (SDL's
// virtual joysticks) are plugged in, pressed, pushed and unplugged, and the keys that come out
// of the platform window's event poll are checked, in both layouts, with several pads at once.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/Gamepads.h"
#include "platform/KeyCodes.h"
#include "platform/PadMapper.h"
#include "platform/Window.h"

namespace {
// A key event as a short text: "+38" down, "-38" up.
std::string Describe(const std::vector<TInputEvent>& events) {
    std::string out;
    for (const TInputEvent& e : events) {
        if (e.Kind != TInputKind::KeyDown && e.Kind != TInputKind::KeyUp) continue;
        if (!out.empty()) out += ' ';
        out += (e.Kind == TInputKind::KeyDown ? "+" : "-") + std::to_string(e.Key);
    }
    return out;
}

std::string K(char sign, int32_t key) {
    return sign + std::to_string(key);
}

class Gamepads : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Window.Create("Velkaro", 800, 600)); }
    void TearDown() override {
        Pads.clear();
        Poll();
    }
    // Plugs in another pad; its added event is taken.
    TVirtualPad& Plug() {
        Pads.push_back(std::make_unique<TVirtualPad>());
        EXPECT_TRUE(Pads.back()->Attach());
        Poll();
        return *Pads.back();
    }
    std::string Poll() {
        std::vector<TInputEvent> events;
        Window.PollEvents(events);
        return Describe(events);
    }
    TPlatformWindow Window;
    std::vector<std::unique_ptr<TVirtualPad>> Pads;
};
}  // namespace

TEST_F(Gamepads, ButtonsAndAxesGiveTheKeyboardsKeysInEachLayout) {
    enum TInput { Button, Axis };
    struct TCase {
        TPadLayout Layout;
        TInput Input;
        int Which;  // a TPadButton or a TPadAxis
        int32_t Value;
        std::string Press, Release;
    };
    using B = TPadButton;
    using A = TPadAxis;
    const auto b = [](B v) { return static_cast<int>(v); };
    const auto a = [](A v) { return static_cast<int>(v); };
    const TCase cases[] = {
        // The race: steer, drive, handbrake, horn, pause, quit menu.
        {TPadLayout::Race, Button, b(B::A), 1, K('+', vk::Up), K('-', vk::Up)},
        {TPadLayout::Race, Button, b(B::B), 1, K('+', vk::Down), K('-', vk::Down)},
        {TPadLayout::Race, Button, b(B::X), 1, K('+', vk::Space), K('-', vk::Space)},
        {TPadLayout::Race, Button, b(B::Y), 1, K('+', vk::KeyH), K('-', vk::KeyH)},
        {TPadLayout::Race, Button, b(B::Start), 1, K('+', vk::KeyP), K('-', vk::KeyP)},
        {TPadLayout::Race, Button, b(B::Back), 1, K('+', vk::Escape), K('-', vk::Escape)},
        {TPadLayout::Race, Button, b(B::DpadLeft), 1, K('+', vk::Left), K('-', vk::Left)},
        {TPadLayout::Race, Button, b(B::DpadRight), 1, K('+', vk::Right), K('-', vk::Right)},
        {TPadLayout::Race, Axis, a(A::LeftX), -20000, K('+', vk::Left), K('-', vk::Left)},
        {TPadLayout::Race, Axis, a(A::LeftX), 20000, K('+', vk::Right), K('-', vk::Right)},
        // Inside the dead zone the stick steers nothing.
        {TPadLayout::Race, Axis, a(A::LeftX), 6000, "", ""},
        {TPadLayout::Race, Axis, a(A::LeftY), -30000, "", ""},
        {TPadLayout::Race, Axis, a(A::TriggerRight), 30000, K('+', vk::Up), K('-', vk::Up)},
        {TPadLayout::Race, Axis, a(A::TriggerLeft), 30000, K('+', vk::Down), K('-', vk::Down)},
        {TPadLayout::Race, Button, b(B::LeftShoulder), 1, "", ""},
        // The menus: arrows, Enter and Escape.
        {TPadLayout::Menu, Button, b(B::A), 1, K('+', vk::Return), K('-', vk::Return)},
        {TPadLayout::Menu, Button, b(B::B), 1, K('+', vk::Escape), K('-', vk::Escape)},
        {TPadLayout::Menu, Button, b(B::Start), 1, K('+', vk::Return), K('-', vk::Return)},
        {TPadLayout::Menu, Button, b(B::Back), 1, K('+', vk::Escape), K('-', vk::Escape)},
        {TPadLayout::Menu, Button, b(B::DpadUp), 1, K('+', vk::Up), K('-', vk::Up)},
        {TPadLayout::Menu, Button, b(B::DpadDown), 1, K('+', vk::Down), K('-', vk::Down)},
        {TPadLayout::Menu, Axis, a(A::LeftY), -30000, K('+', vk::Up), K('-', vk::Up)},
        {TPadLayout::Menu, Axis, a(A::LeftY), 30000, K('+', vk::Down), K('-', vk::Down)},
        {TPadLayout::Menu, Axis, a(A::LeftX), 30000, K('+', vk::Right), K('-', vk::Right)},
        // A light lean that would steer does not move the menu focus.
        {TPadLayout::Menu, Axis, a(A::LeftX), 12000, "", ""},
        {TPadLayout::Menu, Axis, a(A::TriggerRight), 30000, "", ""},
        {TPadLayout::Menu, Button, b(B::X), 1, "", ""},
    };
    TVirtualPad& pad = Plug();
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.Layout)) + " input " +
                     std::to_string(c.Input) + "/" + std::to_string(c.Which));
        Window.SetPadLayout(c.Layout);
        Poll();
        if (c.Input == Button) {
            pad.SetButton(static_cast<B>(c.Which), true);
            EXPECT_EQ(Poll(), c.Press);
            pad.SetButton(static_cast<B>(c.Which), false);
        } else {
            pad.SetAxis(static_cast<A>(c.Which), c.Value);
            EXPECT_EQ(Poll(), c.Press);
            pad.SetAxis(static_cast<A>(c.Which), 0);
        }
        EXPECT_EQ(Poll(), c.Release);
    }
}

TEST_F(Gamepads, PadsComeAndGoAndAnUnpluggedPadLetsGoOfItsKeys) {
    EXPECT_EQ(Window.PadCount(), 0);
    Window.SetPadLayout(TPadLayout::Race);
    TVirtualPad& first = Plug();
    TVirtualPad& second = Plug();
    EXPECT_EQ(Window.PadCount(), 2);
    // Both pads drive the one player: the key is down while either holds it.
    first.SetButton(TPadButton::A, true);
    EXPECT_EQ(Poll(), K('+', vk::Up));
    second.SetAxis(TPadAxis::TriggerRight, 32767);
    EXPECT_EQ(Poll(), "");
    first.SetButton(TPadButton::A, false);
    EXPECT_EQ(Poll(), "");
    second.SetAxis(TPadAxis::LeftX, -32768);
    EXPECT_EQ(Poll(), K('+', vk::Left));
    // Unplugged while accelerating and steering: the car must not drive on by itself.
    Pads.back().reset();
    EXPECT_EQ(Poll(), K('-', vk::Left) + " " + K('-', vk::Up));
    EXPECT_EQ(Window.PadCount(), 1);
    // Plugged in again, it drives again.
    TVirtualPad& again = Plug();
    EXPECT_EQ(Window.PadCount(), 2);
    again.SetButton(TPadButton::X, true);
    EXPECT_EQ(Poll(), K('+', vk::Space));
}

TEST_F(Gamepads, AButtonHeldAcrossALayoutChangeIsNotAFreshPress) {
    TVirtualPad& pad = Plug();
    Window.SetPadLayout(TPadLayout::Menu);
    pad.SetButton(TPadButton::A, true);
    EXPECT_EQ(Poll(), K('+', vk::Return));
    // The car choice's Enter starts the race: A, still held, lets go of Enter and does not
    // accelerate until it is pressed again.
    Window.SetPadLayout(TPadLayout::Race);
    EXPECT_EQ(Poll(), K('-', vk::Return));
    pad.SetButton(TPadButton::A, false);
    EXPECT_EQ(Poll(), "");
    pad.SetButton(TPadButton::A, true);
    EXPECT_EQ(Poll(), K('+', vk::Up));
    // The same for a stick held over from the menu.
    Window.SetPadLayout(TPadLayout::Menu);
    pad.SetAxis(TPadAxis::LeftX, 30000);
    EXPECT_EQ(Poll(), K('-', vk::Up) + " " + K('+', vk::Right));
    Window.SetPadLayout(TPadLayout::Race);
    EXPECT_EQ(Poll(), K('-', vk::Right));
    pad.SetAxis(TPadAxis::LeftX, 0);
    EXPECT_EQ(Poll(), "");
    pad.SetAxis(TPadAxis::LeftX, 30000);
    EXPECT_EQ(Poll(), K('+', vk::Right));
}

TEST(PadMapper, ASwungStickLetsGoOfOneSideBeforeTakingTheOther) {
    TPadMapper mapper;
    std::vector<TInputEvent> out;
    mapper.SetLayout(TPadLayout::Race, out);
    TPadEvent e;
    e.Kind = TPadEventKind::Axis;
    e.Device = 7;
    e.Axis = TPadAxis::LeftX;
    e.Value = -32768;
    mapper.Feed(e, out);
    e.Value = 32767;
    mapper.Feed(e, out);
    EXPECT_EQ(Describe(out), K('+', vk::Left) + " " + K('-', vk::Left) + " " + K('+', vk::Right));
    // A pad that never announced itself still drives, and counts as connected only once
    // added.
    EXPECT_EQ(mapper.PadCount(), 0);
    EXPECT_TRUE(mapper.Holds(vk::Right));
    // Out-of-range buttons and axes are ignored.
    out.clear();
    e.Kind = TPadEventKind::Button;
    e.Button = TPadButton::Count;
    e.Down = true;
    mapper.Feed(e, out);
    EXPECT_EQ(Describe(out), "");
}

TEST(PadMapper, MappingsFromTheSettingsFolderAreAddedAndBadLinesSkipped) {
    struct TCase {
        std::string Text;
        int Added;
    };
    // SDL takes a mapping only for the platform it runs on ("Linux", "Windows").
    const TCase cases[] = {
        {std::string("03000000aaaa0000bbbb000000000000,Velkaro Test Pad,a:b1,b:b0,x:b3,y:b2,"
                     "back:b8,start:b9,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,leftx:a0,"
                     "lefty:a1,platform:")
             .append(SDL_GetPlatform())
             .append(",\n# a comment line\n"),
         1},
        {"not a mapping at all\n\x01\x02\xff\n", 0},
        // SDL refuses an empty file as a whole.
        {"", -1},
    };
    const std::string file = ::testing::TempDir() + "/gamecontrollerdb.txt";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(c.Text.c_str(), f);
        std::fclose(f);
        TPlatformWindow window;
        ASSERT_TRUE(window.Create("Velkaro", 800, 600, {}, file));
        EXPECT_EQ(window.PadMappingsAdded(), c.Added);
    }
    std::remove(file.c_str());
    // No file at all is the usual case.
    TPlatformWindow window;
    ASSERT_TRUE(window.Create("Velkaro", 800, 600, {}, file));
    EXPECT_EQ(window.PadMappingsAdded(), 0);
}
