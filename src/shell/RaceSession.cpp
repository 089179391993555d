// A new game and the race state (12): the race frame with its start lights, overlay, clock,
// wrong-way message, recovery and wreck check, and the race clock's 10 ms tick. What the frame
// does to the race world is world code (world/RaceStep.h), which a daily race's replay runs too;
// this file draws around it and changes screens.
#include <algorithm>

#include "platform/Allocator.h"
#include "platform/KeyCodes.h"
#include "platform/Paths.h"
#include "shell/Form1.h"
#include "shell/daily/DailyRace.h"
#include "shell/screens/MenuPage.h"
#include "shell/screens/MenuSprites.h"
#include "world/Dashboard.h"
#include "world/EnemyCar.h"
#include "world/GameTables.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RaceRecord.h"
#include "world/RaceStep.h"
#include "world/Random.h"
#include "world/TimeText.h"

namespace {
void DrawAt(TKerbImageList& list, const char* name, int32_t x, int32_t y, int32_t alpha) {
    if (TImageListItem* item = list.Find(name))
        item->DrawColor(x, y, 0, 0, 0, 1, 1,
                        (static_cast<uint32_t>(alpha & 0xFF) << 24) | 0xFFFFFFu, false, false, 0,
                        0);
}
}  // namespace

void TForm1::RegisterRaceStates() {
    SetStateActions(st::Race,
                    {[this] { RaceEnter(); }, [this] { RaceFrame(); }, [this] { RaceLeave(); }});
    SetStateActions(st::Wreck, {[this] { WreckEnter(); }, [this] { WreckFrame(); }, {}});
}

void TForm1::LoadGameImages() {
    if (GameImagesLoaded != 0) return;
    KerbScreen1.Clear(0, 0, 0, 0);
    KerbScreen1.BeginScene();
    if (TImageListItem* loading = KerbImageList1.Find("loading")) loading->Draw(0, 0, 0);
    KerbScreen1.EndScene();
    // The menu's pages are not drawn in a race: their memory makes room for the race's
    // pictures (they are decoded again when the menus come back).
    KerbImageList1.RestAll();
    GameImageList.ImageList.LoadFromFile(GamePath("Data\\data2.vil"));
    GameImageList.Initialize();
    GameImagesLoaded = 1;
    if (KerbScreen1.Fatal()) Terminate();
}

void TForm1::RestRaceEndPages() {
    // The big pages a race ends (or pauses) on are not drawn while it runs: they rest, and the
    // page that shows one wakes it then, with the race stopped behind it.
    static const char* const kPages[] = {"scr_raceover",  "scr_timesup", "scr_gameover",
                                         "scr_yourscore", "scr_send",    "scr_exitgame",
                                         "gamecompl"};
    bool rested = false;
    for (const char* name : kPages) {
        TImageListItem* page = GameImageList.Find(name);
        if (page == nullptr || !page->CanRest()) continue;
        page->Rest();
        rested = true;
    }
    if (rested) ReturnFreedMemory();
}

void TForm1::NewGame() {
    if (MusicOn != 0) {
        StopMusic("menumusic");
        PlayMusic("gamemusic");
    }
    PlaySound("check");
    LeaveState(CurrentState);
    KillLights();
    KerbSprite1.Dead();
    LoadGameImages();
    Level = 1;
    Lives = 3;
    ResetDifficulty();
    Score = 0;
    Race.CarVariant = Random(3);
    EnterState(st::Race);
}

void TForm1::RaceEnter() {
    ClearKeyReleased();
    KerbFont1.SetFont("Micra", 30, fsBold);
    KerbFont1.SetColor(20, 20, 20);
    KerbFont2.SetFont("Micra", 8, fsBold);
    KerbFont2.SetColor(20, 20, 20);
    KerbFont3.SetFont("Micra", 12, fsBold);
    KerbFont3.SetColor(255, 0, 0);
    CurrentState = st::Race;
    // The menu's song is not heard in a race: its decoded module makes room (a page after the
    // race decodes it again behind itself, PrepareMenuMusic).
    GuardSound([&] { Sound3D.UnloadModule("menumusic"); });
    // Road pieces and explosions are drawn now and then: in a race their pictures stay awake,
    // all woken here rather than each at its first use, in the middle of the race.
    if (GameImageList.MayRest) {
        GameImageList.MayRest = false;
        GameImageList.WakeAll();
        KerbImageList1.RestAll();
    }
    RestRaceEndPages();
    BeginRace();
    if (Race.PlayerCar == nullptr) return;
    StateFrames = 0;
    StartArrows = new TBegArrows(&KerbSprite1, 397, 423);
    ShowCursor(false);
}

