// The menu screens driven as a player drives them: mouse clicks at the buttons' centres and
// the shortcut keys, one table of cases per screen (where each button and key leads), and the
// screens' own rules (players, track and car choice, options, help pages).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/KeyCodes.h"
#include "platform/OpenUrl.h"
#include "shell/Globals.h"
#include "shell/Online.h"
#include "shell/screens/MenuPage.h"
#include "shell/Storage.h"
#include "world/GameTables.h"
#include "world/RaceRecord.h"

namespace {
// The settings files the game left in its settings folder, read as start-up reads them.
TSettings StoredSettings(THarness& h) {
    TSettings settings;
    const TLoadReport report = LoadSettingsFile(h.ConfigDir(), "", settings);
    EXPECT_TRUE(report.Found && !report.Damaged) << report.Message;
    return settings;
}

TProgress StoredProgress(THarness& h) {
    TProgress progress;
    const TLoadReport report = LoadProgressFile(h.ConfigDir(), "", progress);
    EXPECT_TRUE(report.Found && !report.Damaged) << report.Message;
    return progress;
}

// A game started with its logo played out and the first player typed in: the main menu.
struct TMenuHarness {
    THarness H;
    std::vector<std::string> Sounds;

    explicit TMenuHarness(const std::string& name = "Ann") {
        H.Form().OnPlaySound = [this](const std::string& s) { Sounds.push_back(s); };
        EXPECT_TRUE(RunUntilState(H, st::FirstPlayer, 600));
        TypeText(H, name);
        H.Tap(vk::Return);
        EXPECT_EQ(CurrentState, st::MainMenu);
    }

    int Count(const std::string& sound) const {
        return static_cast<int>(std::count(Sounds.begin(), Sounds.end(), sound));
    }

    // From the main menu to a screen by its buttons, with its slide-in played out.
    void Open(uint8_t screen) {
        ASSERT_EQ(CurrentState, st::MainMenu);
        switch (screen) {
            case st::MainMenu:
                break;
            case st::Options:
                Click("b_opt");
                break;
            case st::Controls:
                Click("b_opt");
                Click("b_controls");
                break;
            case st::Help:
                Click("b_help");
                break;
            case st::HighScores:
                Click("b_hiscr");
                break;
            case st::ClearHighScores:
                Click("b_hiscr");
                Click("b_clrhiscr");
                break;
            case st::ExitGame:
                Click("b_exit");
                break;
            case st::ChangePlayer:
                Click("b_presshere");
                break;
            case st::AddPlayer:
                Click("b_presshere");
                Click("b_add");
                break;
            case st::DeletePlayer:
                Click("b_presshere");
                Click("b_delete");
                break;
            case st::ChooseCar:
                Click("b_stgame");
                break;
            case st::ChooseTrack:
                Click("b_stgame");
                H.Tap(vk::Escape);
                break;
            default:
                FAIL() << "no route to " << int(screen);
        }
        H.RunFrames(60);
        ASSERT_EQ(CurrentState, screen);
    }

    void Click(const std::string& button) {
        ASSERT_TRUE(ClickButton(H, button))
            << "no button " << button << " on state " << int(CurrentState);
    }

    TMenuButton& Button(const std::string& name) {
        TMenuButton* b = PageButton(H, name);
        EXPECT_NE(b, nullptr) << name;
        return *b;
    }
};

// One way out of a screen: a click on a button or a key, and the state it leads to.
struct TRoute {
    const char* Button;  // null: the key
    int32_t Key;
    uint8_t Expected;
};

void CheckRoutes(uint8_t screen, const std::vector<TRoute>& routes) {
    for (const TRoute& r : routes) {
        SCOPED_TRACE(r.Button != nullptr ? r.Button : "key " + std::to_string(r.Key));
        TMenuHarness m;
        m.Open(screen);
        if (r.Button != nullptr) {
            m.Click(r.Button);
        } else {
            m.H.Tap(r.Key);
        }
        EXPECT_EQ(CurrentState, r.Expected);
        // Wherever a route leads, that state has actions: its screen is really there.
        EXPECT_TRUE(m.H.Form().HasActions(CurrentState)) << int(CurrentState);
    }
}
}  // namespace

