// The score text the game sends and its encoding.
#include "common/ScoreText.h"

#include <gtest/gtest.h>

#include <string>

#include "common/TextCode.h"

TEST(ScoreText, FieldsInOrderPaddedWithZerosToAMultipleOfFive) {
    const std::string text = BuildScoreText("Ann", 1200, "tok", "x");
    const std::string body = "type=0|name=Ann|score=1200|key=V|p=tok|add=x|z=";
    ASSERT_EQ(body.size(), 47u);
    EXPECT_EQ(text, body + "000");
    EXPECT_EQ(text.size() % 5, 0u);
}

TEST(ScoreText, PaddingIsOnlyWhatReachesTheNextMultipleOfFive) {
    // The fixed fields with an empty name, token and extra text are 37 characters long; each
    // extra character of the name moves the padding by one.
    const std::string fixed = "type=0|name=|score=0|key=V|p=|add=|z=";
    ASSERT_EQ(fixed.size(), 37u);
    struct Case {
        std::string Name;
        size_t Zeros;
    };
    for (const Case& c : {Case{"", 3}, Case{"a", 2}, Case{"ab", 1}, Case{"abc", 0}, Case{"abcd", 4},
                          Case{"abcdefgh", 0}}) {
        const std::string text = BuildScoreText(c.Name, 0, "", "");
        const std::string body = "type=0|name=" + c.Name + "|score=0|key=V|p=|add=|z=";
        EXPECT_EQ(text, body + std::string(c.Zeros, '0')) << "name " << c.Name;
    }
}

TEST(ScoreText, BarsAndEqualsInNameAndExtraGoThroughUnchanged) {
    const std::string text = BuildScoreText("a|b=c", 5, "t", "|z=0");
    EXPECT_EQ(text, "type=0|name=a|b=c|score=5|key=V|p=t|add=|z=0|z=000");
    // Padded to whole five-byte groups, the encoded form decodes to exactly the text.
    EXPECT_EQ(DecodeText(EncodeScoreText(text)), text);
    EXPECT_EQ(EncodeScoreText(text), EncodeText(text));
    EXPECT_EQ(EncodeScoreText(text).size(), text.size() * 8 / 5);
}
