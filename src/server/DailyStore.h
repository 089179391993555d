// Where the service keeps the daily challenge's verified times: one best time per name and
// day. Safe to call from several threads (SqliteScoreStore.h implements it beside the scores).
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

class TDailyStore {
public:
    virtual ~TDailyStore() = default;
    // Keeps the time when the name has none for the day or a slower one. False only when the
    // store failed.
    virtual bool StoreDailyTime(const std::string& date, const std::string& name,
                                int32_t hundredths, int64_t now) = 0;
    // Fastest first; equal times in the order they were driven in.
    virtual std::vector<TDailyRow> DailyTop(const std::string& date, size_t limit) = 0;
    // The name's best and its place, when it has one.
    virtual std::optional<TDailyRow> DailyEntry(const std::string& date,
                                                const std::string& name) = 0;
};
