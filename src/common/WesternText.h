// The game's texts are 8-bit, in the Western European set of the window system the game was
// written for (Windows-1252: Latin-1 plus a few printable characters in 0x80..0x9F). Typed
// text arrives as UTF-8 and the font library draws UTF-8, so these convert between the two.
// Plain functions, no platform.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The byte of a Unicode code point in the Western set, or -1 when the set has no such
// character (including the five unassigned codes 0x81, 0x8D, 0x8F, 0x90, 0x9D).
int32_t WesternFromCodePoint(uint32_t codePoint);
// The Unicode code point of a byte of the Western set (0 for an unassigned byte).
uint32_t CodePointFromWestern(uint8_t byte);

// The code points of UTF-8 text. A malformed sequence (overlong, surrogate, truncated, stray
// continuation byte) becomes one U+FFFD, which the Western set does not hold.
std::vector<uint32_t> DecodeUtf8(std::string_view text);
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, uint32_t codePoint);
// 8-bit Western text as UTF-8 (unassigned bytes are dropped).
std::string WesternToUtf8(std::string_view text);
// UTF-8 text as 8-bit Western text, for texts that come from elsewhere (the score service's
// tables): a character the set does not hold, or a malformed sequence, becomes "?".
std::string WesternFromUtf8(std::string_view text);