TEST(MenuScreens, MainMenuButtonsAndKeys) {
    CheckRoutes(st::MainMenu, {{"b_stgame", 0, st::ChooseCar},
                               {"b_opt", 0, st::Options},
                               {"b_hiscr", 0, st::HighScores},
                               {"b_help", 0, st::Help},
                               {"b_visit", 0, st::MainMenu},
                               {"b_exit", 0, st::ExitGame},
                               {"b_logo", 0, st::MainMenu},
                               {"b_presshere", 0, st::ChangePlayer},
                               {nullptr, vk::Escape, st::ExitGame}});
}

TEST(MenuScreens, SubScreenButtonsAndKeys) {
    CheckRoutes(st::Options, {{"b_apply", 0, st::MainMenu},
                              {"b_cancel", 0, st::MainMenu},
                              {"b_controls", 0, st::Controls},
                              {nullptr, vk::Escape, st::MainMenu}});
    CheckRoutes(st::Controls, {{"b_back", 0, st::Options},
                               {"b_defaults", 0, st::Controls},
                               {nullptr, vk::Escape, st::Options}});
    CheckRoutes(st::Help, {{"b_back", 0, st::MainMenu},
                           {"b_next", 0, st::Help},
                           {"b_prev", 0, st::Help},
                           {nullptr, vk::Escape, st::MainMenu}});
    CheckRoutes(st::HighScores, {{"b_clrhiscr", 0, st::ClearHighScores},
                                 {"b_viewwhiscr", 0, st::HighScores},
                                 {"b_back", 0, st::MainMenu},
                                 {nullptr, vk::Escape, st::MainMenu}});
    CheckRoutes(st::ClearHighScores, {{"b_yes", 0, st::HighScores},
                                      {"b_no", 0, st::HighScores},
                                      {nullptr, vk::Escape, st::HighScores}});
    CheckRoutes(st::ExitGame, {{"b_no", 0, st::MainMenu}, {nullptr, vk::Escape, st::MainMenu}});
}

TEST(MenuScreens, PlayerScreenButtonsAndKeys) {
    CheckRoutes(st::ChangePlayer, {{"b_add", 0, st::AddPlayer},
                                   {"b_delete", 0, st::DeletePlayer},
                                   {"b_back2", 0, st::MainMenu},
                                   {"b_select", 0, st::ChangePlayer},
                                   {nullptr, vk::Escape, st::MainMenu},
                                   {nullptr, vk::Return, st::ChangePlayer}});
    CheckRoutes(st::AddPlayer,
                {{nullptr, vk::Escape, st::ChangePlayer}, {nullptr, vk::Return, st::AddPlayer}});
    CheckRoutes(st::DeletePlayer, {{"b_yes", 0, st::ChangePlayer},
                                   {"b_no", 0, st::ChangePlayer},
                                   {nullptr, vk::Escape, st::ChangePlayer}});
}

TEST(MenuScreens, ChoiceScreenButtonsAndKeys) {
    CheckRoutes(st::ChooseTrack, {{"b_back", 0, st::MainMenu},
                                  {"bc_race", 0, st::ChooseCar},
                                  {"bc_next", 0, st::ChooseTrack},
                                  {"bc_prev", 0, st::ChooseTrack},
                                  {nullptr, vk::Escape, st::MainMenu},
                                  {nullptr, vk::Return, st::ChooseCar}});
    CheckRoutes(st::ChooseCar, {{"b_back", 0, st::MainMenu},
                                {"bc_race", 0, st::Race},
                                {"bc_next", 0, st::ChooseCar},
                                {nullptr, vk::Escape, st::ChooseTrack},
                                {nullptr, vk::Return, st::Race}});
}

TEST(MenuScreens, ExitSavesAndClosesByButtonOrEnter) {
    for (const bool button : {true, false}) {
        SCOPED_TRACE(button ? "button" : "Enter");
        TMenuHarness m;
        m.Open(st::ExitGame);
        // The run's settings and progress, changed since the files were last written.
        Volume = 4;
        Score = 4321;
        TracksOpen = 7;
        UnlockStage = 3;
        if (button) {
            m.Click("b_yes");
        } else {
            m.H.Tap(vk::Return);
        }
        EXPECT_TRUE(m.H.Form().IsClosing());
        const TSettings settings = StoredSettings(m.H);
        EXPECT_EQ(settings.Volume, 4);
        EXPECT_EQ(settings.PlayerName, "Ann");
        const TProgress progress = StoredProgress(m.H);
        EXPECT_EQ(progress.Score, 4321);
        EXPECT_EQ(progress.TracksOpen, 7);
        EXPECT_EQ(progress.UnlockStage, 3);
    }
}

