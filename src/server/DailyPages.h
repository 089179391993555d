// The daily table as the service shows it: an HTML page of the day's best 100 and JSON with
// the asking player's own place. Pure text rendering.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/DailyStore.h"

// "m:ss.hh" of a race time in hundredths.
std::string RaceTimeText(int32_t hundredths);
std::string DailyHtml(const std::string& date, const std::vector<TDailyRow>& rows);
std::string DailyJson(const std::string& date, const std::vector<TDailyRow>& rows,
                      const std::optional<TDailyRow>& own);
