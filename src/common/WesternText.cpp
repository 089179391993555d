#include "common/WesternText.h"

#include <array>

namespace {
// 0x80..0x9F of the Western set; 0 marks the unassigned codes.
constexpr std::array<uint16_t, 32> High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr uint32_t Replacement = 0xFFFD;

// Length of a UTF-8 sequence from its lead byte, 0 when it cannot lead one.
int SequenceLength(uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}
}  // namespace

int32_t WesternFromCodePoint(uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int32_t>(codePoint);
    for (size_t i = 0; i < High.size(); ++i)
        if (High[i] != 0 && High[i] == codePoint) return static_cast<int32_t>(0x80 + i);
    return -1;
}

uint32_t CodePointFromWestern(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return High[byte - 0x80];
    return byte;
}

std::vector<uint32_t> DecodeUtf8(std::string_view text) {
    std::vector<uint32_t> out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        const int length = SequenceLength(lead);
        if (length == 0) {
            out.push_back(Replacement);
            ++i;
            continue;
        }
        if (length == 1) {
            out.push_back(lead);
            ++i;
            continue;
        }
        uint32_t cp = lead & (0xFFu >> (length + 1));
        int taken = 1;
        for (; taken < length && i + static_cast<size_t>(taken) < text.size(); ++taken) {
            const auto b = static_cast<uint8_t>(text[i + static_cast<size_t>(taken)]);
            if ((b & 0xC0) != 0x80) break;
            cp = (cp << 6) | (b & 0x3Fu);
        }
        const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
        const bool invalid = cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF);
        out.push_back(taken < length || overlong || invalid ? Replacement : cp);
        i += static_cast<size_t>(taken);
    }
    return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string WesternToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const uint32_t cp = CodePointFromWestern(static_cast<uint8_t>(c));
        if (cp != 0 || c == 0) AppendUtf8(out, cp);
    }
    return out;
}

std::string WesternFromUtf8(std::string_view text) {
    std::string out;
    for (uint32_t cp : DecodeUtf8(text)) {
        const int32_t byte = WesternFromCodePoint(cp);
        out += byte > 0 ? static_cast<char>(byte) : '?';
    }
    return out;
}
