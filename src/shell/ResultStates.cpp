// The screens after a race: race over (16) with the prize count-up and the next race, time's
// up (24), game over (13), your score (25) and send score (26) with the high-score entry.
#include "platform/KeyCodes.h"
#include "shell/Form1.h"
#include "shell/HighScores.h"
#include "shell/MenuSprites.h"
#include "shell/Storage.h"
#include "world/GameTables.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"
#include "world/TimeText.h"

namespace {
// The player's race time from the hundredths the clock ran since the green light.
void RaceTime(int32_t& minutes, int32_t& seconds, int32_t& hundredths) {
    const int32_t total = Race.RaceHundredths;
    minutes = total / 6000;
    seconds = total / 100 % 60;
    hundredths = total % 100;
}

void KeepBestTime() {
    if (TrackIndex < 0 || TrackIndex >= static_cast<int32_t>(Tracks.size())) return;
    TTrack& t = Tracks[static_cast<size_t>(TrackIndex)];
    int32_t m = 0, s = 0, h = 0;
    RaceTime(m, s, h);
    if (!TimeNotAfter(t.BestHundredths, t.BestSeconds, t.BestMinutes, h, s, m)) {
        t.BestMinutes = m;
        t.BestSeconds = s;
        t.BestHundredths = h;
    }
}
}  // namespace

void TForm1::RegisterResultStates() {
    SetStateActions(st::RaceOver, {[this] { RaceOverEnter(); }, [this] { RaceOverFrame(); },
                                   [this] { KillPage(); }});
    SetStateActions(st::TimesUp, {[this] { TimesUpEnter(); }, [this] { TimesUpFrame(); },
                                  [this] { KillPage(); }});
    SetStateActions(st::GameOver, {[this] { GameOverEnter(); }, [this] { GameOverFrame(); },
                                   [this] { KillPage(); }});
    SetStateActions(st::YourScore, {[this] { YourScoreEnter(); }, [this] { YourScoreFrame(); },
                                    [this] { KillPage(); }});
    SetStateActions(st::SendScore, {[this] { SendScoreEnter(); }, [this] { SendScoreFrame(); },
                                    [this] { KillPage(); }});
}

void TForm1::KillPage() {
    if (PageSprite != nullptr) PageSprite->Dead();
    PageSprite = nullptr;
}

void TForm1::ResultPage(const std::string& picture, const std::string& name) {
    PageSprite =
        new TMenuScreen(&KerbSprite1, GameImageList.Find(picture), 160, 159, 2000, name, 255, true);
}

void TForm1::RaceOverEnter() {
    ClearKeyTables();
    CurrentState = st::RaceOver;
    KerbFont1.SetFont("Micra", 13, fsBold);
    KerbFont1.SetColor(30, 30, 30);
    if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
    Race.RevealStep = 0;
    NextButtonShown = false;
    UnlockShown = 0;
    PlaySound("finish");
    ResultPage("scr_raceover", "raceover");
    Prize = Prize / std::max(Race.FinishPlace, 1);
    PrizeWon = Prize;
    StateFrames = 0;
    PhaseCounter = 2000;
    ShowCursor(true);
    Race.ScoreAtFinish = Score;
}

void TForm1::RaceOverFrame() {
    BeginRaceFrame(false);
    if (Cursor != nullptr) Cursor->Move(0);
    for (int32_t step = 1; step <= 4; ++step)
        if (StateFrames == 70 * step) Race.RevealStep = step;
    if (StateFrames > 350 && PhaseCounter > 1000) {
        if (Prize <= 0) {
            PhaseCounter = 0;
        } else {
            ++Score;
            --Prize;
        }
    }
    if (PhaseCounter >= 0 && PhaseCounter <= 100) {
        ++PhaseCounter;
    } else if (PhaseCounter == 101) {
        NextButtonShown = true;
        if (UnlockStage <= 8 && CheckUnlock(Race.ScoreAtFinish, PrizeWon) != 0) {
            // Past the ladder's end a crossing opens nothing, and says nothing.
            if (const int32_t opened = UnlockNext(); opened != 0) UnlockShown = opened;
        }
    }
    ++StateFrames;
    const int32_t step = Race.RevealStep;
    if (step >= 1) CenteredText(KerbFont1, 532, 279, std::to_string(Race.FinishPlace));
    if (step >= 2)
        CenteredText(KerbFont1, 532, 309,
                     ClockText(Race.FinishMinutes, Race.FinishSeconds, Race.FinishHundredths));
    if (step >= 3) CenteredText(KerbFont1, 532, 338, std::to_string(Prize));
    if (step >= 4) CenteredText(KerbFont1, 532, 367, std::to_string(Score));
    if (UnlockShown != 0)
        CenteredText(KerbFont1, 400, 420,
                     UnlockShown == 2 ? "New track available!" : "New car available!");
    EndRaceFrame();
    if (NextButtonShown && (ConsumeRelease(vk::Return) || ConsumeRelease(vk::Space)))
        RaceOverNext();
}

