#include "common/ScoreText.h"

#include "common/TextCode.h"

std::string BuildScoreText(std::string_view name, int64_t score, std::string_view token,
                           std::string_view extra) {
    std::string text = "type=0";
    text.append("|name=").append(name);
    text.append("|score=").append(std::to_string(score));
    text.append("|key=").push_back(kScoreKeyLetter);
    text.append("|p=").append(token);
    text.append("|add=").append(extra);
    text.append("|z=");
    return PadToMultiple(std::move(text), 5, '0');
}

std::string EncodeScoreText(std::string_view scoreText) {
    return BitsToBase32(BytesToBits(scoreText));
}
