#include "common/TextCode.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextCode, BitConversionsFollowTheByteOrder) {
    EXPECT_EQ(BytesToBits("A"), "01000001");
    EXPECT_EQ(BytesToBits(std::string(1, '\xff')), "11111111");
    EXPECT_EQ(BitsToBytes("1000001"), "A");  // left-padded to eight digits
    EXPECT_EQ(BitsToBytes("1"), std::string(1, '\x01'));
    EXPECT_EQ(BitsToBytes(""), "");
    // Only "1" counts as one when reading bytes; anything other than "0" does in groups of five.
    EXPECT_EQ(BitsToBytes("2222222x"), std::string(1, '\0'));
    EXPECT_EQ(BitsToBase32("xxxxx"), "2");
    EXPECT_EQ(BitsToBase32("1"), "P");
    EXPECT_EQ(Base32ToBits("P"), "00001");
    EXPECT_EQ(Base32ToBits("P?-P"), "0000100001");  // characters outside the alphabet vanish
}

TEST(TextCode, TrueAndFalseHaveTheirKnownLengths) {
    EXPECT_EQ(EncodeText("false").size(), 8u);
    EXPECT_EQ(EncodeText("true").size(), 7u);
    // Seven characters carry 35 bits, which decode with a leading zero byte.
    EXPECT_EQ(DecodeText(EncodeText("true")), std::string("\0true", 5));
}

TEST(TextCode, TextsWhoseBitLengthIsAMultipleOfFortyRoundTrip) {
    // Five bytes are forty bits, a multiple of both 5 and 8, so nothing is padded.
    std::string every_byte;
    for (int b = 0; b < 255; ++b) every_byte.push_back(static_cast<char>(b));
    for (const std::string& text :
         {std::string(), std::string("%%%%%"), std::string("Anonymous%"), every_byte}) {
        EXPECT_EQ(DecodeText(EncodeText(text)), text) << text.size();
        for (char c : EncodeText(text)) {
            EXPECT_NE(kBase32Alphabet.find(c), std::string_view::npos);
        }
    }
}

TEST(TextCode, PaddingAndStripping) {
    EXPECT_EQ(PadToMultiple("1000", 5, '%'), "1000%");
    EXPECT_EQ(PadToMultiple("12345", 5, '%'), "12345");
    EXPECT_EQ(PadToMultiple("", 10, '%'), "");
    EXPECT_EQ(PadToMultiple("ab", 1, '%'), "ab");
    EXPECT_EQ(StripTrailing("Jo%%%", '%'), "Jo");
    EXPECT_EQ(StripTrailing("%%", '%'), "");
}
