// The states entered on top of a running race: pause (20) and the quit menu (0). Both freeze
// the world (drawn, not moved) and return to the race state they interrupted. The quit menu
// asks with two buttons; Enter answers yes (end the game) and Escape no (race on).
#include <cstdio>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/Storage.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
// Resumes the interrupted race state: the wreck (27) when it interrupted a burning car, which
// would otherwise be left in the race without controls, else the race. The clock runs on if
// it ran when the overlay opened: it is stopped during the start lights and after the finish,
// and keeps running through a wreck.
void ResumeRace(TForm1& f, uint8_t from, const char* sound) {
    f.PlaySound(sound);
    if (f.ClockWasRunning) f.RaceTimer.SetEnabled(true);
    f.LeaveState(from);
    CurrentState = f.ResumeState;
}

void Interrupt(TForm1& f, uint8_t state) {
    f.ResumeState = CurrentState == st::Wreck ? st::Wreck : st::Race;
    f.ClockWasRunning = f.RaceTimer.Enabled();
    f.RaceTimer.SetEnabled(false);
    // A test driving the real program learns from this whether its keys moved the car.
    if (StateTrace != nullptr && Race.PlayerCar != nullptr)
        std::fprintf(StateTrace, "speed %.2f\n", Race.PlayerCar->Speed);
    CurrentState = state;
    f.ShowCursor(true);
    if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
}

class TPause : public TScreen {
public:
    explicit TPause(TForm1& form) : TScreen(form, st::Pause) {}

    void Enter() override { Interrupt(F, st::Pause); }

    void Frame() override {
        F.BeginRaceFrame(false);
        F.DrawRaceOverlay();
        TForm1::CenteredText(F.KerbFont3, 400, 290, "Pause");
        F.EndRaceFrame();
        if (ConsumeRelease(vk::Escape) || ConsumeRelease(vk::KeyP) || ConsumeRelease(vk::F1))
            ResumeRace(F, st::Pause, "check2");
    }

    void Leave() override {
        F.KerbSprite1.Dead();
        F.ShowCursor(false);
    }
};

class TQuitRaceMenu : public TScreen {
public:
    explicit TQuitRaceMenu(TForm1& form) : TScreen(form, st::QuitRaceMenu) {}

    void Enter() override {
        Interrupt(F, st::QuitRaceMenu);
        F.PageSprite = NewPageSprite(F, "scr_exitgame", "menuexitgame", 2000, -640, 159, true);
        NewPage(F);
        AddButton(
            F, "b_no1", -380, 371, [this] { ResumeRace(F, st::QuitRaceMenu, "check"); }, true);
        AddButton(
            F, "b_yes1", -550, 371, [this] { EndGame(); }, true);
        SlideFrames = 0;
    }

    void Frame() override {
        SlideIn(F, SlideFrames);
        F.BeginRaceFrame(false);
        F.DrawRaceOverlay();
        F.EndRaceFrame();
        if (ConsumeRelease(vk::Escape)) {
            ResumeRace(F, st::QuitRaceMenu, "check2");
        } else if (ConsumeRelease(vk::Return)) {
            EndGame();
        }
    }

    void Leave() override {
        F.ShowCursor(false);
        F.KillPage();
    }

private:
    void EndGame() {
        F.LeaveRaceWorld(st::QuitRaceMenu, "gamemusic");
        F.PlaySound("check");
        F.CreateLights();
        // The game is over: what its races opened and their best times are kept now.
        WriteStoredFiles(F);
        F.EnterState(st::MainMenu);
    }

    // The slide-in's own count: StateFrames and PhaseCounter belong to the race under it
    // (the start lights, the finish delay).
    int32_t SlideFrames = 0;
};
}  // namespace

void RegisterRaceOverlays(TForm1& form) {
    RegisterScreen(form, std::make_shared<TPause>(form));
    RegisterScreen(form, std::make_shared<TQuitRaceMenu>(form));
}
