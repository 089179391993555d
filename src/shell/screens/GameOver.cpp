// The end of a game over the frozen race: time's up (24) and game over (13), each shown for
// 200 frames before the score page (25, YourScore.cpp), or a daily race's own page after it.
#include "shell/Globals.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
class TGameEndPage : public TScreen {
public:
    TGameEndPage(TForm1& form, uint8_t state, const char* picture, bool timesUp)
        : TScreen(form, state), Picture(picture), TimesUp(timesUp) {}

    // No cursor: the page only shows.
    void Enter() override {
        ClearKeyReleased();
        if (TimesUp) F.PlaySound("timesup");
        while (!PlayerName.empty() && PlayerName.back() == '%') PlayerName.pop_back();
        CurrentState = State;
        F.RaceTimer.SetEnabled(false);
        CaretTick = 0;
        StateFrames = 0;
        F.PageSprite = NewPageSprite(F, Picture, "yourscoreis", 2000, 160, 159, true);
        F.KerbSprite1.Move(0);
        if (Race.PlayerCar != nullptr) Race.PlayerCar->Visible = true;
    }

    void Frame() override {
        F.BeginRaceFrame(false);
        if (TimesUp) F.DrawRaceOverlay();
        F.EndRaceFrame();
        if (StateFrames < 200) ++StateFrames;
        if (StateFrames != 200) return;
        // A daily race has its own page after the race, which ends the race world itself.
        if (F.Daily.Active) {
            F.EnterState(st::DailyResult);
            return;
        }
        F.LeaveState(State);
        F.EnterState(st::YourScore);
    }

private:
    const char* Picture;
    bool TimesUp;
};
}  // namespace

void RegisterGameOver(TForm1& form) {
    RegisterScreen(form, std::make_shared<TGameEndPage>(form, st::TimesUp, "scr_timesup", true));
    RegisterScreen(form, std::make_shared<TGameEndPage>(form, st::GameOver, "scr_gameover", false));
}
