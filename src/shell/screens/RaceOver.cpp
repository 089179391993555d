// The race-over screen (16): the place, time, prize and score revealed one by one, the prize
// counted into the score, the unlock check, and "next" to the next, harder race. The first
// time a race-over screen opens the last track, "next" shows the game-complete page (19)
// before the next race.
#include <algorithm>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/GameTables.h"
#include "world/Player.h"
#include "world/RaceRecord.h"
#include "world/TimeText.h"

namespace {
// The player's race time from the hundredths the clock ran since the green light; it
// replaces the track's best time when it is strictly smaller.
void KeepBestTime() {
    if (TrackIndex < 0 || TrackIndex >= static_cast<int32_t>(Tracks.size())) return;
    TTrack& t = Tracks[static_cast<size_t>(TrackIndex)];
    const int32_t total = Race.RaceHundredths;
    const int32_t m = total / 6000, s = total / 100 % 60, h = total % 100;
    if (TimeNotAfter(t.BestHundredths, t.BestSeconds, t.BestMinutes, h, s, m)) return;
    t.BestMinutes = m;
    t.BestSeconds = s;
    t.BestHundredths = h;
}

bool LastTrackOpen() {
    return Tracks[static_cast<size_t>(LastTrackIndex)].Available != 0;
}

// The next race: the world of this one goes, the difficulty rises.
void NextRace(TForm1& f) {
    f.LeaveState(st::Race);
    ++Level;
    AdvanceDifficulty(Level);
    f.EnterState(st::Race);
}

class TRaceOver : public TScreen {
public:
    explicit TRaceOver(TForm1& form) : TScreen(form, st::RaceOver) {}

    // Over the finished race, taking every key afresh.
    void Enter() override {
        ClearKeyTables();
        CurrentState = st::RaceOver;
        F.KerbFont1.SetFont("Micra", 13, fsBold);
        F.KerbFont1.SetColor(30, 30, 30);
        if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
        Race.RevealStep = 0;
        NewPage(F);
        AddButton(
            F, "bro_next", 462, 412, [this] { Next(); }, true)
            .Visible = false;
        F.UnlockShown = 0;
        LastTrackWasOpen = LastTrackOpen();
        F.PlaySound("finish");
        F.PageSprite = NewPageSprite(F, "scr_raceover", "raceover", 2000, 160, 159, true);
        Prize = Prize / std::max(Race.FinishPlace, 1);
        F.PrizeWon = Prize;
        StateFrames = 0;
        PhaseCounter = 2000;
        F.ShowCursor(true);
        Race.ScoreAtFinish = Score;
    }

    void Frame() override {
        F.BeginRaceFrame(false);
        Count();
        DrawResults();
        F.EndRaceFrame();
        if (F.Page->Button("bro_next")->Visible && ConsumeRelease(vk::Return)) Next();
    }

private:
    void Count() {
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
            F.Page->Button("bro_next")->Visible = true;
            Unlock();
        }
        ++StateFrames;
    }

    void Unlock() {
        if (UnlockStage > 8 || CheckUnlock(Race.ScoreAtFinish, F.PrizeWon) == 0) return;
        // Past the ladder's end a crossing opens nothing, and says nothing.
        if (const int32_t opened = UnlockNext(); opened != 0) F.UnlockShown = opened;
    }

    void DrawResults() {
        const int32_t step = Race.RevealStep;
        if (step >= 1)
            TForm1::CenteredText(F.KerbFont1, 532, 279, std::to_string(Race.FinishPlace));
        if (step >= 2)
            TForm1::CenteredText(
                F.KerbFont1, 532, 309,
                ClockText(Race.FinishMinutes, Race.FinishSeconds, Race.FinishHundredths));
        if (step >= 3) TForm1::CenteredText(F.KerbFont1, 532, 338, std::to_string(Prize));
        if (step >= 4) TForm1::CenteredText(F.KerbFont1, 532, 367, std::to_string(Score));
        // What opened, in the race's red, left of the button at the page's foot.
        if (F.UnlockShown != 0)
            TForm1::CenteredText(
                F.KerbFont3, 300, 412,
                F.UnlockShown == 2 ? "New track available!" : "New car available!");
    }

    void Next() {
        F.PlaySound("check");
        KeepBestTime();
        Race.RevealStep = 0;
        F.LeaveState(st::RaceOver);
        if (!LastTrackWasOpen && LastTrackOpen()) {
            F.EnterState(st::GameComplete);
            return;
        }
        NextRace(F);
    }

    bool LastTrackWasOpen = false;
};

// The game-complete page over the finished race; after 550 frames (or Enter) the game goes
// on with the next race.
class TGameComplete : public TScreen {
public:
    explicit TGameComplete(TForm1& form) : TScreen(form, st::GameComplete) {}

    // No cursor: the page only shows.
    void Enter() override {
        ClearKeyTables();
        CurrentState = st::GameComplete;
        F.PageSprite = NewPageSprite(F, "gamecompl", "gamecompl", 2000, 160, 159, true);
        F.ShowCursor(false);
        StateFrames = 0;
    }

    void Frame() override {
        F.BeginRaceFrame(false);
        F.EndRaceFrame();
        ++StateFrames;
        if (StateFrames > 550 || ConsumeRelease(vk::Return) || ConsumeRelease(vk::Escape)) {
            F.PlaySound("check");
            F.LeaveState(st::GameComplete);
            NextRace(F);
        }
    }
};
}  // namespace

void RegisterRaceOver(TForm1& form) {
    RegisterScreen(form, std::make_shared<TRaceOver>(form));
    RegisterScreen(form, std::make_shared<TGameComplete>(form));
}
