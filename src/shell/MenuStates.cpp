// The logo (state 3) and, until the menu screens exist, the first menu frame (state 1): the
// cleared screen, the menu backdrop, the sprites and the cursor.
#include "platform/KeyCodes.h"
#include "shell/Form1.h"
#include "shell/MenuSprites.h"
#include "shell/Globals.h"

void TForm1::RegisterMenuStates() {
    SetStateActions(st::Logo,
                    {[this] { LogoEnter(); }, [this] { LogoFrame(); }, [this] { LogoLeave(); }});
    SetStateActions(st::FirstPlayer,
                    {[this] { FirstPlayerEnter(); }, [this] { FirstPlayerFrame(); }, {}});
}

void TForm1::LogoEnter() {
    CurrentState = st::Logo;
    StateFrames = 0;
    PlaySound("begin");
    PageSprite =
        new TMenuScreen(&KerbSprite1, KerbImageList1.Find("logo"), 240, 190, 20, "logo", 0, true);
    ShowCursor(false);
}

void TForm1::LogoFrame() {
    if (StateFrames > 30 && StateFrames < 285 && PageSprite != nullptr)
        PageSprite->SetAlpha(PageSprite->Alpha + 1);
    KerbScreen1.Clear(0, 0, 0, 0);
    KerbScreen1.BeginScene();
    KerbImageList1.BeginDraw();
    DrawSprites();
    KerbImageList1.EndDraw();
    KerbScreen1.EndScene();
    if (StateFrames++ == 549) {
        KerbScreen1.SetColor(0xFFFFFFFFu);
        LeaveState(st::Logo);
        EnterMenuState(Players.PlayerCount > 0 ? st::MainMenu : st::FirstPlayer);
    }
}

void TForm1::LogoLeave() {
    if (PageSprite != nullptr) PageSprite->Dead();
    PageSprite = nullptr;
    KillSpritesNamed("square");
    KerbSprite1.Dead();
    CreateLights();
}

void TForm1::FirstPlayerEnter() {
    CurrentState = st::FirstPlayer;
    ClearKeyReleased();
    StateFrames = 0;
    ShowCursor(true);
}

// Until the menus exist, Enter here starts a game with the first car on the first track.
void TForm1::FirstPlayerFrame() {
    if (KeyReleased[vk::Return] != 0) {
        KeyReleased[vk::Return] = 0;
        if (PlayerName.empty()) PlayerName = "Driver";
        NewGame();
        return;
    }
    BeginMenuFrame(0);
    EndMenuFrame();
    ++StateFrames;
}
