// What the screens need from the player list, the settings files and the web service, in
// one place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TForm1;

int32_t PlayerTotal(TForm1& f);
std::string PlayerNameAt(TForm1& f, int32_t index);
int32_t CurrentPlayerIndex(TForm1& f);
int32_t HighlightedIndex(TForm1& f);
// The player operations; each keeps PlayerName on the current player.
bool AddFirstPlayer(TForm1& f, const std::string& name);
bool AddNamedPlayer(TForm1& f, const std::string& name);
void SelectHighlighted(TForm1& f);
void MoveHighlightBy(TForm1& f, int32_t step);
void DeleteHighlighted(TForm1& f);
void ResetHiScoreTable(TForm1& f);
// Config.cfg, and Configdat.cfg with the progress.
void SaveConfig(TForm1& f);
void SaveConfigDat(TForm1& f);
// Sends the score of the game that ended to the web service.
void SendScore(TForm1& f);
// Opens the game's web page: the "play.url" address, else the score service's page at
// servicePath ("/" the world table, "/daily" the daily one).
void VisitWebPage(TForm1& f, std::string_view servicePath = "/");
