// The shell's key tables and its state machine.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/KeyCodes.h"
#include "platform/MessageBox.h"
#include "shell/Globals.h"
#include "world/Globals.h"
#include "world/RaceRecord.h"

TEST(KeyTables, DownSetsHeldUpSetsReleasedAndClearsHeld) {
    THarness h({.Start = false});
    h.KeyDown(vk::Left);
    EXPECT_EQ(KeyTables.Held[vk::Left], 1);
    EXPECT_EQ(KeyTables.Released[vk::Left], 0);
    h.KeyUp(vk::Left);
    EXPECT_EQ(KeyTables.Held[vk::Left], 0);
    EXPECT_EQ(KeyTables.Released[vk::Left], 1);
    // Released stays until a reader clears it.
    h.KeyDown(vk::Left);
    EXPECT_EQ(KeyTables.Released[vk::Left], 1);
}

TEST(KeyTables, CodesOutsideTheTablesAreIgnored) {
    THarness h({.Start = false});
    for (int32_t code : {256, 300, 65535, -1}) {
        h.KeyDown(code);
        h.KeyUp(code);
    }
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(KeyTables.Held[i], 0);
        EXPECT_EQ(KeyTables.Released[i], 0);
    }
    // The two tables sit one after the other.
    EXPECT_EQ(&KeyTables.Released[0] + 256, &KeyTables.Held[0]);
}

TEST(StateMachine, DispatchesByStateNumberAndIgnoresStatesWithoutActions) {
    THarness h({.Start = false});
    std::vector<std::string> log;
    h.Form().SetStateActions(8, {[&] { log.push_back("enter8"); }, [&] { log.push_back("frame8"); },
                                 [&] { log.push_back("leave8"); }});
    h.Form().EnterState(8);
    h.Form().FrameState(8);
    h.Form().LeaveState(8);
    for (uint8_t n : {2, 5, 11, 17, 18, 200}) {
        h.Form().EnterState(n);
        h.Form().FrameState(n);
        h.Form().LeaveState(n);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"enter8", "frame8", "leave8"}));
}

TEST(StateMachine, RaceStatesWithoutARaceDoNothing) {
    // The race state with its world gone (as after the race was left), and the wreck state
    // entered and run without one: each action returns at once, even with the quit and pause
    // keys waiting. Nothing changes state, counts a frame, makes a sprite, plays a sound,
    // starts the clock or takes the keys.
    THarness h({.Start = false});
    std::vector<std::string> sounds;
    h.Form().OnPlaySound = [&](const std::string& s) { sounds.push_back(s); };
    SoundOn = 1;
    ASSERT_EQ(Race.PlayerCar, nullptr);
    const struct {
        const char* Name;
        uint8_t State;
        bool Enter;
    } steps[] = {{"race frame", st::Race, false},
                 {"wreck entered", st::Wreck, true},
                 {"wreck frame", st::Wreck, false}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Name);
        CurrentState = step.State;
        StateFrames = 7;
        KeyTables.Released[vk::Escape] = KeyTables.Released[vk::KeyP] = 1;
        if (step.Enter) {
            h.Form().EnterState(step.State);
        } else {
            h.Form().FrameState(step.State);
        }
        EXPECT_EQ(CurrentState, step.State);
        EXPECT_EQ(StateFrames, 7);
        EXPECT_EQ(h.Form().KerbSprite1.Count(), 0);
        EXPECT_TRUE(sounds.empty());
        EXPECT_FALSE(h.Form().RaceTimer.Enabled());
        EXPECT_EQ(KeyTables.Released[vk::Escape], 1);
        EXPECT_EQ(KeyTables.Released[vk::KeyP], 1);
        EXPECT_FALSE(h.Form().IsClosing());
    }
}

TEST(StateMachine, TransitionLeavesPlaysTheClickThenEnters) {
    THarness h({.Start = false});
    std::vector<std::string> log;
    h.Form().OnPlaySound = [&](const std::string& s) { log.push_back("sound " + s); };
    h.Form().SetStateActions(4, {[&] { CurrentState = 4; }, {}, [&] { log.push_back("leave4"); }});
    h.Form().SetStateActions(10, {[&] {
                                      log.push_back("enter10");
                                      CurrentState = 10;
                                  },
                                  {},
                                  {}});
    h.Form().EnterState(4);
    h.Form().ChangeState(10, "check2");
    EXPECT_EQ(log, (std::vector<std::string>{"leave4", "sound check2", "enter10"}));
    EXPECT_EQ(CurrentState, 10);
}

TEST(StateMachine, EachFrameTickRunsTheCurrentStatesFrameAction) {
    THarness h({.Start = false});
    int frames = 0;
    h.Form().SetStateActions(6, {[] { CurrentState = 6; }, [&] { ++frames; }, {}});
    h.Form().EnterState(6);
    h.Form().KerbTimer1.SetEnabled(true);
    h.RunFrames(90);
    EXPECT_EQ(frames, 90);
}

TEST(StateMachine, StartUpSetsTheGlobalsStartValues) {
    ResetGlobals();
    Score = 77;
    Level = 9;
    UnlockThreshold = 1;
    PlayerName = "x";
    THarness h({.Start = false});
    h.Form().FormCreate();
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Level, 3);
    EXPECT_EQ(UnlockThreshold, 300);
    EXPECT_EQ(MusicOn, 1);
    EXPECT_EQ(SoundOn, 1);
    EXPECT_TRUE(PlayerName.empty());
}

TEST(StateMachine, TheCloseBoxClosesTheForm) {
    THarness h;
    TInputEvent quit;
    quit.Kind = TInputKind::Quit;
    h.Event(quit);
    EXPECT_TRUE(h.Form().IsClosing());
}

TEST(StateMachine, TheTraceReportsEachStateEnteredOnce) {
    std::FILE* trace = std::tmpfile();
    ASSERT_NE(trace, nullptr);
    {
        THarness h({.Start = false});
        StateTrace = trace;
        h.Form().FormCreate();
        h.Form().FormShow();
        h.RunFrames(560);  // the logo, then the first player
        h.TypeText("Ann");
        h.Tap(vk::Return);  // the main menu
        h.Tap(vk::Escape);  // the exit question
        h.Tap(vk::Escape);  // the main menu again
        ASSERT_TRUE(ClickButton(h, "b_stgame"));
        h.Tap(vk::Return);  // the first car starts a game
        h.RunFrames(10);
        h.Tap(vk::KeyP);
        h.Tap(vk::KeyP);
    }
    StateTrace = nullptr;
    std::rewind(trace);
    std::string text;
    for (int c = std::fgetc(trace); c != EOF; c = std::fgetc(trace)) text += static_cast<char>(c);
    std::fclose(trace);
    EXPECT_EQ(text,
              "state 3\nstate 1\nstate 4\nstate 10\nstate 4\nstate 15\nstate 12\nspeed 0.00\n"
              "state 20\nstate 12\n");
}

// Headless menu frames used to draw the cursor with no drawing device, and every frame
// reported "No KerbImageList assigned to sprite!".
TEST(StateMachine, HeadlessMenuFramesReportNothing) {
    std::vector<TMessage> messages;
    const TMessageHandler old =
        SetMessageHandler([&](const TMessage& m) { messages.push_back(m); });
    {
        THarness h;
        h.RunFrames(600);
        ASSERT_EQ(CurrentState, 1);
    }
    SetMessageHandler(old);
    EXPECT_EQ(messages.size(), 0u) << (messages.empty() ? "" : messages[0].Text);
}
