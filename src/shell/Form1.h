// TForm1: the game's main window object. It owns the engine components, runs start-up
// (FormCreate, FormShow), turns key events into the key tables, and runs the screen state
// machine: every screen is a numbered state with enter, frame and leave actions. The frame
// timer's tick (KerbTimer1Timer) runs the current state's frame action; the race clock runs on
// RaceTimer. Nothing here touches SDL: the window arrives as a platform object (or none, in
// headless runs) and time as a TClock.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/ImageList.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbFont.h"
#include "engine/KerbGUI.h"
#include "engine/KerbMusic.h"
#include "engine/KerbScreen.h"
#include "engine/KerbSound3D.h"
#include "engine/KerbSprite.h"
#include "engine/KerbTimer.h"
#include "engine/SystemTimer.h"
#include "platform/Controls.h"
#include "platform/InputEvent.h"
#include "shell/daily/DailyRun.h"
#include "shell/Online.h"
#include "shell/Players.h"
#include "shell/Storage.h"
#include "shell/Globals.h"

class TClock;
class TPlatformWindow;
class TCursor;
class TLight;
class TChooseLine;
class TMenuPage;

// The actions of one state; an empty one does nothing. FullScreenKey runs after F11 or
// Alt+Enter flipped full screen while the state was current.
struct TStateActions {
    std::function<void()> Enter;
    std::function<void()> Frame;
    std::function<void()> Leave;
    std::function<void()> FullScreenKey{};
};

// State numbers.
namespace st {
constexpr uint8_t QuitRaceMenu = 0, FirstPlayer = 1, Logo = 3, MainMenu = 4, Help = 6, Options = 7,
                  HighScores = 8, ClearHighScores = 9, ExitGame = 10, Race = 12, GameOver = 13,
                  ChooseTrack = 14, ChooseCar = 15, RaceOver = 16, GameComplete = 19, Pause = 20,
                  AddPlayer = 21, ChangePlayer = 22, DeletePlayer = 23, TimesUp = 24,
                  YourScore = 25, SendScore = 26, Wreck = 27, DailyPreview = 28, DailyResult = 29,
                  DailyTable = 30, Controls = 31;
constexpr int Count = 32;
}  // namespace st

class TForm1 {
public:
    // window may be null: no screen then, as in the headless harness without video.
    TForm1(const TClock& clock, TPlatformWindow* window);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void FormKeyDown(int32_t key);
    void FormKeyUp(int32_t key);
    // Dispatches one platform event (keys, the close box, mouse and text for the GUI).
    void HandleEvent(const TInputEvent& event);
    void KerbTimer1Timer();
    // Window notifications, the keys that act anywhere (Alt+Enter, F11) and the menu focus
    // keys (FormWindow.cpp).
    void HandleWindowEvent(const TInputEvent& event);
    // Whether the key down was used up before the key tables: a full-screen key, or a key the
    // GUI's focus took. Its release is then kept out of the tables too.
    bool TakeKeyDown(const TInputEvent& event);
    bool TakeKeyUp(int32_t key);
    // Flips full screen as the options switch does, and keeps the choice in Config.cfg.
    void ToggleFullScreenKey();
    // Sends a running race to its pause screen (the window went to the background).
    void PauseInBackground();
    // Whether the race layout of the controllers applies (race, wreck, pause), else the menus'.
    bool RaceControls() const;
    // The layout the window maps keys and buttons by: the race's bindings, the menus', or
    // nothing but raw presses while a capture waits.
    TPadLayout InputLayout() const;
    // Tells the window which layout its keys and pad buttons map by now.
    void SyncInputLayout();
    // Hands the bindings to the window, which maps keys and buttons by them.
    void ApplyControls();

    void EnterState(uint8_t n);
    void LeaveState(uint8_t n);
    void FrameState(uint8_t n);
    // Leave the current state, play the click sound, enter state n.
    void ChangeState(uint8_t n, const std::string& clickSound = "check");
    // Replaces the actions of state n (the screens register theirs at construction).
    void SetStateActions(uint8_t n, TStateActions actions);
    // Whether state n has an enter and a frame action: every route must lead to such a state.
    bool HasActions(uint8_t n) const;

    // Plays a sound effect by name (honouring SoundOn).
    void PlaySound(const std::string& name);
    // Starts (or resumes) and stops a song of the module list.
    void PlayMusic(const std::string& name);
    void StopMusic(const std::string& name);

    // The new-game step of the car choice: game music, race pictures, start values, race.
    void NewGame();
    // Loads Data\data2.vil once, showing "loading" meanwhile.
    void LoadGameImages();
    // Asks the main loop to close the window after the current frame.
    void Close() { Closing = true; }
    bool IsClosing() const { return Closing; }
    // A fatal start-up failure closes the game with exit code 1.
    void Terminate() {
        Closing = true;
        Code = 1;
    }
    int ExitCode() const { return Code; }

    // Sends PlayerName's Score (and ExtraText) to the score service in the background; a
    // failed version check shows "Can't connect to server!" once, from a later frame.
    void SubmitScore();
    // Opens the address in "play.url" (program folder, then config folder) in the browser.
    void OpenWebPage();
    // What the menus' web buttons open: the "play.url" address, else the score service's page
    // at servicePath.
    void VisitWebPage(std::string_view servicePath);

