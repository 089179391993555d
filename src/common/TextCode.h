// The text encoding of the settings files and the score submission: a value's bytes become a
// string of binary digits, and that string becomes letters and digits of a 32-character
// alphabet. Pure functions on std::string, shared by the game and the score service; nothing
// here touches the platform.
#pragma once

#include <string>
#include <string_view>

// The 32 characters of the encoding, digit value 0 to 31 in this order.
inline constexpr std::string_view kBase32Alphabet = "DPXHQSWCNJFUYGVKBLMATRE876591342";

// Each byte as eight "0"/"1" characters, most significant bit first.
std::string BytesToBits(std::string_view text);
// Left-pads with "0" to a multiple of 8 and reads groups of eight ("1" counts as 1, anything
// else as 0); fewer than 8 digits give an empty result.
std::string BitsToBytes(std::string_view bits);
// Left-pads with "0" to a multiple of 5 and maps each group of five (anything other than "0"
// counts as 1) to its alphabet character.
std::string BitsToBase32(std::string_view bits);
// Each alphabet character as its five binary digits; characters outside the alphabet are
// skipped.
std::string Base32ToBits(std::string_view line);

inline std::string EncodeText(std::string_view text) {
    return BitsToBase32(BytesToBits(text));
}
inline std::string DecodeText(std::string_view line) {
    return BitsToBytes(Base32ToBits(line));
}

// Appends `pad` until the length is a multiple of `multiple` (0 or 1 leaves it unchanged).
std::string PadToMultiple(std::string text, size_t multiple, char pad);
// Removes every trailing `pad` character.
std::string StripTrailing(std::string text, char pad);
