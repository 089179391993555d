// The score at the end of a game (25) and the question whether to send it (26); the answer
// enters the score into the local table and leads to the table (or the main menu when the
// score did not make it). Enter acts as the forward button, Escape as "no".
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/HighScoreTable.h"
#include "shell/Storage.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
// Both pages stand over the frozen race and take every key afresh.
class TScorePage : public TScreen {
public:
    using TScreen::TScreen;

    void Enter() override {
        ClearKeyTables();
        CurrentState = State;
        F.KerbFont1.SetFont("Micra", 20, fsBold);
        F.KerbFont1.SetColor(30, 30, 30);
        NewPage(F);
        Build();
        StateFrames = 0;
        F.ShowCursor(true);
    }
};

class TYourScore : public TScorePage {
public:
    explicit TYourScore(TForm1& form) : TScorePage(form, st::YourScore) {}

    void Enter() override {
        if (MusicOn != 0) {
            F.StopMusic("gamemusic");
            F.PlayMusic("losemusic");
        }
        TScorePage::Enter();
    }

    void Frame() override {
        F.BeginRaceFrame(false);
        if (StateFrames > 100) TForm1::CenteredText(F.KerbFont1, 398, 279, std::to_string(Score));
        F.EndRaceFrame();
        if (StateFrames < 201) ++StateFrames;
        if (StateFrames == 201) F.Page->Button("bro_next")->Visible = true;
        if (F.Page->Button("bro_next")->Visible && ConsumeRelease(vk::Return)) Next();
    }

private:
    void Build() override {
        AddButton(
            F, "bro_next", 420, 374, [this] { Next(); }, true)
            .Visible = false;
        F.PageSprite = NewPageSprite(F, "scr_yourscore", "yourscore", 2000, 160, 159, true);
    }

    void Next() {
        F.PlaySound("check");
        F.LeaveState(st::YourScore);
        F.EnterState(st::SendScore);
    }
};

class TSendScore : public TScorePage {
public:
    explicit TSendScore(TForm1& form) : TScorePage(form, st::SendScore) {}

    void Frame() override {
        F.BeginRaceFrame(false);
        F.EndRaceFrame();
        if (ConsumeRelease(vk::Return)) {
            Answer(true);
        } else if (ConsumeRelease(vk::Escape)) {
            Answer(false);
        }
    }

private:
    void Build() override {
        AddButton(
            F, "b_no1", 420, 371, [this] { Answer(false); }, true);
        AddButton(
            F, "b_yes1", 250, 371, [this] { Answer(true); }, true);
        F.PageSprite = NewPageSprite(F, "scr_send", "sendscore", 2000, 160, 159, true);
    }

    void Answer(bool send) {
        F.LeaveRaceWorld(st::SendScore, "losemusic");
        F.PlaySound("check");
        const bool entered = EnterHighScore(PlayerName, Score);
        // The game is over: its unlocks, best times and high score are kept now.
        WriteStoredFiles(F);
        F.CreateLights();
        F.EnterState(entered ? st::HighScores : st::MainMenu);
        if (send) F.SubmitScore();
    }
};
}  // namespace

void RegisterYourScore(TForm1& form) {
    RegisterScreen(form, std::make_shared<TYourScore>(form));
    RegisterScreen(form, std::make_shared<TSendScore>(form));
}