void TForm1::BeginRaceFrame(bool move) {
    KerbScreen1.Clear(0, 0, 0, 0);
    KerbSprite1.Dead();
    KerbScreen1.BeginScene();
    GameImageList.BeginDraw();
    // The cursor goes on top of the page's buttons, so EndRaceFrame draws it.
    const bool cursorShown = Cursor != nullptr && Cursor->Visible;
    if (cursorShown) Cursor->Visible = false;
    DrawSprites();
    if (cursorShown) Cursor->Visible = true;
    if (move) KerbSprite1.Move(0);
}

void TForm1::EndRaceFrame() {
    KerbGUI1.Draw();
    if (Cursor != nullptr && Cursor->Visible && KerbScreen1.HasDevice()) {
        // Race states move the cursor themselves.
        Cursor->Move(0);
        Cursor->Draw();
    }
    GameImageList.EndDraw();
    KerbScreen1.EndScene();
}

void TForm1::LeaveRaceWorld(uint8_t page, const std::string& song) {
    if (MusicOn != 0) {
        StopMusic(song);
        PlayMusic("menumusic");
    }
    SetRaceClockRunning(false);
    LeaveState(page);
    LeaveState(st::Race);
}

void TForm1::StartLights(int32_t p) {
    if (p > 0 && p < 250) DrawAt(GameImageList, "svetophor", 300, 50, 255);
    if (p == 50 || p == 150) PlaySound("svet1");
    if (p == 250) PlaySound("svet2");
    if (p > 50 && p < 250) DrawAt(GameImageList, "redlight", 286, 37, 255);
    if (p > 150 && p < 250) DrawAt(GameImageList, "yellowlight", 360, 37, 255);
    if (p < 150) {
        const std::string text = "Level " + std::to_string(Level);
        KerbFont1.TextOutInverse(400 - KerbFont1.TextWidth(text) / 2, 260, text);
    }
    if (p > 249 && p < 300) {
        const int32_t alpha = std::clamp(1505 - 5 * p, 0, 255);
        DrawAt(GameImageList, "svetophor", 300, 50, alpha);
        DrawAt(GameImageList, "redlight", 286, 37, alpha);
        DrawAt(GameImageList, "yellowlight", 360, 37, alpha);
        DrawAt(GameImageList, "greenlight", 434, 38, alpha);
        if (StartArrows != nullptr) StartArrows->SetAlpha(std::max(StartArrows->Alpha - 5, 0));
    }
    if (p == 300) {
        if (StartArrows != nullptr) StartArrows->Dead();
        StartArrows = nullptr;
        KerbSprite1.Dead();
    }
    if (p >= 0 && p <= 300) ++StateFrames;
}

void TForm1::DrawRaceOverlay() {
    const TPlayer* p = Race.PlayerCar;
    if (p != nullptr)
        KerbFont2.TextOut(
            750, 19, std::to_string(p->Place) + "/" + std::to_string(Race.OpponentsCreated + 1));
    CenteredText(KerbFont2, 760, 51,
                 ClockText(Race.ClockMinutes, Race.ClockSeconds, Race.ClockHundredths));
    CenteredText(KerbFont2, 763, 84, std::to_string(Lives));
    CenteredText(KerbFont2, 598, 573, std::to_string(Score));
}

// After the player's crossing, waits 150 frames, then ends the frame and shows the race-over
// screen. Returns whether it did.
bool TForm1::FinishDelay() {
    if (Race.RaceFinished == 0) return false;
    if (PhaseCounter == 150) {
        SetRaceClockRunning(false);
        EndRaceFrame();
        // A daily race has its own page after the finish.
        EnterState(Daily.Active ? st::DailyResult : st::RaceOver);
        return true;
    }
    ++PhaseCounter;
    return false;
}

