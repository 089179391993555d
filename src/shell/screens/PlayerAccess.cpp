// Until the stored player list is in, the list lives here in memory.
#include "shell/screens/PlayerAccess.h"

#include <array>

#include "shell/Globals.h"
#include "shell/HighScores.h"

namespace {
struct TEntry {
    std::string Name;
};
std::array<TEntry, 10> Entries;
int32_t Count = 0, Current = 0, Highlighted = 0;

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}
}  // namespace

void ResetStandInPlayers() {
    Count = Current = Highlighted = 0;
}

int32_t PlayerTotal(TForm1&) {
    return Count;
}
std::string PlayerNameAt(TForm1&, int32_t index) {
    return index >= 0 && index < Count ? Entries[static_cast<size_t>(index)].Name : "";
}
int32_t CurrentPlayerIndex(TForm1&) {
    return Current;
}
int32_t HighlightedIndex(TForm1&) {
    return Highlighted;
}
bool AddFirstPlayer(TForm1& f, const std::string& name) {
    Count = 0;
    return AddNamedPlayer(f, name);
}
bool AddNamedPlayer(TForm1&, const std::string& name) {
    const std::string n = Trim(name);
    if (n.empty() || Count >= 10) return false;
    Entries[static_cast<size_t>(Count)].Name = n;
    Current = Count++;
    PlayerName = n;
    return true;
}
void SelectHighlighted(TForm1&) {
    Current = Highlighted;
    PlayerName = Entries[static_cast<size_t>(Current)].Name;
}
void MoveHighlightBy(TForm1&, int32_t step) {
    if (step < 0 && Highlighted > 0) --Highlighted;
    if (step > 0 && Highlighted < Count - 1) ++Highlighted;
}
void DeleteHighlighted(TForm1&) {
    if (Count == 0) return;
    for (int32_t i = Highlighted; i + 1 < Count; ++i)
        Entries[static_cast<size_t>(i)] = Entries[static_cast<size_t>(i + 1)];
    --Count;
    if (Current > Highlighted || Current >= Count) Current = std::max(Current - 1, 0);
    if (Highlighted >= Count) Highlighted = std::max(Count - 1, 0);
    PlayerName = Count > 0 ? Entries[static_cast<size_t>(Current)].Name : "";
}
void ResetHiScoreTable(TForm1&) {
    DefaultHiScores();
}
void SaveConfig(TForm1&) {}
void SaveConfigDat(TForm1&) {}
void OpenWebPage(TForm1&) {}
void SubmitScore(TForm1&) {}
