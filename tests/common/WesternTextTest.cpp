// The 8-bit Western set against Unicode and UTF-8.
#include <gtest/gtest.h>

#include "common/WesternText.h"

TEST(WesternText, EveryAssignedByteRoundTripsThroughUtf8) {
    for (int b = 1; b < 256; ++b) {
        const auto byte = static_cast<uint8_t>(b);
        const uint32_t cp = CodePointFromWestern(byte);
        const bool unassigned = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (unassigned) {
            EXPECT_EQ(cp, 0u) << b;
            EXPECT_EQ(WesternToUtf8(std::string(1, static_cast<char>(b))), "") << b;
            continue;
        }
        EXPECT_EQ(WesternFromCodePoint(cp), b) << b;
        const std::vector<uint32_t> back =
            DecodeUtf8(WesternToUtf8(std::string(1, static_cast<char>(b))));
        ASSERT_EQ(back.size(), 1u) << b;
        EXPECT_EQ(back[0], cp) << b;
    }
}

TEST(WesternText, KnownCharactersAndOnesOutsideTheSet) {
    struct TCase {
        uint32_t CodePoint;
        int32_t Byte;
    };
    const std::vector<TCase> cases = {
        {'A', 'A'},     {0xE4, 0xE4},   {0xC4, 0xC4},  {0xF1, 0xF1}, {0xFF, 0xFF},
        {0x20AC, 0x80}, {0x2122, 0x99}, {0x178, 0x9F}, {0x81, -1},   {0x9D, -1},
        {0x100, -1},    {0x65E5, -1},   {0x1F600, -1}, {0xFFFD, -1},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(WesternFromCodePoint(c.CodePoint), c.Byte) << c.CodePoint;
}

TEST(WesternText, MalformedUtf8BecomesReplacementCharacters) {
    struct TCase {
        std::string Text;
        std::vector<uint32_t> CodePoints;
    };
    const std::vector<TCase> cases = {
        {"", {}},
        {"a\xC3\xA4"
         "b",
         {'a', 0xE4, 'b'}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xF0\x9F\x98\x80", {0x1F600}},
        {"\xFF", {0xFFFD}},              // cannot lead
        {"\x80z", {0xFFFD, 'z'}},        // stray continuation
        {"\xC3", {0xFFFD}},              // cut short at the end
        {"\xC3(", {0xFFFD, '('}},        // cut short by another character
        {"\xE0\x80\x80", {0xFFFD}},      // overlong
        {"\xC0\xAF", {0xFFFD, 0xFFFD}},  // overlong two-byte lead
        {"\xED\xA0\x80", {0xFFFD}},      // surrogate
        {"\xF4\x90\x80\x80", {0xFFFD}},  // past U+10FFFF
    };
    for (const TCase& c : cases) EXPECT_EQ(DecodeUtf8(c.Text), c.CodePoints) << c.Text;
}

TEST(WesternText, Utf8FromElsewhereBecomesWesternTextWithQuestionMarksForTheRest) {
    struct TCase {
        std::string Utf8;
        std::string Western;
    };
    const std::vector<TCase> cases = {
        {"", ""},
        {"M\xC3\xBCller", "M\xFCller"},
        {"\xC5\xA0\xC5\x92\xC5\xB8\xE2\x82\xAC", "\x8A\x8C\x9F\x80"},  // from 0x80..0x9F
        {"\xE6\x97\xA5x", "?x"},                                       // outside the set
        {"a\xFF\xC3", "a??"},                                          // malformed
        {std::string("n\0n", 3), "n?n"},                               // a NUL never ends the name
    };
    for (const TCase& c : cases) EXPECT_EQ(WesternFromUtf8(c.Utf8), c.Western) << c.Utf8;
}
