// System-font text: the face mapping, measuring, the string cache and what reaches the screen.
#include <cstdlib>
#include <filesystem>

#include "PixelCompare.h"
#include "engine/FontFaces.h"
#include "engine/KerbFont.h"
#include "platform/Paths.h"

namespace {
// Points the program folder at the game folder of this build (where the set-up put the
// fonts) for the life of the object.
class TGameDir {
public:
    TGameDir() : Old(ProgramDir()) {
        if (const char* dir = std::getenv("VELKARO_GAME_DIR")) SetProgramDir(dir);
    }
    ~TGameDir() { SetProgramDir(Old); }

private:
    std::string Old;
};

TEST(FontFaces, GameFacesMapToTheWideFontOrTheFallback) {
    TGameDir gameDir;
    const std::string wide = ProgramDir() + "Fonts/michroma-latin-400-normal.woff";
    const bool haveWide = std::filesystem::exists(wide);
    for (const char* face : {"Micra", "MicrogrammaDBolExt"})
        EXPECT_EQ(FontFileForFace(face), haveWide ? wide : std::string(FallbackFontFile)) << face;
    EXPECT_EQ(FontFileForFace("Arial"), FallbackFontFile);
    EXPECT_EQ(FontFileForFace("micra"), FallbackFontFile);  // names match exactly
    SetProgramDir(::testing::TempDir());
    EXPECT_EQ(FontFileForFace("Micra"), FallbackFontFile);
}

TEST(KerbFont, MeasuresWithoutAScreen) {
    TGameDir gameDir;
    TKerbFont font;
    EXPECT_EQ(font.TextWidth("no font yet"), 0);
    font.SetFont("Micra", 10, fsBold);
    ASSERT_TRUE(font.HasFont());
    const int32_t one = font.TextWidth("W"), two = font.TextWidth("WW"),
                  three = font.TextWidth("WWW");
    EXPECT_GT(one, 0);
    EXPECT_GT(two, one);
    EXPECT_GT(three, two);
    EXPECT_EQ(font.TextWidth(""), 0);
    // Sizes are points at 96 dpi: a 30-point line is about three times a 10-point one, and
    // at least 40 pixels (the em) high.
    const int32_t small = font.TextHeight();
    font.SetFont("Micra", 30, fsBold);
    EXPECT_GE(font.TextHeight(), 40);
    EXPECT_NEAR(static_cast<double>(font.TextHeight()) / small, 3.0, 0.4);
    EXPECT_GT(font.TextWidth("WWW"), three * 2);
    font.TextOut(0, 0, "nothing to draw on");
    EXPECT_EQ(font.TexturesCreated(), 0);
}

TEST(KerbFont, SetFontResetsTheColourAndKeepsTheCacheForTheSameFont) {
    TGameDir gameDir;
    TKerbFont font;
    font.SetFont("Micra", 12, fsBold);
    font.SetColor(10, 20, 30, 40);
    font.SetFont("Micra", 12, fsBold);
    EXPECT_EQ(font.Red, 255);
    EXPECT_EQ(font.Green, 255);
    EXPECT_EQ(font.Blue, 255);
    EXPECT_EQ(font.Alpha, 255);
    // A size that cannot be is clamped, not refused.
    font.SetFont("Micra", 0, 0);
    EXPECT_TRUE(font.HasFont());
    EXPECT_GT(font.TextWidth("x"), 0);
}

class KerbFontDraw : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        Font = std::make_unique<TKerbFont>(Screen.get());
        Font->SetFont("Micra", 20, fsBold);
        ASSERT_TRUE(Font->HasFont());
    }
    void TearDown() override {
        Font.reset();
        ScreenFixture::TearDown();
    }
    // The brightest pixel of the frame's (x, y, w, h) as (r, g, b), by its sum.
    uint32_t Brightest(const TImage& frame, int32_t x, int32_t y, int32_t w, int32_t h) {
        uint32_t best = 0;
        int32_t bestSum = -1;
        for (int32_t j = y; j < y + h; ++j)
            for (int32_t i = x; i < x + w; ++i) {
                const uint32_t p = frame.At(i, j);
                const int32_t sum =
                    static_cast<int32_t>((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF));
                if (sum > bestSum) {
                    bestSum = sum;
                    best = p & 0xFFFFFFu;
                }
            }
        return best;
    }
    TGameDir GameDir;
    std::unique_ptr<TKerbFont> Font;
};

