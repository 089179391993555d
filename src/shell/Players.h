// The player list kept in Config.cfg: up to ten named drivers, which one is current and which
// one the change-player screen highlights, with the operations the player screens call. Each
// operation that changes the current player also sets the PlayerName global to its name.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int32_t kMaxPlayers = 10;
// Names are typed into a 12-character edit field.
inline constexpr size_t kMaxNameLength = 12;

struct TPlayerEntry {
    std::string Name;
    // Stored and read back with the name; no game rule reads it.
    int32_t PlayerValue = 0;
};

struct TPlayerList {
    std::array<TPlayerEntry, kMaxPlayers> Entries{};
    int32_t PlayerCount = 0;
    int32_t CurrentPlayer = 0;
    int32_t HighlightedPlayer = 0;

    // The current player's name, or an empty text when the list is empty.
    const std::string& CurrentName() const;
    // The name at index, or an empty text outside the list.
    const std::string& NameAt(int32_t index) const;
};

// Leading and trailing spaces removed, cut to kMaxNameLength characters.
std::string TrimmedName(std::string_view name);

// Appends the trimmed name and makes it the current player. Nothing happens (false) when the
// name has no character other than spaces or the list is full.
bool AddPlayer(TPlayerList& list, std::string_view name);
// The trimmed name becomes the only entry and the current player; false for a blank name.
bool FirstPlayer(TPlayerList& list, std::string_view name);
// The highlighted player becomes the current one.
void SelectPlayer(TPlayerList& list);
// Moves the highlight one entry up (step < 0) or down (step > 0), staying inside the list.
void MoveHighlight(TPlayerList& list, int32_t step);
// Deletes the highlighted player; the current player keeps naming the same driver where the
// deleted one was before it.
void DeletePlayer(TPlayerList& list);
// The high-score table back to its default (written with the next Config.cfg).
void ResetHighScores();
