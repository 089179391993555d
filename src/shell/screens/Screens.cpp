#include "shell/screens/Screens.h"

void RegisterScreens(TForm1& form) {
    RegisterLogo(form);
    RegisterMainMenu(form);
    RegisterOptions(form);
    RegisterControls(form);
    RegisterHelp(form);
    RegisterHighScores(form);
    RegisterExitGame(form);
    RegisterNameEntry(form);
    RegisterPlayerList(form);
    RegisterChooseTrack(form);
    RegisterChooseCar(form);
    RegisterRaceOverlays(form);
    RegisterRaceOver(form);
    RegisterGameEnd(form);
    RegisterDailyPreview(form);
    RegisterDailyResult(form);
    RegisterDailyTable(form);
}
