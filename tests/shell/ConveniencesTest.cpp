// What the window and the controllers ask of the game: a race pauses when the window goes to
// the background (clock and start lights stopped) and stays paused until the player resumes;
// a minimised game is silent; Alt+Enter and F11 flip full screen on any screen and keep the
// choice, while the options' switch is undone by Cancel; the menus' keyboard and controller
// focus clicks the focused button without the screen also acting on the same key; the arrows
// keep their meaning on the choice screens.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/Gamepads.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/Storage.h"
#include "world/GameTables.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
TInputEvent WindowEvent(TInputKind kind) {
    TInputEvent e;
    e.Kind = kind;
    return e;
}

struct TClockReading {
    int32_t Minutes, Seconds, Hundredths;
    bool operator==(const TClockReading&) const = default;
};

TClockReading ReadClock() {
    return {Race.ClockMinutes, Race.ClockSeconds, Race.ClockHundredths};
}

// A game at the main menu with one player, optionally with a (dummy-driver) window.
struct TMenuGame {
    THarness H;
    explicit TMenuGame(bool window = false) : H(THarnessOptions{.WithWindow = window}) {
        EXPECT_TRUE(RunUntilState(H, st::FirstPlayer, 600));
        TypeText(H, "Ann");
        H.Tap(vk::Return);
        EXPECT_EQ(CurrentState, st::MainMenu);
    }
};
}  // namespace

TEST(Background, ARaceInTheBackgroundPausesWithItsClockAndLightsStopped) {
    struct TCase {
        TInputKind Event;
        int32_t AtFrame;  // frames into the race: the start lights run to 300
    };
    const TCase cases[] = {{TInputKind::FocusLost, 100},
                           {TInputKind::Minimized, 100},
                           {TInputKind::FocusLost, 400},
                           {TInputKind::Minimized, 400}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.Event)) + " at " +
                     std::to_string(c.AtFrame));
        THarness h;
        h.StartRace(1, 9);
        h.RunFrames(c.AtFrame);
        ASSERT_EQ(CurrentState, st::Race);
        h.Event(WindowEvent(c.Event));
        EXPECT_EQ(CurrentState, st::Pause);
        EXPECT_FALSE(h.Form().RaceTimer.Enabled());
        EXPECT_EQ(h.Form().Sound3D.Mixer().Muted(), c.Event == TInputKind::Minimized);
        const int32_t lights = StateFrames;
        const TClockReading clock = ReadClock();
        h.RunFrames(500);
        // Back in front: still paused, nothing moved, and the sound is back.
        h.Event(WindowEvent(c.Event == TInputKind::Minimized ? TInputKind::Restored
                                                             : TInputKind::FocusGained));
        h.RunFrames(200);
        EXPECT_EQ(CurrentState, st::Pause);
        EXPECT_FALSE(h.Form().Sound3D.Mixer().Muted());
        EXPECT_EQ(StateFrames, lights);
        EXPECT_EQ(ReadClock(), clock);
        // The player resumes as usual; the race goes on from where it stopped.
        h.Tap(vk::KeyP);
        EXPECT_EQ(CurrentState, st::Race);
        h.RunFrames(100);
        if (c.AtFrame < 250) {
            EXPECT_EQ(StateFrames, lights + 100);
        } else {
            EXPECT_NE(ReadClock(), clock);
        }
    }
}

TEST(Background, KeysHeldAsTheFocusGoesAreLetGoAndMenusAreNotPaused) {
    THarness h;
    h.StartRace(1, 9);
    h.RunFrames(260);
    h.KeyDown(vk::Up);
    h.KeyDown(vk::Menu);
    h.Event(WindowEvent(TInputKind::FocusLost));
    EXPECT_EQ(KeyTables.Held[vk::Up], 0);
    EXPECT_EQ(KeyTables.Held[vk::Menu], 0);
    // Alt was let go elsewhere: Enter after coming back is a plain Enter.
    h.Event(WindowEvent(TInputKind::FocusGained));
    h.KeyDown(vk::Return);
    EXPECT_EQ(KeyTables.Held[vk::Return], 1);

    TMenuGame menu;
    menu.H.Event(WindowEvent(TInputKind::FocusLost));
    menu.H.RunFrames(5);
    EXPECT_EQ(CurrentState, st::MainMenu);
}

