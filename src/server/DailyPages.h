// The daily table as the service shows it: an HTML page of the day's best 100 and JSON with
// the asking player's own place. Pure text rendering.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "server/DailyStore.h"

// "m:ss.hh" of a race time in hundredths.
std::string RaceTimeText(int32_t hundredths);

// What a daily page shows besides the table; the server fills it from the store.
struct TDailyView {
    std::string Date;  // "2026-12-10"
    std::vector<TDailyRow> Rows;
    std::string Car;             // the day's car, empty when unknown
    std::string OwnName;         // the row to highlight, empty for none
    std::string Previous, Next;  // neighbouring dates; empty when there is none to show
    // The days up to Date, newest first, each with its winner when it has one.
    std::vector<std::pair<std::string, std::optional<TDailyRow>>> Recent;
};

// The table alone, with OwnName's row marked, for the daily page and the home page.
std::string DailyTable(const std::vector<TDailyRow>& rows, const std::string& ownName);
// The day's title and car.
std::string DailyHeading(const TDailyView& view);
std::string DailyHtml(const TDailyView& view);
std::string DailyHtml(const std::string& date, const std::vector<TDailyRow>& rows);
std::string DailyJson(const std::string& date, const std::vector<TDailyRow>& rows,
                      const std::optional<TDailyRow>& own);
// The day's leader with its key log: {"date","name","hundredths","log"}.
std::string DailyLeaderJson(const std::string& date, const TStoredDailyRun& leader);