void TForm1::RaceKeys(bool horn) {
    if (KeyTables.Released[vk::Escape] != 0) {
        KeyTables.Released[vk::Escape] = 0;
        PlaySound("check2");
        EnterState(st::QuitRaceMenu);
    } else if (KeyTables.Released[vk::KeyP] != 0 || KeyTables.Released[vk::F1] != 0) {
        KeyTables.Released[vk::KeyP] = KeyTables.Released[vk::F1] = 0;
        PlaySound("check2");
        EnterState(st::Pause);
    } else if (horn &&
               (KeyTables.Released[vk::KeyH] != 0 || KeyTables.Released[vk::Numpad8] != 0)) {
        KeyTables.Released[vk::KeyH] = KeyTables.Released[vk::Numpad8] = 0;
        PlaySound("horn");
    }
}

void TForm1::RaceFrame() {
    // Every race state needs the race world; without one there is nothing to run.
    if (Race.PlayerCar == nullptr) return;
    const int32_t p = StateFrames;
    // The world is drawn as it stands, then moves.
    BeginRaceFrame(false);
    DrawDailyGhost(*this);
    const bool clockLeft = RaceWorldFrame(p);
    StartLights(p);
    TPlayer* player = Race.PlayerCar;
    if (player->Backtrack < -300 && player->TravelStep > 0)
        CenteredText(KerbFont3, 400, 290, "Wrong way!");
    DrawRaceOverlay();
    if (!clockLeft) return TimeRanOut();
    // The race-over screen takes over: the keys, recovery and wreck checks of this frame
    // belong to a race that has ended.
    if (FinishDelay()) return;
    EndRaceFrame();
    RaceKeys(true);
    // Pause or the quit menu took over; the wreck check waits for the race to resume.
    if (CurrentState != st::Race) return;
    RecoverPlayer();
    if (Race.PlayerWrecked != 0) EnterState(st::Wreck);
}

// A frame-driven clock ran out during the frame: the frame ends as drawn so far.
void TForm1::TimeRanOut() {
    EndRaceFrame();
    EnterState(st::TimesUp);
}

void TForm1::RaceLeave() {
    if (Race.PlayerCar != nullptr && Race.PlayerCar->HealthBar != nullptr)
        Race.PlayerCar->HealthBar->ShowHealth(Race.PlayerCar->Health);
    for (TSprite* s : KerbSprite1.SpriteList) {
        if (s->Name != "cursor" && s->Name != "gp" && s->Name != "healthbar" && s->Name != "player")
            s->Dead();
    }
    if (Race.PlayerCar != nullptr) {
        if (Race.PlayerCar->HealthBar != nullptr) Race.PlayerCar->HealthBar->Dead();
        Race.PlayerCar->Dead();
    }
    KerbSprite1.Dead();
    Race.PlayerCar = nullptr;
    Race.HeadPiece = nullptr;
    Race.OpponentCars.fill(nullptr);
    Race.OpponentsCreated = 0;
    StartArrows = nullptr;
    PageSprite = nullptr;
}

void TForm1::RaceTimerTimer() {
    // A daily race's clock runs on the race steps, not on this timer.
    if (RaceClock.FrameDriven) return;
    if (!RaceClockTick()) EnterState(st::TimesUp);
}

// The wreck (27): the car burns for 200 frames, then the game ends or the car is put back.
void TForm1::WreckEnter() {
    if (Race.PlayerCar == nullptr) return;
    CurrentState = st::Wreck;
    StateFrames = 0;
    WreckPlayer();
}

void TForm1::Respawn() {
    RespawnPlayer();
    StateFrames = 301;
    CurrentState = st::Race;
}

void TForm1::WreckFrame() {
    if (Race.PlayerCar == nullptr) return;
    const int32_t p = StateFrames;
    BeginRaceFrame(false);
    DrawDailyGhost(*this);
    const bool clockLeft = WreckWorldFrame();
    DrawRaceOverlay();
    if (!clockLeft) return TimeRanOut();
    // A burning car that rolls over the line still finishes the race.
    if (FinishDelay()) return;
    EndRaceFrame();
    // No horn from a burning car.
    RaceKeys(false);
    if (CurrentState != st::Wreck) return;
    // A burning car that has crossed the line waits for the race-over screen: the finish wins
    // over game over and over the respawn.
    if (Race.RaceFinished != 0) return;
    if (p >= 0 && p <= 200) ++StateFrames;
    if (p != 200) return;
    if (Lives < 2) {
        EnterState(st::GameOver);
    } else {
        Respawn();
    }
}