TEST(FullScreenKeys, AltEnterAndF11FlipFullScreenOnAnyScreenAndKeepTheChoice) {
    struct TCase {
        const char* Name;
        std::function<void(THarness&)> Press;
    };
    const TCase keys[] = {{"F11", [](THarness& h) { h.Tap(vk::F11); }},
                          {"Alt+Enter", [](THarness& h) {
                               h.KeyDown(vk::Menu);
                               h.Tap(vk::Return);
                               h.KeyUp(vk::Menu);
                           }}};
    for (const TCase& k : keys) {
        SCOPED_TRACE(k.Name);
        TMenuGame game(true);
        THarness& h = game.H;
        ASSERT_NE(h.PlatformWindow(), nullptr);
        // On the exit question, Enter would quit: Alt+Enter must not.
        ClickButton(h, "b_exit");
        ASSERT_EQ(CurrentState, st::ExitGame);
        k.Press(h);
        h.RunFrames(2);
        EXPECT_EQ(CurrentState, st::ExitGame);
        EXPECT_FALSE(h.Form().IsClosing());
        EXPECT_EQ(FullScreen, 1);
        EXPECT_EQ(FullScreenApplied, 1);
        EXPECT_TRUE(h.PlatformWindow()->IsFullScreen());
        // Kept in Config.cfg: a new game reads it back.
        TSettings settings;
        LoadSettingsFile(h.ConfigDir(), h.ConfigDir(), settings);
        EXPECT_TRUE(settings.FullScreen);
        // In the options, Cancel does not undo it, and the switch shows it.
        h.Tap(vk::Escape);
        ASSERT_EQ(CurrentState, st::MainMenu);
        ClickButton(h, "b_opt");
        ASSERT_EQ(CurrentState, st::Options);
        k.Press(h);
        h.RunFrames(1);
        EXPECT_EQ(FullScreen, 0);
        EXPECT_EQ(h.Form().Page->Button("fullscreen")->GetImage(0)->Name, "b_off");
        ClickButton(h, "b_cancel");
        EXPECT_EQ(FullScreen, 0);
        EXPECT_FALSE(h.PlatformWindow()->IsFullScreen());
    }
}

