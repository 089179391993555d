// The player list operations of the player screens, edge cases included.
#include "shell/Players.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/Globals.h"
#include "shell/HighScoreTable.h"

namespace {
TPlayerList ListOf(const std::vector<std::string>& names, int32_t current, int32_t highlighted) {
    TPlayerList list;
    for (size_t i = 0; i < names.size(); ++i)
        list.Entries[i] = {names[i], static_cast<int32_t>(10 + i)};
    list.PlayerCount = static_cast<int32_t>(names.size());
    list.CurrentPlayer = current;
    list.HighlightedPlayer = highlighted;
    return list;
}

std::vector<std::string> Names(const TPlayerList& list) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.PlayerCount; ++i)
        names.push_back(list.Entries[static_cast<size_t>(i)].Name);
    return names;
}
}  // namespace

TEST(Players, AddingTrimsAppendsAndMakesTheNewPlayerCurrent) {
    PlayerName = "old";
    TPlayerList list = ListOf({"Ann"}, 0, 0);
    EXPECT_TRUE(AddPlayer(list, "  Bob Ray  "));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Ann", "Bob Ray"}));
    EXPECT_EQ(list.CurrentPlayer, 1);
    EXPECT_EQ(PlayerName, "Bob Ray");
    // Blank names are not added and change nothing.
    for (const char* blank : {"", " ", "     "}) {
        EXPECT_FALSE(AddPlayer(list, blank));
        EXPECT_EQ(list.PlayerCount, 2);
        EXPECT_EQ(PlayerName, "Bob Ray");
    }
    // A name longer than the edit field allows is cut to its length.
    EXPECT_TRUE(AddPlayer(list, "abcdefghijklmnop"));
    EXPECT_EQ(list.Entries[2].Name, "abcdefghijkl");
}

TEST(Players, TheListHoldsTenNames) {
    TPlayerList list;
    for (int i = 0; i < kMaxPlayers; ++i) EXPECT_TRUE(AddPlayer(list, "P" + std::to_string(i)));
    EXPECT_EQ(list.PlayerCount, 10);
    EXPECT_FALSE(AddPlayer(list, "eleventh"));
    EXPECT_EQ(list.PlayerCount, 10);
    EXPECT_EQ(list.CurrentPlayer, 9);
    EXPECT_EQ(PlayerName, "P9");
}

TEST(Players, TheFirstPlayerStartsTheList) {
    TPlayerList list = ListOf({"x", "y", "z"}, 2, 1);
    EXPECT_TRUE(FirstPlayer(list, " Ann "));
    EXPECT_EQ(Names(list), std::vector<std::string>{"Ann"});
    EXPECT_EQ(list.CurrentPlayer, 0);
    EXPECT_EQ(PlayerName, "Ann");
    TPlayerList empty;
    EXPECT_FALSE(FirstPlayer(empty, "   "));
    EXPECT_EQ(empty.PlayerCount, 0);
}

TEST(Players, SelectingMakesTheHighlightedPlayerCurrent) {
    TPlayerList list = ListOf({"Ann", "Bob", "Cid"}, 0, 2);
    SelectPlayer(list);
    EXPECT_EQ(list.CurrentPlayer, 2);
    EXPECT_EQ(PlayerName, "Cid");
    EXPECT_EQ(list.CurrentName(), "Cid");
    // A highlight outside the list selects nothing.
    PlayerName = "kept";
    TPlayerList none;
    none.HighlightedPlayer = 0;
    SelectPlayer(none);
    EXPECT_EQ(PlayerName, "kept");
    EXPECT_EQ(none.CurrentName(), "");
}

TEST(Players, TheHighlightStaysInsideTheList) {
    struct Case {
        int32_t Count, From, Step, To;
    };
    const Case cases[] = {
        {3, 1, -1, 0}, {3, 0, -1, 0}, {3, 1, +1, 2}, {3, 2, +1, 2},
        {1, 0, +1, 0}, {1, 0, -1, 0}, {0, 0, +1, 0}, {0, 0, -1, 0},
    };
    for (const Case& c : cases) {
        TPlayerList list;
        list.PlayerCount = c.Count;
        list.HighlightedPlayer = c.From;
        MoveHighlight(list, c.Step);
        EXPECT_EQ(list.HighlightedPlayer, c.To) << c.Count << " " << c.From << " " << c.Step;
    }
}

TEST(Players, DeletingKeepsTheCurrentPlayerWhereThePartSays) {
    struct Case {
        const char* What;
        std::vector<std::string> Names;
        int32_t Current, Highlighted;
        std::vector<std::string> NamesAfter;
        int32_t CurrentAfter, HighlightedAfter;
        const char* PlayerNameAfter;
    };
    const Case cases[] = {
        {"the only player", {"Ann"}, 0, 0, {}, 0, 0, ""},
        {"the last, current", {"Ann", "Bob", "Cid"}, 2, 2, {"Ann", "Bob"}, 1, 1, "Bob"},
        {"the last, not current", {"Ann", "Bob", "Cid"}, 0, 2, {"Ann", "Bob"}, 0, 1, "Ann"},
        {"above the current", {"Ann", "Bob", "Cid"}, 2, 0, {"Bob", "Cid"}, 1, 0, "Cid"},
        {"below the current", {"Ann", "Bob", "Cid"}, 0, 1, {"Ann", "Cid"}, 0, 1, "Ann"},
        {"the current, not last", {"Ann", "Bob", "Cid"}, 1, 1, {"Ann", "Cid"}, 1, 1, "Cid"},
    };
    for (const Case& c : cases) {
        TPlayerList list = ListOf(c.Names, c.Current, c.Highlighted);
        DeletePlayer(list);
        EXPECT_EQ(Names(list), c.NamesAfter) << c.What;
        EXPECT_EQ(list.CurrentPlayer, c.CurrentAfter) << c.What;
        EXPECT_EQ(list.HighlightedPlayer, c.HighlightedAfter) << c.What;
        EXPECT_EQ(PlayerName, c.PlayerNameAfter) << c.What;
        // The entry past the new end is cleared.
        EXPECT_EQ(list.Entries[c.Names.size() - 1].Name, "") << c.What;
    }
}

TEST(Players, DeletingMovesTheValuesWithTheNames) {
    TPlayerList list = ListOf({"Ann", "Bob", "Cid"}, 0, 0);
    DeletePlayer(list);
    EXPECT_EQ(list.Entries[0].PlayerValue, 11);
    EXPECT_EQ(list.Entries[1].PlayerValue, 12);
    // The last entry deleted gets the value 1.
    list = ListOf({"Ann", "Bob"}, 0, 1);
    DeletePlayer(list);
    EXPECT_EQ(list.Entries[1].PlayerValue, 1);
    // Nothing to delete in an empty list.
    TPlayerList empty;
    PlayerName = "kept";
    DeletePlayer(empty);
    EXPECT_EQ(empty.PlayerCount, 0);
    EXPECT_EQ(PlayerName, "kept");
}

TEST(Players, ResettingTheHighScoresRestoresTheDefaultTable) {
    DefaultHiScores();
    HiScores[0] = {"1", "Ann", "99999"};
    ResetHighScores();
    EXPECT_EQ(HiScores[0].Name, "Anonymous");
    EXPECT_EQ(HiScores[0].ScoreText, "1000");
    EXPECT_EQ(HiScores[9].ScoreText, "100");
}
