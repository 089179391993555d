// The high-score table (state 8) and the question whether to clear it (state 9).
#include "shell/Globals.h"
#include "shell/Players.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
class THighScores : public TScreen {
public:
    explicit THighScores(TForm1& form) : TScreen(form, st::HighScores, st::MainMenu) {}

    void Frame() override {
        if (EscapeGoesBack()) return;
        F.BeginMenuFrame(0);
        for (int32_t i = 1; i <= 10; ++i) {
            const THiScoreEntry& e = HiScores[static_cast<size_t>(i - 1)];
            const int32_t y = 256 + 14 * i;
            TForm1::CenteredText(F.KerbFont1, 275, y, e.Position);
            TForm1::CenteredText(F.KerbFont1, 390, y, e.Name);
            TForm1::CenteredText(F.KerbFont1, 532, y, e.ScoreText);
        }
        F.EndMenuFrame();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_hiscr", "scrHiscr", 20, 180, 160);
        NewPage(F);
        AddButton(F, "b_clrhiscr", 452, 442, GoTo(F, st::ClearHighScores));
        AddButton(F, "b_viewwhiscr", 386, 424, [this] {
            F.PlaySound("check");
            F.VisitWebPage("/");
        });
        AddButton(F, "b_back", 234, 424, GoTo(F, st::MainMenu));
        F.KerbFont1.SetFont("Micra", 8, fsBold);
        F.KerbFont1.SetColor(250, 250, 250);
    }
};

class TClearHighScores : public TScreen {
public:
    explicit TClearHighScores(TForm1& form) : TScreen(form, st::ClearHighScores, st::HighScores) {}

    void Frame() override {
        if (EscapeGoesBack()) return;
        F.BeginMenuFrame(0);
        F.EndMenuFrame();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_clearhiscr", "clearhiscr", 22, 180, 193);
        NewPage(F);
        AddButton(F, "b_yes", 422, 414, [this] {
            ResetHighScores();
            F.ChangeState(st::HighScores);
        });
        AddButton(F, "b_no", 278, 414, GoTo(F, st::HighScores));
    }
};
}  // namespace

void RegisterHighScores(TForm1& form) {
    RegisterScreen(form, std::make_shared<THighScores>(form));
    RegisterScreen(form, std::make_shared<TClearHighScores>(form));
}
