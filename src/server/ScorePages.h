// The world high-score table as the service shows it: an HTML page for people (the address a
// player's "play.url" can point at) and JSON for programs. Pure text rendering.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "server/ScoreStore.h"

inline constexpr size_t kTableSize = 100;

std::string HtmlEscape(std::string_view text);
std::string JsonEscape(std::string_view text);
// The table alone, for the full page and the home page.
std::string ScoresTable(const std::vector<TScoreRow>& rows);
std::string ScoresHtml(const std::vector<TScoreRow>& rows);
std::string ScoresJson(const std::vector<TScoreRow>& rows);