TEST(MenuScreens, EscapeInTheMainMenuClicksTwiceOnTheWayToTheExitQuestion) {
    TMenuHarness m;
    m.Sounds.clear();
    m.H.Tap(vk::Escape);
    EXPECT_EQ(m.Sounds, (std::vector<std::string>{"check2", "check"}));
}

TEST(MenuScreens, TheExitQuestionSlidesInFromTheLeft) {
    TMenuHarness m;
    m.Click("b_exit");
    EXPECT_EQ(m.Button("b_yes").X, -522 + 40);
    m.H.RunFrames(30);
    EXPECT_EQ(m.Button("b_yes").X, 278);
    EXPECT_EQ(m.Button("b_no").X, 422);
    EXPECT_EQ(m.H.Form().PageSprite->X, 180);
}

TEST(MenuScreens, TheFirstPlayerScreenTakesTypingAtOnceAndNeedsANonBlankName) {
    THarness h;
    ASSERT_TRUE(RunUntilState(h, st::FirstPlayer, 600));
    // Enter on an empty or blank name adds nobody.
    h.Tap(vk::Return);
    TypeText(h, "   ");
    h.Tap(vk::Return);
    EXPECT_EQ(CurrentState, st::FirstPlayer);
    EXPECT_EQ(h.Form().Players.PlayerCount, 0);
    // No Escape out of it either: a player must be named.
    h.Tap(vk::Escape);
    EXPECT_EQ(CurrentState, st::FirstPlayer);
    // One Backspace takes one character.
    h.Form().Page->Edit()->SetText("");
    TypeText(h, "Bobby");
    h.KeyDown(vk::Back);
    h.KeyUp(vk::Back);
    h.RunFrames(1);
    EXPECT_EQ(h.Form().Page->Edit()->Text, "Bobb");
    // Twelve characters at most.
    TypeText(h, "abcdefghijklmnop");
    EXPECT_EQ(h.Form().Page->Edit()->Text, "Bobbabcdefgh");
    // The page slides in after frame 50 and the button ends at 480.
    h.RunFrames(80);
    EXPECT_EQ(PageButton(h, "b_add")->X, 480);
    EXPECT_EQ(h.Form().Page->Edit()->X, 291);
    ASSERT_TRUE(ClickButton(h, "b_add"));
    EXPECT_EQ(CurrentState, st::MainMenu);
    EXPECT_EQ(PlayerName, "Bobbabcdefgh");
}

TEST(MenuScreens, ChangePlayerButtonsFollowThePlayerCount) {
    TMenuHarness m("P1");
    m.Open(st::ChangePlayer);
    // One player: no moving, but select, delete and add.
    EXPECT_FALSE(m.Button("b_up").Visible);
    EXPECT_FALSE(m.Button("b_down").Visible);
    EXPECT_TRUE(m.Button("b_select").Visible);
    for (int i = 2; i <= 10; ++i) {
        m.Click("b_add");
        ASSERT_EQ(CurrentState, st::AddPlayer) << i;
        TypeText(m.H, "P" + std::to_string(i));
        ASSERT_EQ(m.H.Form().Page->Edit()->Text, "P" + std::to_string(i));
        m.H.Tap(vk::Return);
        ASSERT_EQ(CurrentState, st::ChangePlayer);
    }
    m.H.RunFrames(1);
    EXPECT_EQ(m.H.Form().Players.PlayerCount, 10);
    EXPECT_FALSE(m.Button("b_add").Visible);  // ten is the most
    ASSERT_TRUE(ClickButton(m.H, "b_add"));
    EXPECT_EQ(CurrentState, st::ChangePlayer);
    EXPECT_TRUE(m.Button("b_up").Visible);
    EXPECT_EQ(PlayerName, "P10");
    // Up and Down move the highlight within the list; Enter selects it.
    for (int i = 0; i < 12; ++i) m.H.Tap(vk::Down);
    EXPECT_EQ(m.H.Form().Players.HighlightedPlayer, 9);
    m.H.Tap(vk::Up);
    m.H.Tap(vk::Return);
    EXPECT_EQ(PlayerName, "P9");
    // Delete everyone: then only "add" is left, and Escape stays.
    for (int i = 0; i < 10; ++i) {
        m.Click("b_delete");
        m.Click("b_yes");
    }
    EXPECT_EQ(m.H.Form().Players.PlayerCount, 0);
    EXPECT_EQ(PlayerName, "");
    m.H.RunFrames(1);
    for (const char* hidden : {"b_up", "b_down", "b_back2", "b_delete", "b_select"})
        EXPECT_FALSE(m.Button(hidden).Visible) << hidden;
    m.H.Tap(vk::Escape);
    m.H.Tap(vk::Up);
    m.H.Tap(vk::Return);
    EXPECT_EQ(CurrentState, st::ChangePlayer);
    m.Click("b_add");
    EXPECT_EQ(CurrentState, st::AddPlayer);
}