void TForm1::RaceOverNext() {
    PlaySound("check");
    KeepBestTime();
    Race.RevealStep = 0;
    LeaveState(st::RaceOver);
    LeaveState(st::Race);
    ++Level;
    AdvanceDifficulty(Level);
    EnterState(st::Race);
}

void TForm1::TimesUpEnter() {
    ClearKeyReleased();
    PlaySound("timesup");
    while (!PlayerName.empty() && PlayerName.back() == '%') PlayerName.pop_back();
    CurrentState = st::TimesUp;
    RaceTimer.SetEnabled(false);
    CaretTick = 0;
    StateFrames = 0;
    ResultPage("scr_timesup", "yourscoreis");
    KerbSprite1.Move(0);
    if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
}

void TForm1::TimesUpFrame() {
    BeginRaceFrame(false);
    DrawRaceOverlay();
    if (Cursor != nullptr) Cursor->Move(0);
    EndRaceFrame();
    if (StateFrames < 200) ++StateFrames;
    if (StateFrames == 200) {
        LeaveState(st::TimesUp);
        EnterState(st::YourScore);
    }
}

void TForm1::GameOverEnter() {
    ClearKeyReleased();
    while (!PlayerName.empty() && PlayerName.back() == '%') PlayerName.pop_back();
    CurrentState = st::GameOver;
    RaceTimer.SetEnabled(false);
    CaretTick = 0;
    StateFrames = 0;
    ResultPage("scr_gameover", "yourscoreis");
    KerbSprite1.Move(0);
    if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
}

void TForm1::GameOverFrame() {
    BeginRaceFrame(false);
    if (Cursor != nullptr) Cursor->Move(0);
    EndRaceFrame();
    if (StateFrames < 200) ++StateFrames;
    if (StateFrames == 200) {
        LeaveState(st::GameOver);
        EnterState(st::YourScore);
    }
}

void TForm1::YourScoreEnter() {
    if (MusicOn != 0) {
        StopMusic("gamemusic");
        PlayMusic("losemusic");
    }
    ClearKeyTables();
    CurrentState = st::YourScore;
    KerbFont1.SetFont("Micra", 20, fsBold);
    KerbFont1.SetColor(30, 30, 30);
    NextButtonShown = false;
    ResultPage("scr_yourscore", "yourscore");
    StateFrames = 0;
    ShowCursor(true);
}

void TForm1::YourScoreFrame() {
    BeginRaceFrame(false);
    if (Cursor != nullptr) Cursor->Move(0);
    if (StateFrames > 100) CenteredText(KerbFont1, 398, 279, std::to_string(Score));
    EndRaceFrame();
    if (StateFrames < 201) ++StateFrames;
    if (StateFrames == 201) NextButtonShown = true;
    if (NextButtonShown && (ConsumeRelease(vk::Return) || ConsumeRelease(vk::Space))) {
        PlaySound("check");
        LeaveState(st::YourScore);
        EnterState(st::SendScore);
    }
}

void TForm1::SendScoreEnter() {
    ClearKeyTables();
    CurrentState = st::SendScore;
    KerbFont1.SetFont("Micra", 20, fsBold);
    KerbFont1.SetColor(30, 30, 30);
    ResultPage("scr_send", "sendscore");
    StateFrames = 0;
    ShowCursor(true);
}

void TForm1::SendScoreFrame() {
    BeginRaceFrame(false);
    if (Cursor != nullptr) Cursor->Move(0);
    EndRaceFrame();
    // Enter answers yes, Escape no; both lead on alike until scores can be sent.
    if (ConsumeRelease(vk::Return) || ConsumeRelease(vk::Escape)) SendScoreAnswer();
}

void TForm1::SendScoreAnswer() {
    if (MusicOn != 0) {
        StopMusic("losemusic");
        PlayMusic("menumusic");
    }
    PlaySound("check");
    LeaveState(st::SendScore);
    LeaveState(st::Race);
    const bool entered = EnterHighScore(PlayerName, Score);
    // The game is over: its unlocks, best times and high score are kept now.
    WriteStoredFiles(*this);
    CreateLights();
    EnterMenuState(entered ? st::HighScores : st::MainMenu);
}
