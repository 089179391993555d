// The service's decoder of the "inf" value: what the game sends decodes to its fields, and a
// table of malformed values is refused with the right reason.
#include "server/ScoreRequest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ScoreText.h"
#include "common/TextCode.h"

namespace {

const std::string kToken = "0123456789abcdef0123456789abcdef";

// A score text with the game's padding, encoded.
std::string Inf(const std::string& text) {
    return EncodeScoreText(PadToMultiple(text, 5, '0'));
}

std::string Fields(const std::string& name, const std::string& score, const std::string& key,
                   const std::string& token, const std::string& extra) {
    return "type=0|name=" + name + "|score=" + score + "|key=" + key + "|p=" + token +
           "|add=" + extra + "|z=";
}

}  // namespace

TEST(ScoreRequest, DecodesWhatTheGameBuilds) {
    struct Case {
        std::string Name;
        int64_t Score;
        std::string Extra;
    };
    for (const Case& c :
         {Case{"Ann", 1200, ""}, Case{"a|b=c", 0, "x=y|z"}, Case{"|score=1|p=", 10'000'000, "|z="},
          Case{"Zoë Ünal", 7, "ü"}, Case{"twelve chars", 42, "twelve chars"}}) {
        const TDecodedInf d =
            DecodeScoreInf(EncodeScoreText(BuildScoreText(c.Name, c.Score, kToken, c.Extra)));
        ASSERT_EQ(d.Error, TInfError::None) << c.Name << ": " << InfErrorText(d.Error);
        EXPECT_EQ(d.Fields.Name, c.Name);
        EXPECT_EQ(d.Fields.Score, c.Score);
        EXPECT_EQ(d.Fields.Token, kToken);
        EXPECT_EQ(d.Fields.Extra, c.Extra);
    }
}

