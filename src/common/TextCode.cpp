#include "common/TextCode.h"

#include <array>

namespace {

// Alphabet character -> digit value, or -1 for characters outside the alphabet.
constexpr std::array<int, 256> MakeDigitTable() {
    std::array<int, 256> table{};
    for (int& v : table) v = -1;
    for (size_t i = 0; i < kBase32Alphabet.size(); ++i) {
        table[static_cast<unsigned char>(kBase32Alphabet[i])] = static_cast<int>(i);
    }
    return table;
}
constexpr std::array<int, 256> kDigitOf = MakeDigitTable();

}  // namespace

std::string BytesToBits(std::string_view text) {
    std::string bits;
    bits.reserve(text.size() * 8);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        for (int bit = 7; bit >= 0; --bit) bits.push_back(((byte >> bit) & 1) ? '1' : '0');
    }
    return bits;
}

std::string BitsToBytes(std::string_view bits) {
    const size_t padded = (bits.size() + 7) / 8 * 8;
    if (padded < 8) return {};
    const size_t lead = padded - bits.size();
    std::string bytes;
    bytes.reserve(padded / 8);
    for (size_t group = 0; group < padded; group += 8) {
        unsigned value = 0;
        for (size_t i = group; i < group + 8; ++i) {
            const bool one = i >= lead && bits[i - lead] == '1';
            value = (value << 1) | (one ? 1u : 0u);
        }
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::string BitsToBase32(std::string_view bits) {
    const size_t padded = (bits.size() + 4) / 5 * 5;
    const size_t lead = padded - bits.size();
    std::string line;
    line.reserve(padded / 5);
    for (size_t group = 0; group < padded; group += 5) {
        unsigned value = 0;
        for (size_t i = group; i < group + 5; ++i) {
            const bool one = i >= lead && bits[i - lead] != '0';
            value = (value << 1) | (one ? 1u : 0u);
        }
        line.push_back(kBase32Alphabet[value]);
    }
    return line;
}

std::string Base32ToBits(std::string_view line) {
    std::string bits;
    bits.reserve(line.size() * 5);
    for (char c : line) {
        const int value = kDigitOf[static_cast<unsigned char>(c)];
        if (value < 0) continue;
        for (int bit = 4; bit >= 0; --bit) bits.push_back(((value >> bit) & 1) ? '1' : '0');
    }
    return bits;
}

std::string PadToMultiple(std::string text, size_t multiple, char pad) {
    if (multiple > 1) {
        while (text.size() % multiple != 0) text.push_back(pad);
    }
    return text;
}

std::string StripTrailing(std::string text, char pad) {
    while (!text.empty() && text.back() == pad) text.pop_back();
    return text;
}
