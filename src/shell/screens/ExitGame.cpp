// Leaving the game (state 10): the question slides in from the left; yes (or Enter) saves
// both settings files and closes the window, no (or Escape) goes back to the main menu.
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/Storage.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
class TExitGame : public TScreen {
public:
    explicit TExitGame(TForm1& form) : TScreen(form, st::ExitGame, st::MainMenu) {}

    void Frame() override {
        if (EscapeGoesBack()) return;
        if (ConsumeRelease(vk::Return)) {
            Quit();
            return;
        }
        SlideIn(F, StateFrames);
        for (TKerbButton* b : F.Page->Buttons()) b->Y = 404;
        F.BeginMenuFrame(1);
        F.EndMenuFrame();
    }

    void Leave() override {
        F.ShowLights(false);
        F.KillPage();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_ExitTheGame", "exitthegame", 500, -620, 184);
        NewPage(F);
        AddButton(F, "b_yes", -522, 404, [this] { Quit(); });
        AddButton(F, "b_no", -378, 404, GoTo(F, st::MainMenu));
        F.ShowLights(true);
    }

    void Quit() {
        WriteConfig(F);
        WriteConfigDat(F);
        F.Close();
    }
};
}  // namespace

void RegisterExitGame(TForm1& form) {
    RegisterScreen(form, std::make_shared<TExitGame>(form));
}
