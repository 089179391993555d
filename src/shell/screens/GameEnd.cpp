// The end of a game: time's up (24) and game over (13) show for 200 frames, then the score
// (25) and the question whether to send it (26); the answer enters the score into the local
// table and leads to the table (or the main menu when the score did not make it). Enter
// acts as the forward button, Escape as "no".
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/HighScores.h"
#include "shell/Storage.h"
#include "shell/screens/PlayerAccess.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
// Time's up and game over: the frozen race under the page, then the score screen.
class TGameEndPage {
public:
    TGameEndPage(TForm1& form, uint8_t state, const char* picture, bool timesUp)
        : F(form), State(state), Picture(picture), TimesUp(timesUp) {}

    void Enter() {
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

    void Frame() {
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

    void Leave() { F.KillPage(); }

private:
    TForm1& F;
    uint8_t State;
    const char* Picture;
    bool TimesUp;
};

class TYourScore {
public:
    explicit TYourScore(TForm1& form) : F(form) {}

    void Enter() {
        if (MusicOn != 0) {
            F.StopMusic("gamemusic");
            F.PlayMusic("losemusic");
        }
        ClearKeyTables();
        CurrentState = st::YourScore;
        F.KerbFont1.SetFont("Micra", 20, fsBold);
        F.KerbFont1.SetColor(30, 30, 30);
        NewPage(F);
        AddButton(
            F, "bro_next", 420, 374, [this] { Next(); }, true)
            .Visible = false;
        F.PageSprite = NewPageSprite(F, "scr_yourscore", "yourscore", 2000, 160, 159, true);
        StateFrames = 0;
        F.ShowCursor(true);
    }

    void Frame() {
        F.BeginRaceFrame(false);
        if (StateFrames > 100) TForm1::CenteredText(F.KerbFont1, 398, 279, std::to_string(Score));
        F.EndRaceFrame();
        if (StateFrames < 201) ++StateFrames;
        if (StateFrames == 201) F.Page->Button("bro_next")->Visible = true;
        if (F.Page->Button("bro_next")->Visible && ConsumeRelease(vk::Return)) Next();
    }

    void Leave() { F.KillPage(); }

private:
    void Next() {
        F.PlaySound("check");
        F.LeaveState(st::YourScore);
        F.EnterState(st::SendScore);
    }

    TForm1& F;
};

class TSendScore {
public:
    explicit TSendScore(TForm1& form) : F(form) {}

    void Enter() {
        ClearKeyTables();
        CurrentState = st::SendScore;
        F.KerbFont1.SetFont("Micra", 20, fsBold);
        F.KerbFont1.SetColor(30, 30, 30);
        NewPage(F);
        AddButton(
            F, "b_no1", 420, 371, [this] { Answer(false); }, true);
        AddButton(
            F, "b_yes1", 250, 371, [this] { Answer(true); }, true);
        F.PageSprite = NewPageSprite(F, "scr_send", "sendscore", 2000, 160, 159, true);
        StateFrames = 0;
        F.ShowCursor(true);
    }

    void Frame() {
        F.BeginRaceFrame(false);
        F.EndRaceFrame();
        if (ConsumeRelease(vk::Return)) {
            Answer(true);
        } else if (ConsumeRelease(vk::Escape)) {
            Answer(false);
        }
    }

    void Leave() { F.KillPage(); }

private:
    void Answer(bool send) {
        F.LeaveRaceWorld(st::SendScore, "losemusic");
        F.PlaySound("check");
        const bool entered = EnterHighScore(PlayerName, Score);
        // The game is over: its unlocks, best times and high score are kept now.
        WriteStoredFiles(F);
        F.CreateLights();
        F.EnterState(entered ? st::HighScores : st::MainMenu);
        if (send) SendScore(F);
    }

    TForm1& F;
};
}  // namespace

void RegisterGameEnd(TForm1& form) {
    RegisterScreen(form, st::TimesUp,
                   std::make_shared<TGameEndPage>(form, st::TimesUp, "scr_timesup", true));
    RegisterScreen(form, st::GameOver,
                   std::make_shared<TGameEndPage>(form, st::GameOver, "scr_gameover", false));
    RegisterScreen(form, st::YourScore, std::make_shared<TYourScore>(form));
    RegisterScreen(form, st::SendScore, std::make_shared<TSendScore>(form));
}
