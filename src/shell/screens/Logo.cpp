// The logo (state 3): the picture fades in over the first frames, and at frame 549 the game
// goes on to the main menu, or to the first-player screen while nobody has played yet.
#include "shell/Globals.h"
#include "shell/screens/MenuSprites.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
class TLogo : public TScreen {
public:
    explicit TLogo(TForm1& form) : TScreen(form, st::Logo) {}

    // No cursor, and no key releases to forget: the game has just started.
    void Enter() override {
        CurrentState = st::Logo;
        StateFrames = 0;
        F.PlaySound("begin");
        F.PageSprite = new TMenuScreen(&F.KerbSprite1, 240, 190, 20, "logo", "logo", 0, true);
        F.ShowCursor(false);
    }

    void Frame() override {
        if (StateFrames > 30 && StateFrames < 285 && F.PageSprite != nullptr)
            F.PageSprite->SetAlpha(F.PageSprite->Alpha + 1);
        F.KerbScreen1.Clear(0, 0, 0, 0);
        F.KerbScreen1.BeginScene();
        F.KerbImageList1.BeginDraw();
        F.DrawSprites();
        F.KerbImageList1.EndDraw();
        F.KerbScreen1.EndScene();
        if (StateFrames++ != 549) return;
        F.KerbScreen1.SetColor(0xFFFFFFFFu);
        F.LeaveState(st::Logo);
        F.EnterState(F.Players.PlayerCount > 0 ? st::MainMenu : st::FirstPlayer);
    }

    void Leave() override {
        F.KillPage();
        F.KillSpritesNamed("square");
        F.KerbSprite1.Dead();
        F.CreateLights();
    }
};
}  // namespace

void RegisterLogo(TForm1& form) {
    RegisterScreen(form, std::make_shared<TLogo>(form));
}
