// The main menu (state 4): seven buttons in a column (the daily race below "Exit"), the logo
// button, the change-player link, the greeting and the two headlamp glows. Escape asks
// whether to leave the game.
#include "platform/KeyCodes.h"
#include "shell/daily/DailyRace.h"
#include "shell/Globals.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
class TMainMenu : public TScreen {
public:
    explicit TMainMenu(TForm1& form) : TScreen(form, st::MainMenu) {}

    void Frame() override {
        // The question clicks as it opens, after this screen's own click.
        if (ConsumeRelease(vk::Escape)) {
            F.PlaySound("check2");
            F.ChangeState(st::ExitGame);
            return;
        }
        F.BeginMenuFrame(1);
        TForm1::CenteredText(F.KerbFont1, 400, 530, "Hello, " + PlayerName + "!");
        F.EndMenuFrame();
    }

    void Leave() override {
        F.ShowLights(false);
        F.KerbSprite1.Dead();
        F.FreePage();
    }

private:
    void Build() override {
        // However a daily race ended (its page, the quit menu), the normal game is back.
        CloseDailyRun(F);
        // Back in the menus, the race's big pictures may rest until the next race.
        F.GameImageList.MayRest = true;
        F.KerbSprite1.Move(0);
        BuildPage();
        Level = 1;
        F.KerbFont1.SetFont("Micra", 10, fsBold);
        F.KerbFont1.SetColor(123, 19, 19);
        F.KerbFont2.SetFont("Micra", 10, fsBold);
        F.KerbFont2.SetColor(15, 15, 15);
        F.KerbFont3.SetFont("Micra", 23, fsBold);
        F.KerbFont3.SetColor(167, 9, 24);
        F.ShowLights(true);
    }

    void BuildPage() {
        NewPage(F);
        AddButton(F, "b_stgame", 552, 252, [this] {
            ClearKeyReleased();
            F.ChangeState(st::ChooseCar);
        });
        AddButton(F, "b_opt", 552, 284, GoTo(F, st::Options));
        AddButton(F, "b_hiscr", 552, 316, GoTo(F, st::HighScores));
        AddButton(F, "b_help", 552, 348, GoTo(F, st::Help));
        AddButton(F, "b_visit", 552, 380, [this] { Visit(); });
        AddButton(F, "b_exit", 552, 412, GoTo(F, st::ExitGame));
        AddButton(F, "b_daily", 552, 444, GoTo(F, st::DailyPreview));
        AddButton(F, "b_logo", 638, 480, [this] { Visit(); });
        AddButton(F, "b_presshere", 280, 555, GoTo(F, st::ChangePlayer));
        // Enter with no focus shown starts a game, as the other menus' Enter goes forward.
        F.KerbGUI1.ForwardID = F.Page->Button("b_stgame")->ID;
    }

    void Visit() {
        F.PlaySound("check");
        F.VisitWebPage("/");
    }
};
}  // namespace

void RegisterMainMenu(TForm1& form) {
    RegisterScreen(form, std::make_shared<TMainMenu>(form));
}