TEST(MenuScreens, AddPlayerShowsItsButtonOnlyForANonBlankName) {
    TMenuHarness m;
    m.Open(st::AddPlayer);
    EXPECT_FALSE(m.Button("b_add").Visible);
    TypeText(m.H, "  ");
    EXPECT_FALSE(m.Button("b_add").Visible);
    TypeText(m.H, "Cy");
    EXPECT_TRUE(m.Button("b_add").Visible);
    m.Click("b_add");
    EXPECT_EQ(CurrentState, st::ChangePlayer);
    EXPECT_EQ(PlayerName, "Cy");
    EXPECT_EQ(m.H.Form().Players.PlayerCount, 2);
}

// A key as the window delivers it: the key, then its text.
void TypeKey(THarness& h, int32_t key, const std::string& text) {
    h.KeyDown(key);
    h.TypeText(text);
    h.RunFrames(1);
    h.KeyUp(key);
    h.RunFrames(1);
}

TEST(MenuScreens, TypingOnANamePageGoesToTheEditWhateverHasTheFocus) {
    TMenuHarness m;
    m.Open(st::AddPlayer);
    TKerbGUI& gui = m.H.Form().KerbGUI1;
    TKerbEdit& edit = *m.H.Form().Page->Edit();
    TypeText(m.H, "Bo");
    // The arrows leave the focus on the edit.
    for (int32_t arrow : {vk::Down, vk::Up, vk::Right}) {
        m.H.Stroke(arrow);
        EXPECT_EQ(gui.Focused(), &edit) << arrow;
    }
    // Tab still reaches the button; letters, Backspace and Space still go to the edit.
    for (int i = 0; i < 4 && gui.Focused() != &m.Button("b_add"); ++i) m.H.Stroke(vk::Tab);
    ASSERT_EQ(gui.Focused(), &m.Button("b_add"));
    TypeText(m.H, "bx");
    m.H.Stroke(vk::Back);
    TypeKey(m.H, vk::Space, " ");
    ASSERT_EQ(CurrentState, st::AddPlayer);
    TypeText(m.H, "Li");
    EXPECT_EQ(edit.Text, "Bob Li");
    // Enter clicks the focused button with the whole name.
    m.H.Stroke(vk::Return);
    EXPECT_EQ(CurrentState, st::ChangePlayer);
    EXPECT_EQ(PlayerName, "Bob Li");
}

// The settings file lengthens texts with "%": the edits refuse it as it is typed.
TEST(MenuScreens, TheEditsRefusePercentSigns) {
    for (uint8_t page : {st::AddPlayer, st::Options}) {
        SCOPED_TRACE(int(page));
        TMenuHarness m;
        m.Open(page);
        TKerbEdit& edit = *m.H.Form().Page->Edit();
        edit.SetText("");
        m.H.Form().KerbGUI1.SetFocus(edit.ID);
        TypeText(m.H, "%Max%%");
        EXPECT_EQ(edit.Text, "Max");
    }
}

// The addresses handed to the browser while it lives.
class TOpenedUrls {
public:
    TOpenedUrls() : Old(SetUrlOpener([this](const std::string& url) { Urls.push_back(url); })) {}
    ~TOpenedUrls() { SetUrlOpener(std::move(Old)); }
    TOpenedUrls(const TOpenedUrls&) = delete;
    TOpenedUrls& operator=(const TOpenedUrls&) = delete;
    std::vector<std::string> Urls;

private:
    TUrlOpener Old;
};

