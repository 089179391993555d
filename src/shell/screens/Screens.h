// Every screen of the game registers its enter, frame and leave actions with the main window
// object here; each lives in its own file of this folder.
#pragma once

class TForm1;

void RegisterScreens(TForm1& form);

void RegisterLogo(TForm1& form);
void RegisterMainMenu(TForm1& form);
void RegisterOptions(TForm1& form);
void RegisterControls(TForm1& form);
void RegisterHelp(TForm1& form);
void RegisterHighScores(TForm1& form);
void RegisterExitGame(TForm1& form);
void RegisterNameEntry(TForm1& form);
void RegisterPlayerList(TForm1& form);
void RegisterChooseTrack(TForm1& form);
void RegisterChooseCar(TForm1& form);
void RegisterRaceOverlays(TForm1& form);
void RegisterRaceOver(TForm1& form);
void RegisterGameEnd(TForm1& form);
void RegisterDailyPreview(TForm1& form);
void RegisterDailyResult(TForm1& form);
void RegisterDailyTable(TForm1& form);
