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

#include "engine/ImageList.h"
#include "engine/KerbSprite.h"
#include "engine/KerbTimer.h"
#include "engine/SystemTimer.h"
#include "platform/InputEvent.h"

class TClock;
class TPlatformWindow;

// The three actions of one state; an empty one does nothing.
struct TStateActions {
    std::function<void()> Enter;
    std::function<void()> Frame;
    std::function<void()> Leave;
};

// State numbers.
namespace st {
constexpr uint8_t QuitRaceMenu = 0, FirstPlayer = 1, Logo = 3, MainMenu = 4, Help = 6,
                  Options = 7, HighScores = 8, ClearHighScores = 9, ExitGame = 10, Race = 12,
                  GameOver = 13, ChooseTrack = 14, ChooseCar = 15, RaceOver = 16,
                  GameComplete = 19, Pause = 20, AddPlayer = 21, ChangePlayer = 22,
                  DeletePlayer = 23, TimesUp = 24, YourScore = 25, SendScore = 26, Wreck = 27;
constexpr int Count = 28;
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

    void EnterState(uint8_t n);
    void LeaveState(uint8_t n);
    void FrameState(uint8_t n);
    // Leave the current state, play the click sound, enter state n.
    void ChangeState(uint8_t n, const std::string& clickSound = "check");
    // Replaces the actions of state n (the state modules register theirs at construction).
    void SetStateActions(uint8_t n, TStateActions actions);

    // Plays a sound effect by name (honouring SoundOn).
    void PlaySound(const std::string& name);
    // Asks the main loop to close the window after the current frame.
    void Close() { Closing = true; }
    bool IsClosing() const { return Closing; }
    // A fatal start-up failure closes the game with exit code 1.
    void Terminate() {
        Closing = true;
        Code = 1;
    }
    int ExitCode() const { return Code; }

    const TClock& Clock;
    TPlatformWindow* Window;
    TKerbSprite KerbSprite1;
    TKerbImageList KerbImageList1;
    TKerbImageList GameImageList;
    TKerbTimer KerbTimer1;
    TKerbTimer AnimTimer;
    TSystemTimer RaceTimer;

    // Mouse and text events waiting for the GUI, in order.
    std::vector<TInputEvent> GuiEvents;
    // Every effect played, for tests and the sound component to hook.
    std::function<void(const std::string&)> OnPlaySound;
    // The seed FormCreate gives the random generator (fixed by tests and replays).
    uint64_t RandomSeed = 0;

private:
    void RegisterStates();

    std::array<TStateActions, st::Count> States;
    bool Closing = false;
    int Code = 0;
};
