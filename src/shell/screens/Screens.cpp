#include "shell/screens/Screens.h"

void RegisterScreens(TForm1& form) {
    RegisterLogo(form);
    RegisterMainMenu(form);
    RegisterOptions(form);
    RegisterControls(form);
    RegisterHelp(form);
    RegisterHighScores(form);
    RegisterExitGame(form);
    RegisterNewPlayer(form);
    RegisterChangePlayer(form);
    RegisterChooseTrack(form);
    RegisterChooseCar(form);
    RegisterRaceOverlays(form);
    RegisterRaceOver(form);
    RegisterGameOver(form);
    RegisterYourScore(form);
    RegisterDailyPreview(form);
    RegisterDailyResult(form);
    RegisterDailyTable(form);
}