TEST_F(KerbFontDraw, SameTextIsRenderedOnceWhateverItsColour) {
    Screen->Clear(0, 0, 0, 255);
    Screen->BeginScene();
    for (int frame = 0; frame < 3; ++frame) {
        Font->TextOut(10, 10, "Hello, player!");
        Font->TextOutColor(10, 40, 255, 0, 0, 255, "Hello, player!");
        Font->TextOutInverse(10, 70, "Hello, player!");
    }
    Screen->EndScene();
    EXPECT_EQ(Font->TexturesCreated(), 1);
    Font->TextOut(10, 100, "Level 2");
    EXPECT_EQ(Font->TexturesCreated(), 2);
    EXPECT_EQ(Font->CachedTexts(), 2u);
    // The same font set again keeps what was rendered; another size does not.
    Font->SetFont("Micra", 20, fsBold);
    Font->TextOut(10, 10, "Level 2");
    EXPECT_EQ(Font->TexturesCreated(), 2);
    Font->SetFont("Micra", 21, fsBold);
    EXPECT_EQ(Font->CachedTexts(), 0u);
}

TEST_F(KerbFontDraw, TheCacheDropsTheLeastRecentlyUsedBeyondItsLimit) {
    const int32_t n = static_cast<int32_t>(TKerbFont::CacheLimit);
    Font->TextOut(0, 0, "kept");
    for (int32_t i = 0; i < n; ++i) {
        Font->TextOut(0, 0, std::to_string(i));
        if (i % 16 == 0) Font->TextOut(0, 0, "kept");  // used now and then: stays
    }
    EXPECT_EQ(Font->CachedTexts(), TKerbFont::CacheLimit);
    const int64_t made = Font->TexturesCreated();
    EXPECT_EQ(made, n + 1);
    Font->TextOut(0, 0, "kept");
    EXPECT_EQ(Font->TexturesCreated(), made);
    Font->TextOut(0, 0, "0");  // the oldest: rendered again
    EXPECT_EQ(Font->TexturesCreated(), made + 1);
}

TEST_F(KerbFontDraw, TextIsDrawnInItsColourAtItsPlace) {
    Screen->Clear(0, 0, 0, 255);
    Screen->BeginScene();
    Font->SetColor(20, 20, 20);
    Font->TextOutColor(100, 100, 255, 0, 0, 250, "MMMM");
    Font->TextOutInverse(100, 200, "MMMM");
    const int32_t w = Font->TextWidth("MMMM"), h = Font->TextHeight();
    const TImage frame = Frame();
    Screen->EndScene();
    EXPECT_EQ(Brightest(frame, 100, 100, w, h), 0xFA0000u);
    EXPECT_EQ(Brightest(frame, 100, 200, w, h), 0xEBEBEBu);  // 255 - 20
    // Nothing left of or above the text's corner.
    EXPECT_EQ(Brightest(frame, 60, 100, 40, h), 0u);
    EXPECT_EQ(Brightest(frame, 100, 60, w, 40), 0u);
}

TEST_F(KerbFontDraw, AResetEmptiesTheCacheAndTextComesBack) {
    Font->TextOut(0, 0, "Pause");
    Screen->HandleRenderReset();
    EXPECT_EQ(Font->CachedTexts(), 0u);
    Screen->Clear(0, 0, 0, 255);
    Screen->BeginScene();
    Font->TextOut(100, 100, "Pause");
    const TImage frame = Frame();
    Screen->EndScene();
    EXPECT_EQ(Font->TexturesCreated(), 2);
    EXPECT_EQ(Brightest(frame, 100, 100, Font->TextWidth("Pause"), Font->TextHeight()), 0xFFFFFFu);
}
}  // namespace

TEST(KerbFont, TextsAreEightBitWesternNotUtf8) {
    TGameDir gameDir;
    TKerbFont font;
    font.SetFont("Micra", 14, fsBold);
    ASSERT_TRUE(font.HasFont());
    // An accented capital advances as its plain letter does (as UTF-8 the byte would be
    // malformed and measured as a replacement glyph).
    EXPECT_EQ(font.TextWidth("\xC4"), font.TextWidth("A"));
    EXPECT_EQ(font.TextWidth("\xD6\xDC"), font.TextWidth("OU"));
}
