// The states entered on top of a running race: pause (20) and the quit menu (0). Both freeze
// the world (drawn, not moved) and return to the race state they interrupted.
#include "platform/KeyCodes.h"
#include "shell/Form1.h"
#include "shell/MenuSprites.h"
#include "world/Dashboard.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

// Resumes the interrupted race state: the wreck (27) when it interrupted a burning car, which
// would otherwise be left in the race without controls, else the race. The clock runs on if
// it ran when the overlay opened: it is stopped during the start lights and after the finish,
// and keeps running through a wreck.
void TForm1::ResumeRace(uint8_t from) {
    PlaySound("check2");
    if (ClockWasRunning) RaceTimer.SetEnabled(true);
    LeaveState(from);
    CurrentState = ResumeState;
}

void TForm1::StopRaceForOverlay() {
    ResumeState = CurrentState == st::Wreck ? st::Wreck : st::Race;
    ClockWasRunning = RaceTimer.Enabled();
    RaceTimer.SetEnabled(false);
}

void TForm1::PauseEnter() {
    StopRaceForOverlay();
    CurrentState = st::Pause;
    ShowCursor(true);
    if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
}

void TForm1::PauseFrame() {
    BeginRaceFrame(false);
    DrawRaceOverlay();
    CenteredText(KerbFont3, 400, 290, "Pause");
    if (Cursor != nullptr) Cursor->Move(0);
    EndRaceFrame();
    if (ConsumeRelease(vk::Escape) || ConsumeRelease(vk::KeyP) || ConsumeRelease(vk::F1))
        ResumeRace(st::Pause);
}

void TForm1::PauseLeave() {
    KerbSprite1.Dead();
    ShowCursor(false);
}

void TForm1::QuitMenuEnter() {
    StopRaceForOverlay();
    CurrentState = st::QuitRaceMenu;
    PageSprite = new TMenuScreen(&KerbSprite1, GameImageList.Find("scr_exitgame"), -640, 159, 2000,
                                 "menuexitgame", 255, true);
    ShowCursor(true);
    if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
    SlideFrames = 0;
}

void TForm1::QuitMenuFrame() {
    // The slide has its own counter: PhaseCounter may be counting the finish delay.
    if (SlideFrames < 20 && PageSprite != nullptr) {
        PageSprite->SetX(PageSprite->X + 40);
        ++SlideFrames;
    }
    BeginRaceFrame(false);
    DrawRaceOverlay();
    if (Cursor != nullptr) Cursor->Move(0);
    EndRaceFrame();
    if (ConsumeRelease(vk::Escape)) {
        ResumeRace(st::QuitRaceMenu);
    } else if (ConsumeRelease(vk::Return)) {
        EndGameToMenu();
    }
}

void TForm1::QuitMenuLeave() {
    if (PageSprite != nullptr) PageSprite->Dead();
    PageSprite = nullptr;
}

// Ends the game from the quit menu: menu music, the race world removed, back to the menus.
void TForm1::EndGameToMenu() {
    if (MusicOn != 0) {
        StopMusic("gamemusic");
        PlayMusic("menumusic");
    }
    LeaveState(st::QuitRaceMenu);
    LeaveState(st::Race);
    PlaySound("check");
    CreateLights();
    RaceTimer.SetEnabled(false);
    // The game is over: what its races opened and their best times are kept now.
    WriteStoredFiles(*this);
    EnterMenuState(st::MainMenu);
}
