// Leaving the game (state 10): the question slides in from the left; yes (or Enter) saves
// both settings files and closes the window, no (or Escape) goes back to the main menu.
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/PlayerAccess.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
class TExitGame {
public:
    explicit TExitGame(TForm1& form) : F(form) {}

    void Enter() {
        CurrentState = st::ExitGame;
        ClearKeyReleased();
        F.PageSprite = NewPageSprite(F, "scr_ExitTheGame", "exitthegame", 500, -620, 184);
        NewPage(F);
        AddButton(F, "b_yes", -522, 404, [this] { Quit(); });
        AddButton(F, "b_no", -378, 404, GoTo(F, st::MainMenu));
        F.ShowLights(true);
        F.ShowCursor(true);
        StateFrames = 0;
    }

    void Frame() {
        if (ConsumeRelease(vk::Escape)) {
            F.ChangeState(st::MainMenu, "check2");
            return;
        }
        if (ConsumeRelease(vk::Return)) {
            Quit();
            return;
        }
        if (StateFrames < 20) {
            ++StateFrames;
            F.PageSprite->SetX(F.PageSprite->X + 40);
            for (TKerbButton* b : F.Page->Buttons()) b->X += 40;
        }
        for (TKerbButton* b : F.Page->Buttons()) b->Y = 404;
        F.BeginMenuFrame(1);
        F.EndMenuFrame();
    }

    void Leave() {
        F.ShowLights(false);
        F.KillPage();
    }

private:
    void Quit() {
        SaveConfig(F);
        SaveConfigDat(F);
        F.Close();
    }

    TForm1& F;
};
}  // namespace

void RegisterExitGame(TForm1& form) {
    RegisterScreen(form, st::ExitGame, std::make_shared<TExitGame>(form));
}
