// The controls page and the bindings it keeps: rebinding by mouse, keyboard focus and pad,
// exchange, cancel and defaults; Controls.cfg written, read back and read when damaged; and a
// race driven with rebound keys playing exactly as the default keys play it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "world/WorldHash.h"
#include "platform/KeyCodes.h"
#include "shell/ControlsFile.h"
#include "shell/Globals.h"

namespace {
int32_t Key(const char* name) {
    return KeyFromName(name);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A game with its first player, on the controls page (through the options).
struct TControlsPage {
    THarness H;

    explicit TControlsPage(THarnessOptions options = {}) : H(options) {
        EXPECT_TRUE(RunUntilState(H, st::FirstPlayer, 600));
        TypeText(H, "Ann");
        H.Tap(vk::Return);
        Click("b_opt");
        H.RunFrames(30);
        Click("b_controls");
        EXPECT_EQ(CurrentState, st::Controls);
    }

    void Click(const std::string& button) {
        ASSERT_TRUE(ClickButton(H, button)) << button << " on state " << int(CurrentState);
    }
    TControls& Controls() { return H.Form().Controls; }
    bool Waiting() { return static_cast<bool>(H.Form().KeyCapture); }
};
}  // namespace

TEST(ControlsPage, AClickedActionTakesTheNextKeyAndAKeyInUseIsExchanged) {
    TControlsPage p;
    p.Click("accelerate");
    EXPECT_TRUE(p.Waiting());
    p.H.PressKey("W");
    EXPECT_FALSE(p.Waiting());
    EXPECT_EQ(p.Controls().Key(TAction::Accelerate), Key("W"));
    // Brake takes W from accelerate, which gets brake's Down.
    p.Click("brake");
    p.H.PressKey("W");
    EXPECT_EQ(p.Controls().Key(TAction::Brake), Key("W"));
    EXPECT_EQ(p.Controls().Key(TAction::Accelerate), Key("Down"));
    // A key the game has no virtual code for binds all the same.
    p.Click("horn");
    p.H.PressKey(";");
    EXPECT_EQ(p.Controls().Key(TAction::Horn), Key(";"));
    EXPECT_EQ(CurrentState, st::Controls);
}

TEST(ControlsPage, EscapeCancelsTheWaitAndOnlyThenLeavesThePage) {
    TControlsPage p;
    const TControls before = p.Controls();
    p.Click("horn");
    ASSERT_TRUE(p.Waiting());
    p.H.PressKey("Escape");
    EXPECT_FALSE(p.Waiting());
    EXPECT_EQ(p.Controls(), before);
    p.H.RunFrames(2);
    EXPECT_EQ(CurrentState, st::Controls);
    // A mouse press elsewhere gives the wait up too.
    p.Click("pause");
    ASSERT_TRUE(p.Waiting());
    p.H.Click(20, 20);
    p.H.RunFrames(1);
    EXPECT_FALSE(p.Waiting());
    p.H.PressKey("Escape");
    EXPECT_EQ(CurrentState, st::Options);
    EXPECT_EQ(p.H.Form().Controls, before);
}

TEST(ControlsPage, EnterOrPadAOnTheFocusedRowWaitsAndAPadButtonBindsThePadColumn) {
    TControlsPage p;
    // The first arrow press puts the focus on the top row, accelerate.
    p.H.PressKey("Down");
    p.H.PressKey("Return");
    ASSERT_TRUE(p.Waiting());
    p.H.PressKey("Left Shift");
    EXPECT_EQ(p.Controls().Key(TAction::Accelerate), Key("Left Shift"));

    // Pad A on the same row, then the right shoulder button.
    p.H.PadButton(TPadButton::A, true);
    p.H.PadButton(TPadButton::A, false);
    p.H.RunFrames(1);
    ASSERT_TRUE(p.Waiting());
    p.H.PadButton(TPadButton::RightShoulder, true);
    p.H.PadButton(TPadButton::RightShoulder, false);
    p.H.RunFrames(1);
    EXPECT_FALSE(p.Waiting());
    EXPECT_EQ(p.Controls().Button(TAction::Accelerate), TPadButton::RightShoulder);
    // The keyboard binding stayed as it was.
    EXPECT_EQ(p.Controls().Key(TAction::Accelerate), Key("Left Shift"));
    // Exchange on the pad: brake takes the right shoulder, accelerate gets B.
    p.Click("brake");
    p.H.PadButton(TPadButton::RightShoulder, true);
    p.H.PadButton(TPadButton::RightShoulder, false);
    EXPECT_EQ(p.Controls().Button(TAction::Brake), TPadButton::RightShoulder);
    EXPECT_EQ(p.Controls().Button(TAction::Accelerate), TPadButton::B);
}

TEST(ControlsPage, EveryChangeIsSavedAtOnceAndDefaultsRestoreTheGamesKeys) {
    TControlsPage p;
    const std::string file = p.H.ConfigDir() + kControlsFileName;
    p.Click("accelerate");
    p.H.PressKey("W");
    EXPECT_NE(ReadText(file).find("accelerate = W\n"), std::string::npos);
    p.Click("quit");
    p.H.PressKey("Q");
    const std::string text = ReadText(file);
    EXPECT_NE(text.find("accelerate = W\n"), std::string::npos) << text;
    EXPECT_NE(text.find("quit = Q\n"), std::string::npos) << text;
    EXPECT_NE(text.find("pad.accelerate = a\n"), std::string::npos) << text;

    // Read back as the next start reads them.
    TControls loaded = DefaultControls();
    EXPECT_TRUE(LoadControlsFile(p.H.ConfigDir(), loaded).Message.empty());
    EXPECT_EQ(loaded, p.Controls());
    // The window's close box on this page: nothing is lost.
    p.Click("b_defaults");
    EXPECT_EQ(p.Controls(), DefaultControls());
    TInputEvent quit;
    quit.Kind = TInputKind::Quit;
    p.H.Event(quit);
    EXPECT_EQ(ReadText(file), EncodeControls(DefaultControls()));
}

TEST(ControlsPage, OptionsCancelStillUndoesWhatChangedBeforeTheControlsVisit) {
    TControlsPage p;
    p.H.PressKey("Escape");
    ASSERT_EQ(CurrentState, st::Options);
    ASSERT_EQ(MusicOn, 1);
    p.Click("music");
    EXPECT_EQ(MusicOn, 0);
    p.Click("b_controls");
    p.Click("b_back");
    p.Click("b_cancel");
    EXPECT_EQ(CurrentState, st::MainMenu);
    EXPECT_EQ(MusicOn, 1);
}

TEST(ControlsFile, BindingsRoundTripThroughTheirText) {
    TControls rebound = DefaultControls();
    BindKey(rebound, TAction::Accelerate, Key("W"));
    BindKey(rebound, TAction::Handbrake, Key("Left Ctrl"));
    BindKey(rebound, TAction::Horn, Key(";"));
    BindKey(rebound, TAction::Pause, Key("Keypad 8"));
    BindButton(rebound, TAction::Left, TPadButton::LeftShoulder);
    BindButton(rebound, TAction::QuitMenu, TPadButton::Start);
    for (const TControls& c : {DefaultControls(), rebound}) {
        TControls back = DefaultControls();
        EXPECT_TRUE(DecodeControls(EncodeControls(c), back).empty());
        EXPECT_EQ(back, c);
    }
}

TEST(ControlsFile, UnusableLinesKeepTheirActionsBindingAndAreNamed) {
    const struct {
        const char* Name;
        const char* Text;
        std::vector<int32_t> Damaged;
        TAction Action;
        const char* KeyAfter;
    } cases[] = {
        {"good, with comments, blanks, CR LF and spaces",
         "# mine\r\n\r\n  accelerate   =   W  \r\nHORN = Left Ctrl\n",
         {},
         TAction::Accelerate,
         "W"},
        {"unknown action", "jump = J\naccelerate = W\n", {1}, TAction::Accelerate, "W"},
        {"unknown key", "accelerate = Warp\n", {1}, TAction::Accelerate, "Up"},
        {"no equals sign", "accelerate W\n", {1}, TAction::Accelerate, "Up"},
        {"no value", "accelerate =\n", {1}, TAction::Accelerate, "Up"},
        {"a key given twice", "accelerate = W\nbrake = W\n", {2}, TAction::Brake, "Down"},
        {"an action given twice",
         "accelerate = W\naccelerate = E\n",
         {2},
         TAction::Accelerate,
         "W"},
        {"a key for every screen", "horn = F11\n", {1}, TAction::Horn, "H"},
        {"bad pad lines",
         "pad.horn = paddle9\npad.jump = a\npad.horn = x\n",
         {1, 2},
         TAction::Horn,
         "H"},
        {"no newline at the end", "brake = S", {}, TAction::Brake, "S"},
        {"binary junk", "\x01\xff=\xfe\n", {1}, TAction::Horn, "H"},
        // SDL reads this malformed name as a code no key sends, whose own name is "H".
        {"a name that is not its key's", "left = \xc1H\n", {1}, TAction::Left, "Left"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TControls controls = DefaultControls();
        EXPECT_EQ(DecodeControls(c.Text, controls), c.Damaged);
        EXPECT_EQ(KeyName(controls.Key(c.Action)), c.KeyAfter);
        // Whatever the file said, every action keeps a key and a button of its own.
        for (size_t i = 0; i < kActionCount; ++i)
            for (size_t j = i + 1; j < kActionCount; ++j) {
                EXPECT_NE(controls.Keys[i], controls.Keys[j]);
                EXPECT_NE(controls.Buttons[i], controls.Buttons[j]);
            }
    }
    // The exchange still applies within a sound file: "accelerate = Down" gives brake Up.
    TControls swapped = DefaultControls();
    EXPECT_TRUE(DecodeControls("accelerate = Down\npad.brake = x\n", swapped).empty());
    EXPECT_EQ(swapped.Key(TAction::Brake), Key("Up"));
    EXPECT_EQ(swapped.Button(TAction::Handbrake), TPadButton::B);
}

TEST(ControlsFile, ADamagedFileIsKeptAsideAndRepairedAtStartUp) {
    std::string folder;
    {
        THarness first;
        folder = first.ConfigDir();
        WriteText(folder + kControlsFileName, "accelerate = W\nbrake = Nonsense\nleft = A\n");
        THarness h({.ConfigDir = folder});
        EXPECT_EQ(h.Form().Controls.Key(TAction::Accelerate), Key("W"));
        EXPECT_EQ(h.Form().Controls.Key(TAction::Brake), Key("Down"));
        EXPECT_EQ(h.Form().Controls.Key(TAction::Left), Key("A"));
        EXPECT_EQ(ReadText(folder + kControlsFileName + ".bad"),
                  "accelerate = W\nbrake = Nonsense\nleft = A\n");
        // Rewritten sound, so the next start has nothing to report.
        TControls reread = DefaultControls();
        EXPECT_TRUE(DecodeControls(ReadText(folder + kControlsFileName), reread).empty());
        EXPECT_EQ(reread, h.Form().Controls);
        TControls loaded = DefaultControls();
        EXPECT_TRUE(LoadControlsFile(folder, loaded).Message.empty());
    }
}

namespace {
// The same driving, given as actions: each step presses or lets go of an action's key.
struct TActionStep {
    int32_t Frame;
    TAction Action;
    bool Down;
};
const TActionStep kDrive[] = {
    {260, TAction::Accelerate, true},  {400, TAction::Left, true},
    {430, TAction::Left, false},       {600, TAction::Right, true},
    {660, TAction::Right, false},      {800, TAction::Handbrake, true},
    {820, TAction::Handbrake, false},  {900, TAction::Brake, true},
    {980, TAction::Brake, false},      {1000, TAction::Accelerate, false},
    {1010, TAction::Accelerate, true}, {1200, TAction::Horn, true},
    {1201, TAction::Horn, false},
};

enum class TInputPath { VirtualKeys, PhysicalKeys, NoInput };

std::vector<uint64_t> Drive(const TControls& controls, TInputPath path) {
    THarness h;
    h.Form().Controls = controls;
    h.StartRace(2, 7);
    std::vector<uint64_t> hashes;
    size_t next = 0;
    for (int32_t frame = 0; frame < 1400; ++frame) {
        while (next < std::size(kDrive) && kDrive[next].Frame == frame) {
            const TActionStep& s = kDrive[next++];
            if (path == TInputPath::VirtualKeys) {
                const int32_t key = ActionVirtualKey(s.Action);
                s.Down ? h.KeyDown(key) : h.KeyUp(key);
            } else if (path == TInputPath::PhysicalKeys) {
                const int32_t key = controls.Key(s.Action);
                s.Down ? h.PhysicalKeyDown(key) : h.PhysicalKeyUp(key);
            }
        }
        h.RunFrames(1);
        if (frame % 100 == 99) hashes.push_back(WorldHash(h.Form().KerbSprite1));
    }
    return hashes;
}
}  // namespace

TEST(ControlsRace, ReboundKeysDriveTheRaceExactlyAsTheDefaultKeysAndTheKeyLog) {
    TControls rebound = DefaultControls();
    const char* keys[] = {"W", "S", "A", "D", "Left Shift", "J", "Tab", "Q"};
    for (size_t i = 0; i < kActionCount; ++i)
        BindKey(rebound, static_cast<TAction>(i), Key(keys[i]));
    const std::vector<uint64_t> logged = Drive(DefaultControls(), TInputPath::VirtualKeys);
    const std::vector<uint64_t> defaults = Drive(DefaultControls(), TInputPath::PhysicalKeys);
    const std::vector<uint64_t> mine = Drive(rebound, TInputPath::PhysicalKeys);
    ASSERT_EQ(logged.size(), 14u);
    EXPECT_EQ(defaults, logged);
    EXPECT_EQ(mine, logged);
    // The driving mattered: an idle car ends elsewhere.
    EXPECT_NE(Drive(rebound, TInputPath::NoInput).back(), logged.back());
}

TEST(ControlsRace, TheRacesOwnKeysFollowTheirBindings) {
    THarness h;
    BindKey(h.Form().Controls, TAction::QuitMenu, Key("Q"));
    BindKey(h.Form().Controls, TAction::Pause, Key("Tab"));
    h.StartRace(1, 3);
    h.RunFrames(300);
    // Escape and P are nobody's now.
    h.PressKey("Escape");
    h.PressKey("P");
    EXPECT_EQ(CurrentState, st::Race);
    h.PressKey("Tab");
    EXPECT_EQ(CurrentState, st::Pause);
    h.PressKey("Tab");
    EXPECT_EQ(CurrentState, st::Race);
    h.PressKey("Q");
    EXPECT_EQ(CurrentState, st::QuitRaceMenu);
    // The quit menu is a menu: Escape answers it as on every menu.
    h.PressKey("Escape");
    EXPECT_EQ(CurrentState, st::Race);
}
