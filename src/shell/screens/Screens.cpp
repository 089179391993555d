#include "shell/screens/Screens.h"

#include "shell/screens/PlayerAccess.h"

void RegisterScreens(TForm1& form) {
    ResetStandInPlayers();
    RegisterLogo(form);
    RegisterMainMenu(form);
    RegisterOptions(form);
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
}
