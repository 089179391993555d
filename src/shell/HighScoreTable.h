// The local table of ten high scores: the default table and entering a new score.
#pragma once

#include <cstdint>
#include <string>

void DefaultHiScores();
// Puts (name, score) above the first entry it equals or beats, dropping the tenth. Returns
// whether the score entered the table. Entries whose score text is not a number count as 0.
bool EnterHighScore(const std::string& name, int32_t score);
// The score text of an entry read as a number (0 when it is not one).
int64_t HiScoreValue(const std::string& text);