// "Web site", the logo and the world-table button open the player's "play.url", else the
// score service's own table at the address in use.
TEST(MenuScreens, TheWebButtonsOpenTheShortcutElseTheScoreServicesTable) {
    for (bool shortcut : {false, true}) {
        SCOPED_TRACE(shortcut);
        TOpenedUrls opened;
        TMenuHarness m;
        TOnlineSettings settings = m.H.Form().Online.Config();
        settings.ServerUrl = "http://scores.test:9000/";
        settings.ConfigDir = m.H.ConfigDir();
        m.H.Form().Online.Configure(settings);
        if (shortcut)
            std::ofstream(m.H.ConfigDir() + "play.url") << "URL=https://velkaro.test/play\n";
        m.Click("b_visit");
        m.Click("b_logo");
        m.Open(st::HighScores);
        m.Click("b_viewwhiscr");
        const std::string want =
            shortcut ? "https://velkaro.test/play" : "http://scores.test:9000/";
        EXPECT_EQ(opened.Urls, std::vector<std::string>(3, want));
    }
}

// Right after the first name no focus is shown: Enter or the pad's A goes forward at once,
// and its release does nothing more on the page it opened.
TEST(MenuScreens, EnterWithNoFocusShownStartsAGameFromTheMainMenu) {
    const std::vector<std::function<void(THarness&)>> presses = {
        [](THarness& h) { h.Stroke(vk::Return); },
        [](THarness& h) {
            h.PadButton(TPadButton::A, true);
            h.RunFrames(1);
            h.PadButton(TPadButton::A, false);
            h.RunFrames(1);
        },
    };
    for (size_t i = 0; i < presses.size(); ++i) {
        SCOPED_TRACE(i);
        TMenuHarness m;
        ASSERT_FALSE(m.H.Form().KerbGUI1.KeyboardFocus());
        presses[i](m.H);
        m.H.RunFrames(10);
        EXPECT_EQ(CurrentState, st::ChooseCar);
    }
}

TEST(MenuScreens, TrackChoiceWrapsAndLockedTracksCannotBeRaced) {
    TMenuHarness m;
    m.Open(st::ChooseTrack);
    EXPECT_EQ(TrackIndex, 0);
    m.H.Tap(vk::Left);
    EXPECT_EQ(TrackIndex, LastTrackIndex);
    EXPECT_FALSE(m.Button("bc_race").Visible);
    EXPECT_EQ(m.H.Form().TrackImage->Image->Name, "tr_notav");
    // Enter on a locked track does nothing.
    m.H.Tap(vk::Return);
    EXPECT_EQ(CurrentState, st::ChooseTrack);
    m.Click("bc_next");
    EXPECT_EQ(TrackIndex, 0);
    EXPECT_TRUE(m.Button("bc_race").Visible);
    EXPECT_EQ(m.H.Form().TrackImage->Image->Name, Tracks[0].ImageName);
}

// The race button keeps the keyboard's focus while the arrows choose tracks. Each key is
// released a frame after its press, so a release can reach the screen the press opened.
TEST(MenuScreens, TheFocusedRaceButtonRacesOnlyAnOpenTrackAndOnlyOnce) {
    struct TCase {
        int32_t Step;  // the arrow pressed once the race button has the focus
        uint8_t Expected;
    };
    for (const TCase& c : {TCase{vk::Left, st::ChooseTrack}, TCase{0, st::ChooseCar}}) {
        SCOPED_TRACE(c.Step);
        TMenuHarness m;
        m.Open(st::ChooseTrack);
        TKerbGUI& gui = m.H.Form().KerbGUI1;
        for (int i = 0; i < 8 && gui.Focused() != &m.Button("bc_race"); ++i) m.H.Stroke(vk::Tab);
        ASSERT_EQ(gui.Focused(), &m.Button("bc_race"));
        if (c.Step != 0) m.H.Stroke(c.Step);
        m.H.Stroke(vk::Return);
        m.H.RunFrames(10);
        EXPECT_EQ(CurrentState, c.Expected);
        // The hidden button no longer holds the focus.
        if (c.Step != 0) {
            EXPECT_EQ(gui.Focused(), nullptr);
        }
    }
}

TEST(MenuScreens, CarChoiceWrapsAndOnlyTheButtonRacesALockedCar) {
    TMenuHarness m;
    m.Open(st::ChooseCar);
    m.H.Tap(vk::Right);
    EXPECT_EQ(CarIndex, 1);
    m.H.Tap(vk::Left);
    m.H.Tap(vk::Left);
    EXPECT_EQ(CarIndex, LastCarIndex);
    m.Click("bc_next");
    EXPECT_EQ(CarIndex, 0);
    EXPECT_FLOAT_EQ(m.H.Form().Bars[0]->ScaleX, static_cast<float>(Cars[0].MaxSpeed / 15));
    EXPECT_FLOAT_EQ(m.H.Form().Bars[1]->ScaleX, static_cast<float>(Cars[0].Accel * 10 + 0.1));
    Cars[0].Available = 0;
    m.H.Tap(vk::Return);
    EXPECT_EQ(CurrentState, st::ChooseCar);
    m.Click("bc_race");
    EXPECT_EQ(CurrentState, st::Race);
}