// The options' full-screen switch acts at once; Cancel (or Escape) puts back the window mode
// the options were entered with from the main menu, even after a visit to the controls page,
// and Apply keeps the new one. Each way, Config.cfg holds the mode the window is left in.
TEST(FullScreenSwitch, CancelPutsBackTheWindowModeAndApplyKeepsTheNewOne) {
    struct TCase {
        const char* Name;
        bool StartFull;     // F11 in the main menu first
        bool ViaControls;   // to the controls page and back before leaving
        const char* Leave;  // a button, or null for Escape
        bool EndFull;
    };
    const TCase cases[] = {
        {"windowed, cancel", false, false, "b_cancel", false},
        {"windowed, Escape", false, false, nullptr, false},
        {"windowed, controls, cancel", false, true, "b_cancel", false},
        {"full screen, cancel", true, false, "b_cancel", true},
        {"windowed, apply", false, false, "b_apply", true},
        {"full screen, controls, apply", true, true, "b_apply", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMenuGame game(true);
        THarness& h = game.H;
        ASSERT_NE(h.PlatformWindow(), nullptr);
        if (c.StartFull) h.Tap(vk::F11);
        ASSERT_EQ(h.PlatformWindow()->IsFullScreen(), c.StartFull);
        ASSERT_TRUE(ClickButton(h, "b_opt"));
        ASSERT_TRUE(ClickButton(h, "fullscreen"));
        EXPECT_EQ(h.PlatformWindow()->IsFullScreen(), !c.StartFull);
        if (c.ViaControls) {
            ASSERT_TRUE(ClickButton(h, "b_controls"));
            ASSERT_EQ(CurrentState, st::Controls);
            ASSERT_TRUE(ClickButton(h, "b_back"));
            ASSERT_EQ(CurrentState, st::Options);
            EXPECT_EQ(h.PlatformWindow()->IsFullScreen(), !c.StartFull);
        }
        if (c.Leave != nullptr) {
            ASSERT_TRUE(ClickButton(h, c.Leave));
        } else {
            h.Tap(vk::Escape);
        }
        ASSERT_EQ(CurrentState, st::MainMenu);
        EXPECT_EQ(h.PlatformWindow()->IsFullScreen(), c.EndFull);
        EXPECT_EQ(FullScreen, c.EndFull ? 1 : 0);
        EXPECT_EQ(FullScreenApplied, c.EndFull ? 1 : 0);
        TSettings settings;
        LoadSettingsFile(h.ConfigDir(), h.ConfigDir(), settings);
        EXPECT_EQ(settings.FullScreen, c.EndFull);
    }
}

namespace {
// A way of giving the menus one key: the keyboard, or a controller through the window.
struct TInputWay {
    const char* Name;
    bool Pad;
};

class TMenuInput {
public:
    TMenuInput(TMenuGame& game, bool pad) : G(game), Pad(pad) {
        if (Pad) {
            EXPECT_TRUE(Controller.Attach());
            G.H.PumpWindow();
        }
    }
    // Presses and lets go of what gives key: a pad button for the controller.
    void Press(int32_t key) {
        if (!Pad) {
            G.H.Tap(key);
            return;
        }
        const TPadButton button = key == vk::Return   ? TPadButton::A
                                  : key == vk::Escape ? TPadButton::B
                                  : key == vk::Up     ? TPadButton::DpadUp
                                  : key == vk::Left   ? TPadButton::DpadLeft
                                  : key == vk::Right  ? TPadButton::DpadRight
                                                      : TPadButton::DpadDown;
        Controller.SetButton(button, true);
        G.H.PumpWindow();
        Controller.SetButton(button, false);
        G.H.PumpWindow();
        G.H.RunFrames(1);
    }

private:
    TMenuGame& G;
    bool Pad;
    TVirtualPad Controller;
};
}  // namespace

TEST(MenuFocus, KeysAndPadsMoveTheFocusAndClickTheFocusedButton) {
    struct TCase {
        const char* What;
        uint8_t Screen;             // where the keys start (reached by a click)
        std::vector<int32_t> Keys;  // keyboard keys; the pad gives the same
        uint8_t Expected;
    };
    const TCase cases[] = {
        // Main menu, buttons top to bottom: start, options, scores, help, visit, exit ...
        {"second button", st::MainMenu, {vk::Down, vk::Down, vk::Return}, st::Options},
        // ... and at the bottom, side by side, "press here" (players) and the logo.
        {"wraps to the end", st::MainMenu, {vk::Up, vk::Up, vk::Return}, st::ChangePlayer},
        {"no focus: Escape", st::MainMenu, {vk::Escape}, st::ExitGame},
        // The exit question: Enter alone quits, but Enter on a focused "no" answers no.
        {"focused no", st::ExitGame, {vk::Right, vk::Right, vk::Return}, st::MainMenu},
        {"focus then Escape", st::ExitGame, {vk::Right, vk::Escape}, st::MainMenu},
    };
    for (const TInputWay way : {TInputWay{"keyboard", false}, TInputWay{"pad", true}}) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(way.Name) + ": " + c.What);
            TMenuGame game(true);
            THarness& h = game.H;
            TMenuInput input(game, way.Pad);
            if (c.Screen == st::ExitGame) {
                ClickButton(h, "b_exit");
                h.RunFrames(40);  // the page slides in
                h.MouseMove(0, 0);
                h.RunFrames(1);
            }
            ASSERT_EQ(CurrentState, c.Screen);
            for (int32_t key : c.Keys) input.Press(key);
            h.RunFrames(2);
            EXPECT_EQ(+CurrentState, +c.Expected);
            EXPECT_FALSE(h.Form().IsClosing());
        }
    }
}