    const TClock& Clock;
    TPlatformWindow* Window;
    TKerbScreen KerbScreen1;
    TKerbFont KerbFont1, KerbFont2, KerbFont3;
    TKerbSprite KerbSprite1;
    TKerbImageList KerbImageList1;
    TKerbImageList GameImageList;
    // Milliseconds from exec until every menu picture was decoded and had its texture; -1
    // until then.
    int64_t PicturesReadyMs = -1;
    // How long a frame spends at most taking in menu pictures decoded behind the logo.
    static constexpr double kPictureAdoptBudgetMs = 2.0;
    // The menu's song is being decoded behind the logo and has not started yet.
    bool MenuMusicPending = false;
    void StartMenuMusicWhenReady();
    // On a page a race ends on, decodes the menu's song behind it (a race unloads it).
    void PrepareMenuMusic(uint8_t state);
    // Lets the race's end and pause pages rest while a race runs.
    void RestRaceEndPages();
    TKerbTimer KerbTimer1;
    TKerbTimer AnimTimer;
    TSystemTimer RaceTimer;
    TKerbSound3D Sound3D;
    TKerbMusic KerbMusic1;
    // The menus' widgets and their text; declared after the screen, so freed before it.
    TKerbBitmapFont KerbBitmapFont1;
    TKerbGUI KerbGUI1;
    // Online score submission (libcurl on a worker thread); polled every frame.
    TOnline Online;
    // The daily race: the day's plan, its key log, the last try and its submission.
    TDailyRun Daily;

    // Mouse, key and text events waiting for the GUI, in order; it takes them at the start
    // of the next frame.
    std::vector<TInputEvent> GuiEvents;
    int32_t MouseX = 0, MouseY = 0;

    // Shell fields of the screens.
    TCursor* Cursor = nullptr;
    std::array<TLight*, 2> Lights{};
    // The current screen's page sprite, and its GUI page (shared, so that a button whose
    // action leaves the screen can finish its click while the page is being freed).
    TSprite* PageSprite = nullptr;
    std::shared_ptr<TMenuPage> Page;
    TSprite* StartArrows = nullptr;
    // The choice screens' pictures, the car screen's four bars, the change-player highlight.
    TSprite* TrackImage = nullptr;
    TSprite* CarImage = nullptr;
    std::array<TSprite*, 4> Bars{};
    TChooseLine* ChooseLine = nullptr;
    int32_t HelpPage = 1;
    // The player's key and button bindings (Controls.cfg).
    TControls Controls = DefaultControls();
    // While set, every input event is offered to it first (the controls page waiting for a key
    // or button to bind); an event it returns true for goes no further.
    std::function<bool(const TInputEvent&)> KeyCapture;
    // Whether the game-complete screen has been shown in this game.
    bool GameCompleteShown = false;
    // What the race-over screen unlocked: 0 nothing, 1 a car, 2 a track.
    int32_t UnlockShown = 0;
    // The divided prize the race-over screen counts into the score (the unlock check's span).
    int32_t PrizeWon = 0;
    // The race state that pause and the quit menu return to (12, or 27 during a wreck), and
    // whether the race clock ran when they opened.
    uint8_t ResumeState = st::Race;
    bool ClockWasRunning = false;
    // Every effect played (whether or not a device is there to hear it), for tests.
    std::function<void(const std::string&)> OnPlaySound;
    // The player list, and the best-time slots no track uses; both kept in the settings files.
    TPlayerList Players;
    TSpareBestTimes SpareBestTimes{};
    // --fullscreen (1) or --windowed (0) on the command line, -1 for neither: FormCreate takes
    // it over the stored choice.
    int8_t FullScreenArgument = -1;
    // The seed FormCreate gives the random generator (fixed by tests and replays).
    uint64_t RandomSeed = 0;

    // Draws every sprite. Without a drawing device (headless runs) there are no textures and
    // nothing to draw, so the pass is skipped instead of reporting each sprite.
    void DrawSprites();
    // Menu frame helpers: clear, backdrop, free dead sprites, move and draw them; then the
    // screen's texts, and EndMenuFrame draws the GUI page, the cursor and presents.
    void BeginMenuFrame(int32_t backdropPattern);
    void EndMenuFrame();
    void ShowCursor(bool visible);
    // Points the GUI at the screen and its font at the glyph sheet (FormGui.cpp).
    void InitGui();
    // Hands the waiting events to the GUI (whose button actions may change the state).
    void FeedGui();
    void CreateLights();
    void KillLights();
    void ShowLights(bool visible);
    void KillSpritesNamed(const std::string& name);
    // Kills the page sprite and frees the GUI page.
    void KillPage();
    void FreePage();
    // Text centred at cx: x = cx - width div 2.
    static void CenteredText(TKerbFont& font, int32_t cx, int32_t y, const std::string& text);

    // Race frame helpers shared by the race and the pages shown over it.
    void BeginRaceFrame(bool move);
    void EndRaceFrame();
    void DrawRaceOverlay();
    // Ends the game from the quit menu or the send-score page: the race world removed, back
    // to the menu music and the menu lights.
    void LeaveRaceWorld(uint8_t page, const std::string& song);

private:
    void RegisterStates();
    bool OfferCapture(const TInputEvent& event);
    // Runs a sound call; a sound file that cannot be read is reported once, not fatal.
    void GuardSound(const std::function<void()>& call);
    void RegisterRaceStates();

    // The race (12) and the wreck (27).
    void RaceEnter();
    void RaceFrame();
    void RaceLeave();
    void RaceTimerTimer();
    void StartLights(int32_t p);
    void RaceKeys(bool horn);
    bool FinishDelay();
    void TimeRanOut();
    void WreckEnter();
    void WreckFrame();
    void Respawn();

    std::array<TStateActions, st::Count> States;
    // Keys whose press was used up before the key tables: their release is too.
    std::array<bool, 256> SwallowRelease{};
    bool Closing = false;
    int Code = 0;
    std::vector<std::string> SoundErrorsShown;
};
