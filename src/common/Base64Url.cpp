#include "common/Base64Url.h"

#include <array>
#include <cstdint>

namespace {
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int DigitValue(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}
}  // namespace

std::string Base64UrlEncode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() * 4 + 2) / 3);
    uint32_t bits = 0;
    int count = 0;
    for (char c : bytes) {
        bits = (bits << 8) | static_cast<uint8_t>(c);
        count += 8;
        while (count >= 6) {
            count -= 6;
            out.push_back(kAlphabet[(bits >> count) & 63u]);
        }
    }
    if (count > 0) out.push_back(kAlphabet[(bits << (6 - count)) & 63u]);
    return out;
}

std::optional<std::string> Base64UrlDecode(std::string_view text) {
    // Groups of four characters carry three bytes; two or three left over carry one or two.
    if (text.size() % 4 == 1) return std::nullopt;
    std::string out;
    out.reserve(text.size() * 3 / 4);
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const int v = DigitValue(c);
        if (v < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<uint32_t>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<char>((bits >> count) & 0xFFu));
        }
    }
    // The bits past the last whole byte are zero in every encoding we make; one text per
    // payload keeps a log's text a fair key for it.
    if ((bits & ((1u << count) - 1u)) != 0) return std::nullopt;
    return out;
}
