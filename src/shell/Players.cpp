#include "shell/Players.h"

#include "shell/Globals.h"
#include "shell/HighScoreTable.h"

namespace {
bool InList(const TPlayerList& list, int32_t index) {
    return index >= 0 && index < list.PlayerCount && index < kMaxPlayers;
}

TPlayerEntry& Entry(TPlayerList& list, int32_t index) {
    return list.Entries[static_cast<size_t>(index)];
}
}  // namespace

const std::string& TPlayerList::CurrentName() const {
    return NameAt(CurrentPlayer);
}

const std::string& TPlayerList::NameAt(int32_t index) const {
    static const std::string none;
    if (!InList(*this, index)) return none;
    return Entries[static_cast<size_t>(index)].Name;
}

std::string TrimmedName(std::string_view name) {
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = name.find_last_not_of(' ');
    std::string trimmed(name.substr(first, last - first + 1));
    if (trimmed.size() > kMaxNameLength) trimmed.resize(kMaxNameLength);
    return trimmed;
}

bool AddPlayer(TPlayerList& list, std::string_view name) {
    std::string trimmed = TrimmedName(name);
    if (trimmed.empty() || list.PlayerCount < 0 || list.PlayerCount >= kMaxPlayers) return false;
    const int32_t index = list.PlayerCount;
    Entry(list, index).Name = std::move(trimmed);
    ++list.PlayerCount;
    list.CurrentPlayer = index;
    PlayerName = Entry(list, index).Name;
    return true;
}

bool FirstPlayer(TPlayerList& list, std::string_view name) {
    std::string trimmed = TrimmedName(name);
    if (trimmed.empty()) return false;
    list.Entries[0].Name = std::move(trimmed);
    list.PlayerCount = 1;
    list.CurrentPlayer = 0;
    PlayerName = list.Entries[0].Name;
    return true;
}

void SelectPlayer(TPlayerList& list) {
    if (!InList(list, list.HighlightedPlayer)) return;
    list.CurrentPlayer = list.HighlightedPlayer;
    PlayerName = Entry(list, list.CurrentPlayer).Name;
}

void MoveHighlight(TPlayerList& list, int32_t step) {
    if (step < 0 && list.HighlightedPlayer > 0) --list.HighlightedPlayer;
    if (step > 0 && list.HighlightedPlayer < list.PlayerCount - 1) ++list.HighlightedPlayer;
}

void DeletePlayer(TPlayerList& list) {
    const int32_t h = list.HighlightedPlayer;
    if (!InList(list, h)) return;
    const int32_t last = list.PlayerCount - 1;
    if (h == last) {
        Entry(list, h).Name.clear();
        Entry(list, h).PlayerValue = 1;
        if (list.PlayerCount > 1) {
            if (list.CurrentPlayer == h) --list.CurrentPlayer;
            --list.HighlightedPlayer;
        }
    } else {
        // Entries below move up one place, so a current player below the deleted one moves too.
        if (h < list.CurrentPlayer) --list.CurrentPlayer;
        for (int32_t i = h; i < last; ++i) Entry(list, i) = Entry(list, i + 1);
        Entry(list, last).Name.clear();
    }
    --list.PlayerCount;
    PlayerName = list.PlayerCount > 0 ? Entry(list, list.CurrentPlayer).Name : std::string();
}

void ResetHighScores() {
    DefaultHiScores();
}