TEST(ScoreRequest, RefusesMalformedValues) {
    const std::string good = Inf(Fields("Ann", "5", "V", kToken, ""));
    std::string outside = good;
    outside[3] = 'a';  // lower case is not in the alphabet
    std::string zeroDigit = good;
    zeroDigit[5] = '0';
    const std::string unpadded = Fields("Ann", "50", "V", kToken, "");  // 76 characters
    ASSERT_NE(unpadded.size() % 5, 0u);

    struct Case {
        const char* What;
        std::string InfValue;
        TInfError Expected;
    };
    const std::vector<Case> cases = {
        {"empty", "", TInfError::Empty},
        {"too long", std::string(kMaxInfLength + 8, 'D'), TInfError::TooLong},
        {"seven digits", good.substr(0, 7), TInfError::BadLength},
        {"one digit short", good.substr(0, good.size() - 1), TInfError::BadLength},
        {"one digit more", good + "D", TInfError::BadLength},
        {"unpadded text", EncodeText(unpadded), TInfError::BadLength},
        {"lower-case letter", outside, TInfError::BadCharacter},
        {"the digit 0", zeroDigit, TInfError::BadCharacter},
        {"url escape", good.substr(0, good.size() - 8) + "%20DDDDD", TInfError::BadCharacter},
        {"no z field", Inf("type=0|name=Ann|score=5|key=V|p=" + kToken + "|add="),
         TInfError::BadPadding},
        {"five more zeros of padding",
         EncodeText(PadToMultiple(Fields("Ann", "50", "V", kToken, ""), 5, '0') + "00000"),
         TInfError::BadPadding},
        {"zeros after z but not padding", Inf(Fields("Ann", "5", "V", kToken, "") + "x"),
         TInfError::BadPadding},
        {"all zero bytes", std::string(16, 'D'), TInfError::BadPadding},
        {"only z", Inf("|z="), TInfError::BadLayout},
        {"no type", Inf("name=Ann|score=5|key=V|p=" + kToken + "|add=|z="), TInfError::BadLayout},
        {"type 1", Inf("type=1|name=Ann|score=5|key=V|p=" + kToken + "|add=|z="),
         TInfError::BadType},
        {"no name field", Inf("type=0|score=5|key=V|p=" + kToken + "|add=|z="),
         TInfError::BadLayout},
        {"no score field", Inf("type=0|name=Ann|key=V|p=" + kToken + "|add=|z="),
         TInfError::BadLayout},
        {"no key field", Inf("type=0|name=Ann|score=5|p=" + kToken + "|add=|z="),
         TInfError::BadLayout},
        {"no token field", Inf("type=0|name=Ann|score=5|key=V|add=|z="), TInfError::BadLayout},
        {"no add field", Inf("type=0|name=Ann|score=5|key=V|p=" + kToken + "|z="),
         TInfError::BadLayout},
        {"fields swapped", Inf("type=0|name=Ann|key=V|score=5|p=" + kToken + "|add=|z="),
         TInfError::BadLayout},
        {"unknown key", Inf(Fields("Ann", "5", "Q", kToken, "")), TInfError::BadKey},
        {"two key letters", Inf(Fields("Ann", "5", "VV", kToken, "")), TInfError::BadKey},
        {"empty name", Inf(Fields("", "5", "V", kToken, "")), TInfError::BadName},
        {"thirteen characters", Inf(Fields("thirteen char", "5", "V", kToken, "")),
         TInfError::BadName},
        {"control character", Inf(Fields("An\tn", "5", "V", kToken, "")), TInfError::BadName},
        {"not UTF-8", Inf(Fields("An\xff", "5", "V", kToken, "")), TInfError::BadName},
        {"overlong UTF-8", Inf(Fields("A\xC0\xAF", "5", "V", kToken, "")), TInfError::BadName},
        {"empty score", Inf(Fields("Ann", "", "V", kToken, "")), TInfError::BadScore},
        {"negative score", Inf(Fields("Ann", "-5", "V", kToken, "")), TInfError::BadScore},
        {"score past the maximum", Inf(Fields("Ann", "10000001", "V", kToken, "")),
         TInfError::BadScore},
        {"huge score", Inf(Fields("Ann", "99999999999999999999999", "V", kToken, "")),
         TInfError::BadScore},
        {"score with letters", Inf(Fields("Ann", "12e3", "V", kToken, "")), TInfError::BadScore},
        {"empty token", Inf(Fields("Ann", "5", "V", "", "")), TInfError::BadToken},
        {"token with a space", Inf(Fields("Ann", "5", "V", "ab cd", "")), TInfError::BadToken},
        {"token too long", Inf(Fields("Ann", "5", "V", std::string(kMaxTokenLength + 1, 'a'), "")),
         TInfError::BadToken},
        {"extra too long", Inf(Fields("Ann", "5", "V", kToken, "thirteen char")),
         TInfError::BadExtra},
        {"extra with a line break", Inf(Fields("Ann", "5", "V", kToken, "a\nb")),
         TInfError::BadExtra},
    };
    ASSERT_EQ(DecodeScoreInf(good).Error, TInfError::None);
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeScoreInf(c.InfValue).Error, c.Expected)
            << c.What << " gave " << InfErrorText(DecodeScoreInf(c.InfValue).Error);
    }
}

TEST(ScoreRequest, CountsCharactersNotBytes) {
    EXPECT_EQ(PrintableCharCount(""), 0);
    EXPECT_EQ(PrintableCharCount("abc"), 3);
    EXPECT_EQ(PrintableCharCount("Zoë"), 3);
    EXPECT_EQ(PrintableCharCount("\xF0\x9F\x8F\x81"), 1);  // a four-byte character
    EXPECT_EQ(PrintableCharCount("\xED\xA0\x80"), -1);     // a surrogate
    EXPECT_EQ(PrintableCharCount("\xE2\x82"), -1);         // cut short
    EXPECT_EQ(PrintableCharCount("a\x7f"), -1);
}
