// The HTML and JSON tables escape what players typed.
#include "server/ScorePages.h"

#include <gtest/gtest.h>

TEST(ScorePages, HtmlEscapesNamesAndNotes) {
    EXPECT_EQ(HtmlEscape("<b>&\"'x"), "&lt;b&gt;&amp;&quot;&#39;x");
    const std::string page =
        ScoresHtml({{"<script>x", 900, "a&b", 1'700'000'000}, {"Zoë", 800, "", 0}});
    EXPECT_EQ(page.find("<script>x"), std::string::npos);
    EXPECT_NE(page.find("<td>&lt;script&gt;x</td>"), std::string::npos);
    EXPECT_NE(page.find("<td>a&amp;b</td>"), std::string::npos);
    EXPECT_NE(page.find("<td>Zoë</td>"), std::string::npos);
    EXPECT_NE(page.find("14 Nov 2023"), std::string::npos);
    EXPECT_LT(page.find("900"), page.find("800"));
    EXPECT_NE(ScoresHtml({}).find("No scores yet."), std::string::npos);
}

TEST(ScorePages, JsonEscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonEscape("a\"b\\c\n\x01</"), "a\\\"b\\\\c\\u000a\\u0001\\u003c/");
    EXPECT_EQ(ScoresJson({}), "[\n]\n");
    EXPECT_EQ(ScoresJson({{"A|b=c", 5, "x", 1'700'000'000}}),
              "[\n{\"rank\":1,\"name\":\"A|b=c\",\"score\":5,\"extra\":\"x\","
              "\"time\":\"2023-11-14T22:13:20Z\"}\n]\n");
}