TEST(MenuScreens, HelpPagesTurnAndStopAtTheEnds) {
    TMenuHarness m;
    m.Open(st::Help);
    EXPECT_EQ(m.Button("b_next").Y, 420);
    const char* pictures[] = {"scr_help", "scr_help2", "scr_help3", "scr_help4", "scr_help4"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m.H.Form().PageSprite->Image->Name, pictures[i]);
        EXPECT_EQ(m.H.Form().HelpPage, std::min(i + 1, 4));
        m.Sounds.clear();
        m.Click("b_next");
        EXPECT_EQ(m.Sounds, std::vector<std::string>{"check"});
    }
    for (int i = 0; i < 4; ++i) m.Click("b_prev");
    EXPECT_EQ(m.H.Form().HelpPage, 1);
    EXPECT_EQ(m.H.Form().PageSprite->Image->Name, "scr_help");
}

TEST(MenuScreens, OptionsCancelRestoresAndApplyKeeps) {
    for (const bool apply : {true, false}) {
        SCOPED_TRACE(apply ? "apply" : "cancel");
        TMenuHarness m;
        Volume = 2;
        ExtraText = "hello%%";
        m.Open(st::Options);
        EXPECT_EQ(m.H.Form().Page->Edit()->Text, "hello");
        // The text takes the keyboard only once clicked.
        TypeText(m.H, "X");
        EXPECT_EQ(m.H.Form().Page->Edit()->Text, "hello");
        TKerbEdit& edit = *m.H.Form().Page->Edit();
        m.H.Click(edit.X + 10, edit.Y + 10);
        m.H.RunFrames(1);
        TypeText(m.H, "!");
        m.Click("music");
        EXPECT_EQ(MusicOn, 0);
        m.Click("b_menuright");
        m.Click(apply ? "b_apply" : "b_cancel");
        EXPECT_EQ(CurrentState, st::MainMenu);
        EXPECT_EQ(MusicOn, apply ? 0 : 1);
        EXPECT_EQ(Volume, apply ? 3 : 2);
        EXPECT_EQ(ExtraText, apply ? "hello!" : "hello%%");
        // On disk as well, should the game be killed before it writes again (the file pads
        // the text with '%', and reading takes the padding off).
        const TSettings stored = StoredSettings(m.H);
        EXPECT_EQ(stored.MusicOn, !apply);
        EXPECT_EQ(stored.Volume, apply ? 3 : 2);
        EXPECT_EQ(stored.ExtraText, apply ? "hello!" : "hello");
    }
}

TEST(MenuScreens, HighScoresClearOnlyOnYes) {
    TMenuHarness m;
    HiScores[0].Name = "Zed";
    m.Open(st::ClearHighScores);
    m.Click("b_no");
    EXPECT_EQ(HiScores[0].Name, "Zed");
    m.Click("b_clrhiscr");
    m.Click("b_yes");
    EXPECT_EQ(CurrentState, st::HighScores);
    EXPECT_EQ(HiScores[0].Name, "Anonymous");
}

TEST(MenuScreens, EveryStateTheGameEntersHasItsActions) {
    THarness h({.Start = false});
    for (uint8_t n : {0,  1,  3,  4,  6,  7,  8,  9,  10, 12, 13, 14, 15, 16,
                      19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31})
        EXPECT_TRUE(h.Form().HasActions(n)) << int(n);
}

// The menu path from the logo into a race builds a fresh game: whatever a previous game left.
TEST(MenuScreens, FromTheLogoThroughTheMenusIntoAFreshRace) {
    TMenuHarness m("Rita");
    m.Click("b_stgame");
    ASSERT_EQ(CurrentState, st::ChooseCar);
    m.H.RunFrames(50);
    Level = 7;
    Lives = 1;
    Score = 4321;
    m.Click("bc_race");
    ASSERT_EQ(CurrentState, st::Race);
    EXPECT_NE(Race.PlayerCar, nullptr);
    EXPECT_GT(Race.OpponentsCreated, 0);
    EXPECT_EQ(Level, 1);
    EXPECT_EQ(Lives, 3);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(PlayerName, "Rita");
}
