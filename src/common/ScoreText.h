// The score text a finished game sends to the score service, and its encoded form. The game
// builds it; the service parses the same layout back, so both sides share these definitions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The fixed key letter the game sends with every score.
inline constexpr char kScoreKeyLetter = 'V';

// "type=0|name=N|score=S|key=K|p=T|add=A|z=", lengthened with "0" to a multiple of 5 bytes so
// that its bits fill whole base-32 digits and decode without leading zero bytes. Name and extra
// text go in unchanged, "|" and "=" included.
std::string BuildScoreText(std::string_view name, int64_t score, std::string_view token,
                           std::string_view extra);

// The query value "inf" of a score submission: the padded score text in the settings encoding.
std::string EncodeScoreText(std::string_view scoreText);
