// The service's front page: today's daily race and the head of the world table.
#pragma once

#include <string>
#include <vector>

#include "server/DailyPages.h"
#include "server/ScoreStore.h"

inline constexpr size_t kHomeTableSize = 10;

// today.Rows and world are shown as given: the caller keeps them to kHomeTableSize.
std::string HomeHtml(const TDailyView& today, const std::vector<TScoreRow>& world);
