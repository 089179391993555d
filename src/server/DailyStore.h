// Where the service keeps the daily challenge's verified times: one best time per name and
// day, with the key log that drove it (to be raced against as a ghost). Safe to call from
// several threads (SqliteScoreStore.h implements it beside the scores, PostgresStore.h too).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TDailyRow {
    int32_t Place = 0;
    std::string Name;
    int32_t Hundredths = 0;
};

// The longest key log a store keeps (the encoded text): a log cut at its finish is far shorter.
inline constexpr size_t kMaxStoredDailyLogBytes = 16 * 1024;

// A name's best run of a day: its time and the key log that drove it.
struct TStoredDailyRun {
    std::string Name;
    int32_t Hundredths = 0;
    std::string Log;
};

class TDailyStore {
public:
    virtual ~TDailyStore() = default;
    // Keeps the time and its log when the name has none for the day or a slower one: the two
    // are replaced together or not at all. False when the store failed or the log is longer
    // than kMaxStoredDailyLogBytes.
    virtual bool StoreDailyTime(const std::string& date, const std::string& name,
                                int32_t hundredths, const std::string& log, int64_t now) = 0;
    // Fastest first; equal times in the order they were driven in.
    virtual std::vector<TDailyRow> DailyTop(const std::string& date, size_t limit) = 0;
    // The name's best and its place, when it has one.
    virtual std::optional<TDailyRow> DailyEntry(const std::string& date,
                                                const std::string& name) = 0;
    // The day's leader (first place as DailyTop orders it) with its log.
    virtual std::optional<TStoredDailyRun> DailyLeader(const std::string& date) = 0;
    // The name's best run of the day with its log.
    virtual std::optional<TStoredDailyRun> DailyRunOf(const std::string& date,
                                                      const std::string& name) = 0;
};
