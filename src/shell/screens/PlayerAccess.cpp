#include "shell/screens/PlayerAccess.h"

#include "shell/Form1.h"
#include "shell/Players.h"
#include "shell/Storage.h"

int32_t PlayerTotal(TForm1& f) {
    return f.Players.PlayerCount;
}

std::string PlayerNameAt(TForm1& f, int32_t index) {
    if (index < 0 || index >= f.Players.PlayerCount || index >= kMaxPlayers) return {};
    return f.Players.Entries[static_cast<size_t>(index)].Name;
}

int32_t CurrentPlayerIndex(TForm1& f) {
    return f.Players.CurrentPlayer;
}

int32_t HighlightedIndex(TForm1& f) {
    return f.Players.HighlightedPlayer;
}

bool AddFirstPlayer(TForm1& f, const std::string& name) {
    return FirstPlayer(f.Players, name);
}

bool AddNamedPlayer(TForm1& f, const std::string& name) {
    return AddPlayer(f.Players, name);
}

void SelectHighlighted(TForm1& f) {
    SelectPlayer(f.Players);
}

void MoveHighlightBy(TForm1& f, int32_t step) {
    MoveHighlight(f.Players, step);
}

void DeleteHighlighted(TForm1& f) {
    DeletePlayer(f.Players);
}

void ResetHiScoreTable(TForm1&) {
    ResetHighScores();
}

void SaveConfig(TForm1& f) {
    WriteConfig(f);
}

void SaveConfigDat(TForm1& f) {
    WriteConfigDat(f);
}

void SendScore(TForm1& f) {
    f.SubmitScore();
}

void VisitWebPage(TForm1& f, std::string_view servicePath) {
    f.VisitWebPage(servicePath);
}