TEST(MenuFocus, TabFocusesAndEnterClicksWithoutTheScreenSeeingEnter) {
    TMenuGame game;
    THarness& h = game.H;
    ClickButton(h, "b_exit");
    h.RunFrames(40);
    // Tab to "yes" (left of "no"): Enter clicks it, which quits as Enter alone would.
    h.Tap(vk::Tab);
    ASSERT_NE(h.Form().KerbGUI1.Focused(), nullptr);
    EXPECT_EQ(h.Form().KerbGUI1.Focused()->Name, "b_yes");
    h.KeyDown(vk::Shift);
    h.Tap(vk::Tab);
    h.KeyUp(vk::Shift);
    EXPECT_EQ(h.Form().KerbGUI1.Focused()->Name, "b_no");
    h.Tap(vk::Return);
    EXPECT_EQ(CurrentState, st::MainMenu);
    // The release of that Enter never reached the key tables.
    EXPECT_EQ(KeyTables.Released[vk::Return], 0);
    EXPECT_FALSE(h.Form().IsClosing());
}

TEST(MenuFocus, TheChoiceScreensKeepTheirArrows) {
    TMenuGame game;
    THarness& h = game.H;
    ClickButton(h, "b_stgame");
    ASSERT_EQ(+CurrentState, +st::ChooseCar);
    h.RunFrames(60);
    const int32_t car = CarIndex;
    h.Tap(vk::Right);
    h.RunFrames(1);
    EXPECT_NE(CarIndex, car);
    EXPECT_FALSE(h.Form().KerbGUI1.KeyboardFocus());
    // Escape leads to the track choice, whose arrows choose the track.
    h.Tap(vk::Escape);
    ASSERT_EQ(+CurrentState, +st::ChooseTrack);
    h.RunFrames(60);
    const int32_t track = TrackIndex;
    h.Tap(vk::Left);
    h.RunFrames(1);
    EXPECT_NE(TrackIndex, track);
    EXPECT_FALSE(h.Form().KerbGUI1.KeyboardFocus());
    // Tab still reaches the buttons.
    h.Tap(vk::Tab);
    EXPECT_TRUE(h.Form().KerbGUI1.KeyboardFocus());
}

TEST(Controllers, ThePadDrivesTheRaceThroughTheKeyTables) {
    THarness h(THarnessOptions{.WithWindow = true});
    ASSERT_NE(h.PlatformWindow(), nullptr);
    TVirtualPad pad;
    ASSERT_TRUE(pad.Attach());
    h.PumpWindow();
    h.StartRace(1, 3);
    h.RunFrames(1);  // the race layout applies from this frame
    h.PumpWindow();
    pad.SetAxis(TPadAxis::TriggerRight, 32767);
    pad.SetAxis(TPadAxis::LeftX, -30000);
    h.PumpWindow();
    EXPECT_EQ(KeyTables.Held[vk::Up], 1);
    EXPECT_EQ(KeyTables.Held[vk::Left], 1);
    // Start pauses, as P does; Start again resumes.
    pad.SetButton(TPadButton::Start, true);
    h.PumpWindow();
    pad.SetButton(TPadButton::Start, false);
    h.PumpWindow();
    h.RunFrames(1);
    EXPECT_EQ(CurrentState, st::Pause);
    pad.SetButton(TPadButton::Start, true);
    h.PumpWindow();
    pad.SetButton(TPadButton::Start, false);
    h.PumpWindow();
    h.RunFrames(1);
    EXPECT_EQ(CurrentState, st::Race);
    // Unplugged: the keys it held are let go.
    pad.Detach();
    h.PumpWindow();
    EXPECT_EQ(KeyTables.Held[vk::Up], 0);
    EXPECT_EQ(KeyTables.Held[vk::Left], 0);
}
