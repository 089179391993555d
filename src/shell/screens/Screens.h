// Every screen of the game registers its actions with the main window object here; each lives
// in its own file of this folder, one class per state (TScreen, Screen.h, is their base).
//
//   state                      class              file
//   0  quit menu (in a race)   TQuitRaceMenu      RaceOverlays.cpp
//   1  first player            TFirstPlayer       NewPlayer.cpp
//   3  logo                    TLogo              Logo.cpp
//   4  main menu               TMainMenu          MainMenu.cpp
//   6  help                    THelp              Help.cpp
//   7  options                 TOptions           Options.cpp
//   8  high scores             THighScores        HighScores.cpp
//   9  clear the high scores   TClearHighScores   HighScores.cpp
//   10 exit the game           TExitGame          ExitGame.cpp
//   12 race, 27 wreck          (TForm1)           ../RaceSession.cpp
//   13 game over               TGameEndPage       GameOver.cpp
//   14 choose a track          TChooseTrack       ChooseTrack.cpp
//   15 choose a car            TChooseCar         ChooseCar.cpp
//   16 race over               TRaceOver          RaceOver.cpp
//   19 game complete           TGameComplete      RaceOver.cpp
//   20 pause                   TPause             RaceOverlays.cpp
//   21 add a player            TAddPlayer         NewPlayer.cpp
//   22 change the player       TChangePlayer      ChangePlayer.cpp
//   23 delete a player         TDeletePlayer      ChangePlayer.cpp
//   24 time's up               TGameEndPage       GameOver.cpp
//   25 your score              TYourScore         YourScore.cpp
//   26 send the score          TSendScore         YourScore.cpp
//   28 daily race preview      TDailyPreview      DailyPreview.cpp
//   29 daily race result       TDailyResult       DailyResult.cpp
//   30 daily table             TDailyTablePage    DailyTablePage.cpp
//   31 controls                TControlsPage      Controls.cpp
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
void RegisterNewPlayer(TForm1& form);
void RegisterChangePlayer(TForm1& form);
void RegisterChooseTrack(TForm1& form);
void RegisterChooseCar(TForm1& form);
void RegisterRaceOverlays(TForm1& form);
void RegisterRaceOver(TForm1& form);
void RegisterGameOver(TForm1& form);
void RegisterYourScore(TForm1& form);
void RegisterDailyPreview(TForm1& form);
void RegisterDailyResult(TForm1& form);
void RegisterDailyTable(TForm1& form);
