// The day's table as the score service sends it (GET /daily/YYYY-MM-DD.json?name=NAME):
// {"date":"...","entries":[{"place":1,"name":"...","hundredths":N},...],
//  "own":{"place":P,"hundredths":N}}, "own" only when the name has a time that day. The
// reader is strict about the shape and bounded in size and depth; anything else is no table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TDailyPlace {
    int32_t Place = 0;
    std::string Name;  // the game's 8-bit text (sent as UTF-8, read back from it)
    int32_t Hundredths = 0;
};

struct TDailyTable {
    std::string Date;
    std::vector<TDailyPlace> Entries;  // in the service's order, at most kMaxTableEntries
    std::optional<TDailyPlace> Own;    // the player's place (Name left empty)
};

inline constexpr size_t kMaxTableEntries = 100;

std::optional<TDailyTable> ParseDailyTable(std::string_view json);

// The day's fastest verified race (GET /daily/YYYY-MM-DD/leader):
// {"date":"...","name":"...","hundredths":N,"log":"..."}, the log as TKeyLog::Encode writes
// it. Strict and bounded like the table; a log longer than kMaxLeaderLogBytes is refused.
struct TDailyLeader {
    std::string Date;
    std::string Name;  // the game's 8-bit text
    int32_t Hundredths = 0;
    std::string Log;
};

inline constexpr size_t kMaxLeaderLogBytes = 16 * 1024;

std::optional<TDailyLeader> ParseDailyLeader(std::string_view json);
