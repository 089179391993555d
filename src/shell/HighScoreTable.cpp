#include "shell/HighScoreTable.h"

#include <charconv>

#include "shell/Globals.h"

void DefaultHiScores() {
    for (int32_t n = 1; n <= 10; ++n) {
        THiScoreEntry& e = HiScores[static_cast<size_t>(n - 1)];
        e.Position = std::to_string(n);
        e.Name = "Anonymous";
        e.ScoreText = std::to_string(1100 - 100 * n);
    }
}

int64_t HiScoreValue(const std::string& text) {
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

bool EnterHighScore(const std::string& name, int32_t score) {
    for (size_t i = 0; i < HiScores.size(); ++i) {
        if (score < HiScoreValue(HiScores[i].ScoreText)) continue;
        // Names and scores move down one place; the position texts stay.
        for (size_t j = HiScores.size() - 1; j > i; --j) {
            HiScores[j].Name = HiScores[j - 1].Name;
            HiScores[j].ScoreText = HiScores[j - 1].ScoreText;
        }
        HiScores[i].Name = name;
        HiScores[i].ScoreText = std::to_string(score);
        return true;
    }
    return false;
}
