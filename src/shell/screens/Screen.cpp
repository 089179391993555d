#include "shell/screens/Screen.h"

#include "platform/KeyCodes.h"
#include "shell/Form1.h"
#include "shell/Globals.h"

void TScreen::Enter() {
    CurrentState = State;
    ClearKeyReleased();
    Build();
    F.ShowCursor(true);
    StateFrames = 0;
}

void TScreen::Leave() {
    F.KillPage();
}

bool TScreen::EscapeGoesBack() {
    if (EscapeTo == NoEscape || !ConsumeRelease(vk::Escape)) return false;
    F.ChangeState(EscapeTo, "check2");
    return true;
}

void RegisterScreen(TForm1& form, const std::shared_ptr<TScreen>& screen) {
    form.SetStateActions(screen->State,
                         {[screen] { screen->Enter(); }, [screen] { screen->Frame(); },
                          [screen] { screen->Leave(); }, [screen] { screen->FullScreenKey(); }});
}
