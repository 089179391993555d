// The bitmap font's measuring and character map, without a screen.
#include "GuiFixture.h"

TEST_F(GuiFixture, TextWidthSumsGlyphsAndIsNeverZero) {
    struct TCase {
        std::string Text;
        float Scale;
        int32_t Spacing;
        int32_t Width;
    };
    const std::vector<TCase> cases = {
        {"", 1, 0, 1},
        {"A", 1, 0, 12},
        {"AB C", 1, 0, 48},
        {"AB", 1.5f, 0, 36},
        {"AB", 0.01f, 0, 1},
        {"AB", 1, 2, 28},
        {"A\xE4"
         "B",
         1, 0, 24},            // a character without a glyph counts nothing
        {"ABC\rA", 1, 0, 36},  // the widest line
    };
    for (const TCase& c : cases) {
        Font.ScaleX = c.Scale;
        Font.Spacing = c.Spacing;
        EXPECT_EQ(Font.TextWidth(c.Text), c.Width) << c.Text << " " << c.Scale;
    }
    Font.ScaleY = 1;
    EXPECT_EQ(Font.TextHeight("anything"), 16);
    Font.ScaleY = 0.5f;
    EXPECT_EQ(Font.TextHeight(), 8);
    Font.ScaleY = 0;
    EXPECT_EQ(Font.TextHeight(), 1);
}

TEST_F(GuiFixture, CharactersMapToGlyphsInOrderWithTheFirstOccurrenceWinning) {
    Font.SetCharacters("BAB");
    EXPECT_TRUE(Font.HasCharacter('A'));
    EXPECT_TRUE(Font.HasCharacter('B'));
    EXPECT_TRUE(Font.HasCharacter(' '));  // space maps to glyph 0 when absent
    EXPECT_FALSE(Font.HasCharacter('C'));
    EXPECT_FALSE(Font.HasCharacter(0xE4));
    // Glyph 1 (A) is tile 1 of the 16-column sheet: x 12 of 192 (the texture's own width).
    EXPECT_FLOAT_EQ(Font.Glyph('A').Left, 12.0f / 192.0f);
    EXPECT_FLOAT_EQ(Font.Glyph('B').Left, 0.0f);
    Font.SetCharacters("");
    EXPECT_EQ(Font.Characters(), "");
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(Font.HasCharacter(static_cast<uint8_t>(c)), c >= 32 && c <= 126) << c;
    // "~" is glyph 94: row 5, column 14.
    EXPECT_FLOAT_EQ(Font.Glyph('~').Left, 14 * 12 / 192.0f);
    EXPECT_FLOAT_EQ(Font.Glyph('~').Top, 5 * 16 / 96.0f);
    EXPECT_EQ(Font.FontName, "glyphs");
    EXPECT_EQ(Font.DefaultWidth(), 12);
    EXPECT_EQ(Font.DefaultHeight(), 16);
}

TEST_F(GuiFixture, ImageIndexOutsideTheListIsIgnored) {
    for (int32_t index : {-1, 2, 99}) {
        Font.SetKerbImageIndex(index);
        EXPECT_EQ(Font.KerbImageIndex(), 0) << index;
    }
    TKerbBitmapFont unlinked;
    unlinked.SetKerbImageIndex(0);
    EXPECT_EQ(unlinked.KerbImageIndex(), -1);
    EXPECT_EQ(unlinked.TextWidth("abc"), 1);
    EXPECT_EQ(unlinked.TextHeight(), 1);
    // Picture 1 has 4 x 10 tiles.
    Font.SetKerbImageIndex(1);
    EXPECT_EQ(Font.TextWidth("AB"), 8);
    EXPECT_EQ(Font.FontName, "look");
}
