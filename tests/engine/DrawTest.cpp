// Pixels drawn through the screen, read back and compared with what a textured quad must look
// like: worked out by hand for the simple cases, else by the reference rasteriser from the quad
// the item hands to its renderer. Every test runs on SDL's software renderer (dummy driver)
// and, where the machine has it, on OpenGL through the offscreen driver. The software
// renderer resamples turned and scaled pictures with its own rounding, so there a pixel may
// show the texel of any point of its own square.
#include <functional>

#include "PixelCompare.h"

namespace {
// Captures the quads an item draws instead of drawing them.
class TRecorder : public TKerbRenderer {
public:
    std::vector<TQuad> Quads;
    void SetBlendMode(int32_t) override {}
    void SetAdditive(bool) override {}
    void RenderQuad(const TKerbTexture&, const TQuad& quad) override { Quads.push_back(quad); }
};

constexpr uint32_t Background = 0xFF142840u;  // (20, 40, 64)

TImage TextureImage(const TKerbTexture& t) {
    TImage out(t.Width, t.Height);
    if (t.HasTexels()) out.Pixels.assign(t.Data(), t.Data() + t.TexelCount());
    return out;
}

// The bounding box of the pixels that are not background, grown by margin.
TRect ChangedArea(const TImage& image, int32_t margin) {
    TRect box{image.Width, image.Height, 0, 0};
    for (int32_t y = 0; y < image.Height; ++y)
        for (int32_t x = 0; x < image.Width; ++x)
            if ((image.At(x, y) & 0xFFFFFFu) != (Background & 0xFFFFFFu)) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    box.Left = std::max(0, box.Left - margin);
    box.Top = std::max(0, box.Top - margin);
    box.Right = std::min(image.Width, box.Right + margin);
    box.Bottom = std::min(image.Height, box.Bottom + margin);
    return box;
}

class DrawTest : public ScreenFixture, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        VideoDriver = GetParam();
        ScreenFixture::SetUp();
        if (!VideoDriver.empty() && Screen->IsSoftware())
            GTEST_SKIP() << "no accelerated renderer on the " << VideoDriver << " driver";
    }

    void ClearFrame() {
        Screen->Clear(0x14, 0x28, 0x40, 0xFF);
        ASSERT_TRUE(Screen->BeginScene());
    }

    // What the draw must produce: the background with every quad the item hands to its
    // renderer drawn by the reference rasteriser after the screen's global transform.
    // Sampled a hair (slack, in pixels) to each side of the pixel centre, since a centre on a
    // texel edge may take either texel.
    std::vector<TImage> Expected(TImageListItem& item,
                                 const std::function<void(TImageListItem&)>& draw, double slack) {
        TRecorder recorder;
        TKerbRenderer* real = item.Renderer;
        item.Renderer = &recorder;
        draw(item);
        item.Renderer = real;
        const TImage texture = TextureImage(*item.Texture);
        std::vector<TImage> out;
        for (double sx : {0.0, -slack, slack})
            for (double sy : {0.0, -slack, slack}) {
                TImage expected(800, 600, Background);
                for (const TQuad& q : recorder.Quads)
                    ReferenceQuad(expected, texture, ApplyScreenTransform(*Screen, q), sx, sy);
                out.push_back(std::move(expected));
            }
        return out;
    }

    TImage Drawn(TImageListItem& item, const std::function<void(TImageListItem&)>& draw) {
        ClearFrame();
        draw(item);
        TImage frame = Frame();
        Screen->EndScene();
        return frame;
    }
};

struct TDrawCase {
    const char* Name;
    std::function<void(TImageListItem&)> Draw;
    std::function<void(TKerbScreen&)> Setup;  // global screen settings, or none
    bool Resampled;                           // turned or scaled
    // The share of pixels the software renderer may get wrong: it scales a picture first and
    // turns the result, which moves the edges of a picture both scaled and turned.
    double SoftwareShare = 0;
};

void DrawAt(TImageListItem& item, float angle, float scale, uint32_t color, bool mirrorY,
            bool mirrorX, int32_t pattern = 0) {
    item.DrawColor(100, 100, angle, 0.5f, 0.5f, scale, scale, color, mirrorY, mirrorX, pattern, 0);
}

const TDrawCase DrawCases[] = {
    {"upright", [](TImageListItem& i) { i.Draw(100, 100, 0); }, nullptr, false},
    {"rotate90", [](TImageListItem& i) { DrawAt(i, 90, 1, 0xFFFFFFFFu, false, false); }, nullptr,
     true},
    {"rotate30", [](TImageListItem& i) { DrawAt(i, 30, 1, 0xFFFFFFFFu, false, false); }, nullptr,
     true},
    {"rotate-135 scaled mirrored",
     [](TImageListItem& i) { DrawAt(i, -135, 2, 0xFFFFFFFFu, true, true); }, nullptr, true, 0.15},
    {"scale2 about the corner",
     [](TImageListItem& i) {
         i.DrawColor(100, 100, 0, 0, 0, 2, 2, 0xFFFFFFFFu, false, false, 0, 0);
     },
     nullptr, true},
    {"scale1.5 about the centre",
     [](TImageListItem& i) { DrawAt(i, 0, 1.5f, 0xFFFFFFFFu, false, false); }, nullptr, true},
    {"mirror left-right", [](TImageListItem& i) { DrawAt(i, 0, 1, 0xFFFFFFFFu, false, true); },
     nullptr, false},
    {"mirror top-bottom", [](TImageListItem& i) { DrawAt(i, 0, 1, 0xFFFFFFFFu, true, false); },
     nullptr, false},
    {"tint", [](TImageListItem& i) { DrawAt(i, 0, 1, 0xFF80C040u, false, false); }, nullptr, false},
    {"translucent", [](TImageListItem& i) { DrawAt(i, 0, 1, 0x80FFFFFFu, false, false); }, nullptr,
     0},
    {"global tint", [](TImageListItem& i) { i.Draw(100, 100, 0); },
     [](TKerbScreen& s) { s.SetColor(0xFF80FF40u); }, false},
    {"global scale, turn and offset", [](TImageListItem& i) { i.Draw(380, 280, 0); },
     [](TKerbScreen& s) {
         s.CenterX = 400;
         s.CenterY = 300;
         s.ScaleX = s.ScaleY = 2;
         s.Rotation = 90;
         s.OffsetX = 10;
         s.OffsetY = -5;
     },
     true},
};

TEST_P(DrawTest, QuadsMatchTheReferenceRasteriser) {
    TImageListItem& item = AddItem("gradient", GradientPicture(16, 16));
    List->Initialize();
    Screen->SetTextureFilter(false);
    for (const TDrawCase& c : DrawCases) {
        SCOPED_TRACE(c.Name);
        Screen->CenterX = Screen->CenterY = Screen->OffsetX = Screen->OffsetY = 0;
        Screen->ScaleX = Screen->ScaleY = 1;
        Screen->Rotation = 0;
        Screen->SetColor(0xFFFFFFFFu);
        if (c.Setup) c.Setup(*Screen);
        const bool loose = c.Resampled && Screen->IsSoftware();
        std::vector<TImage> expected = Expected(item, c.Draw, loose ? 0.5 : 0.01);
        const TImage actual = Drawn(item, c.Draw);
        // Only the area the quad touches (and a margin) counts towards the share.
        const TRect box = ChangedArea(expected.front(), 2);
        ASSERT_LT(box.Left, box.Right);
        const int32_t w = box.Right - box.Left, h = box.Bottom - box.Top;
        for (TImage& e : expected) e = e.Crop(box.Left, box.Top, w, h);
        const double share = Screen->IsSoftware() ? c.SoftwareShare : 0;
        const TCompareResult r =
            CompareImages(actual.Crop(box.Left, box.Top, w, h), expected, 3, share, c.Name);
        EXPECT_TRUE(r.Match) << r.Message;
    }
}

TEST_P(DrawTest, QuarterTurnPutsEachTexelWhereTheTurnTakesIt) {
    // Turned clockwise about the point (8, 8) past the top-left corner: texel (u, v) lands on
    // (16 - v, u). Point filtering keeps the texel values exact but for the tint's 255/256.
    TImageListItem& item = AddItem("gradient", GradientPicture(16, 16));
    List->Initialize();
    Screen->SetTextureFilter(false);
    const TImage frame = Drawn(item, [](TImageListItem& i) {
        i.DrawColor(100, 100, 90, 0.5f, 0.5f, 1, 1, 0xFFFFFFFFu, false, false, 0, 0);
    });
    const TImage texture = TextureImage(*item.Texture);
    int32_t wrong = 0;
    for (int32_t v = 0; v < 16; ++v)
        for (int32_t u = 0; u < 16; ++u) {
            const uint32_t want = texture.At(u, v), got = frame.At(100 + 16 - v, 100 + u);
            for (int shift : {8, 16})
                if (std::abs(static_cast<int>((want >> shift) & 0xFF) -
                             static_cast<int>((got >> shift) & 0xFF)) > 3)
                    ++wrong;
        }
    EXPECT_LE(wrong, 2);
}

TEST_P(DrawTest, PatternIndexPicksTheTileAndClampsToTheLast) {
    TImageListItem& strip = AddItem("strip", GradientPicture(32, 16), 16, 16);
    List->Initialize();
    Screen->SetTextureFilter(false);
    ASSERT_EQ(strip.PatternCount(), 2);
    const TImage texture = TextureImage(*strip.Texture);
    for (int32_t pattern : {1, 5}) {
        SCOPED_TRACE(pattern);
        const TImage frame =
            Drawn(strip, [pattern](TImageListItem& i) { i.Draw(200, 50, pattern); });
        TImage want(16, 16);
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 16; ++x) want.At(x, y) = texture.At(16 + x, y);
        const TCompareResult r = CompareImages(frame.Crop(200, 50, 16, 16), want, 2, 0, "pattern");
        EXPECT_TRUE(r.Match) << r.Message;
        // Nothing of the tile's neighbour beside it.
        EXPECT_EQ(frame.At(216, 58) & 0xFFFFFFu, Background & 0xFFFFFFu);
    }
}

// Where the pixels of a drawn picture must land, written out by hand: flips, turns about the
// rotation centre, scale and stretch. The picture has four coloured quarters, so a probe in the
// middle of a quarter's landing place tells which quarter got there.
constexpr uint32_t Red = 0xFFD02020u, Green = 0xFF20C020u, Blue = 0xFF2040D0u, Yellow = 0xFFE0D020u;

TPicture Quarters() {
    TPicture p = SolidPicture(24, 16, 0);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 24; ++x)
            p.Pixels[static_cast<size_t>(y * 24 + x)] =
                y < 8 ? (x < 12 ? Red : Green) : (x < 12 ? Blue : Yellow);
    return p;
}

struct TProbe {
    int32_t X, Y;
    uint32_t Want;
};

bool Near(uint32_t got, uint32_t want, int32_t tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int32_t>((got >> shift) & 0xFF) -
                     static_cast<int32_t>((want >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

TEST_P(DrawTest, FlipsTurnsScaleAndStretchPutEachQuarterWhereItBelongs) {
    TImageListItem& item = AddItem("quarters", Quarters());
    List->Initialize();
    Screen->SetTextureFilter(false);
    const uint32_t white = 0xFFFFFFFFu, bg = Background;
    const auto at = [white](float angle, float cx, float cy, float sx, float sy, bool mirrorY,
                            bool mirrorX) {
        return [=](TImageListItem& i) {
            i.DrawColor(100, 100, angle, cx, cy, sx, sy, white, mirrorY, mirrorX, 0, 0);
        };
    };
    // DrawStretch into the 48 x 32 rectangle at (200, 50), moved by (dx, dy).
    const auto stretch = [](int32_t dx, int32_t dy, float angle, bool mirrorY) {
        return [=](TImageListItem& i) {
            i.DrawStretch(TRect{200, 50, 248, 82}, dx, dy, angle, 0.5f, 0.5f, 1, 1, 255, 255, 255,
                          255, mirrorY, false, 0, 0);
        };
    };
    // Quarters are 12 x 8 pixels; drawn at (100, 100) the picture covers 100..123 x 100..115.
    const struct {
        const char* Name;
        std::function<void(TImageListItem&)> Draw;
        std::vector<TProbe> Probes;
    } cases[] = {
        {"upright",
         at(0, 0, 0, 1, 1, false, false),
         {{105, 103, Red},
          {117, 103, Green},
          {105, 111, Blue},
          {117, 111, Yellow},
          {100, 100, Red},
          {123, 115, Yellow},
          {99, 103, bg},
          {124, 111, bg},
          {105, 116, bg},
          {105, 99, bg}}},
        {"mirrored left-right",
         at(0, 0, 0, 1, 1, false, true),
         {{105, 103, Green}, {117, 103, Red}, {105, 111, Yellow}, {117, 111, Blue}}},
        {"mirrored top-bottom",
         at(0, 0, 0, 1, 1, true, false),
         {{105, 103, Blue}, {117, 103, Yellow}, {105, 111, Red}, {117, 111, Green}}},
        {"mirrored both ways",
         at(0, 0, 0, 1, 1, true, true),
         {{105, 103, Yellow}, {117, 103, Blue}, {105, 111, Green}, {117, 111, Red}}},
        // A clockwise quarter turn about the top-left pixel: (x, y) -> (200 - y, x).
        {"turned about the corner",
         at(90, 0, 0, 1, 1, false, false),
         {{96, 105, Red},
          {96, 117, Green},
          {88, 105, Blue},
          {88, 117, Yellow},
          {102, 105, bg},
          {83, 105, bg},
          {96, 125, bg}}},
        // About (112, 108), half the picture's width and height in: (x, y) -> (220 - y, x - 4).
        {"turned about the centre",
         at(90, 0.5f, 0.5f, 1, 1, false, false),
         {{116, 101, Red},
          {116, 114, Green},
          {108, 101, Blue},
          {108, 114, Yellow},
          {122, 101, bg},
          {103, 101, bg},
          {116, 94, bg}}},
        // Half a turn after the left-right flip is the top-bottom flip, moved a pixel right and
        // down (the turn is about the centre of pixel (112, 108)).
        {"mirrored left-right and half turned",
         at(180, 0.5f, 0.5f, 1, 1, false, true),
         {{106, 112, Red}, {118, 112, Green}, {106, 104, Blue}, {118, 104, Yellow}}},
        {"twice as wide",
         at(0, 0, 0, 2, 1, false, false),
         {{110, 103, Red},
          {135, 103, Green},
          {110, 111, Blue},
          {135, 111, Yellow},
          {150, 103, bg},
          {96, 103, bg}}},
        {"stretched",
         stretch(0, 0, 0, false),
         {{210, 57, Red},
          {236, 57, Green},
          {210, 74, Blue},
          {236, 74, Yellow},
          {246, 80, Yellow},
          {250, 70, bg},
          {236, 84, bg},
          {198, 57, bg}}},
        {"stretched, mirrored top-bottom",
         stretch(0, 0, 0, true),
         {{210, 57, Blue}, {236, 57, Yellow}, {210, 74, Red}, {236, 74, Green}}},
        // Moved to (210, 55) and turned about (222, 63): the tile's centre, not the
        // rectangle's.
        {"stretched, moved and turned",
         stretch(10, 5, 90, false),
         {{222, 62, Red},
          {222, 86, Green},
          {206, 62, Blue},
          {206, 86, Yellow},
          {234, 62, bg},
          {222, 48, bg}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TImage frame = Drawn(item, c.Draw);
        for (const TProbe& probe : c.Probes)
            EXPECT_TRUE(Near(frame.At(probe.X, probe.Y), probe.Want, 3))
                << "(" << probe.X << ", " << probe.Y << "): " << std::hex
                << frame.At(probe.X, probe.Y) << " instead of " << probe.Want;
    }
}

TEST_P(DrawTest, PatternsAreTakenFromTheirRowAndColumnOfTheGrid) {
    // Six 10 x 6 tiles in three columns and two rows: a 30 x 12 picture on a 32 x 16 texture.
    // Red tells the tile, green the column in it and blue the row.
    const auto texel = [](int32_t tile, int32_t column, int32_t row) {
        return Argb(255, static_cast<uint32_t>(40 * tile + 20),
                    static_cast<uint32_t>(20 * column + 30), static_cast<uint32_t>(40 * row + 20));
    };
    TPicture grid = SolidPicture(30, 12, 0);
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 30; ++x)
            grid.Pixels[static_cast<size_t>(y * 30 + x)] =
                texel((y / 6) * 3 + x / 10, x % 10, y % 6);
    TImageListItem& item = AddItem("grid", grid, 10, 6);
    List->Initialize();
    Screen->SetTextureFilter(false);
    ASSERT_EQ(item.PatternCount(), 6);
    ASSERT_EQ(item.TextureWidth, 30);
    // Pattern 9 is past the last and draws the last.
    for (int32_t pattern : {0, 1, 2, 3, 4, 5, 9}) {
        SCOPED_TRACE(pattern);
        const int32_t tile = std::min(pattern, 5);
        const TImage frame =
            Drawn(item, [pattern](TImageListItem& i) { i.Draw(300, 200, pattern); });
        int32_t wrong = 0;
        for (int32_t row = 0; row < 6; ++row)
            for (int32_t column = 0; column < 10; ++column)
                wrong += !Near(frame.At(300 + column, 200 + row), texel(tile, column, row), 3);
        EXPECT_EQ(wrong, 0) << "of the tile's 60 pixels";
        EXPECT_TRUE(Near(frame.At(310, 203), Background, 0));
        EXPECT_TRUE(Near(frame.At(305, 206), Background, 0));
    }
}

TEST_P(DrawTest, ColourKeyMakesMatchingTexelsInvisible) {
    const uint32_t magenta = 0xFFFF00FFu, green = 0xFF00C000u;
    TPicture picture = SolidPicture(8, 8, green);
    for (int32_t i = 0; i < 8; ++i) picture.Pixels[static_cast<size_t>(i * 8 + i)] = magenta;
    // Almost magenta, but not quite: stays.
    picture.Pixels[1] = 0xFFFF01FFu;
    struct {
        bool Transparent;
        uint32_t Key;  // 0x00BBGGRR
        bool DiagonalHidden;
    } cases[] = {
        {true, 0x00FF00FFu, true}, {false, 0x00FF00FFu, false}, {true, 0x000000FFu, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Transparent << " " << c.Key);
        List->ImageList.Clear();
        TImageListItem& item = AddItem("keyed", picture);
        item.Transparent = c.Transparent;
        item.TransparentColor = c.Key;
        List->Initialize();
        ASSERT_TRUE(item.Texture);
        EXPECT_EQ(item.Texture->TexelAt(3, 3) == 0, c.DiagonalHidden);
        EXPECT_NE(item.Texture->TexelAt(1, 0), 0u);
        const TImage frame = Drawn(item, [](TImageListItem& i) { i.Draw(10, 10, 0); });
        const bool diagonalIsBackground =
            (frame.At(13, 13) & 0xFFFFFFu) == (Background & 0xFFFFFFu);
        EXPECT_EQ(diagonalIsBackground, c.DiagonalHidden);
        EXPECT_NE(frame.At(14, 13) & 0xFFFFFFu, Background & 0xFFFFFFu);
    }
}

// One solid picture over the background with a blend mode; the expected colour per channel.
struct TBlendCase {
    int32_t Mode;
    uint32_t Picture;
    uint32_t Vertex;
    std::function<int32_t(int32_t src, int32_t srcAlpha, int32_t dst)> Expect;
};

int32_t Sat(int32_t v) {
    return std::clamp(v, 0, 255);
}

TEST_P(DrawTest, BlendModesCombineSourceAndDestination) {
    const TBlendCase cases[] = {
        {0, 0xFFC86432u, 0x80FFFFFFu,
         [](int32_t s, int32_t a, int32_t d) { return (s * a + d * (255 - a)) / 255; }},
        {1, 0xFFC86432u, 0xFFFFFFFFu, [](int32_t s, int32_t, int32_t d) { return Sat(s + d); }},
        {2, 0xFFC86432u, 0x80FFFFFFu,
         [](int32_t s, int32_t a, int32_t d) { return Sat(s * a / 255 + d); }},
        {5, 0xFFC86432u, 0xFFFFFFFFu, [](int32_t s, int32_t, int32_t d) { return d * s / 255; }},
    };
    TImageListItem& item = AddItem("solid", SolidPicture(8, 8, 0xFFFFFFFFu));
    for (const TBlendCase& c : cases) {
        SCOPED_TRACE(c.Mode);
        item.Texture.reset();
        item.SetPicture(SolidPicture(8, 8, c.Picture));
        List->Initialize();
        testing::internal::CaptureStderr();
        const TImage frame = Drawn(item, [&c](TImageListItem& i) {
            i.DrawColor(40, 40, 0, 0, 0, 1, 1, c.Vertex, false, false, 0, c.Mode);
        });
        testing::internal::GetCapturedStderr();
        const uint32_t got = frame.At(44, 44);
        const int32_t alpha = static_cast<int32_t>(c.Vertex >> 24) * 255 / 256;
        for (int shift : {0, 8, 16}) {
            // The screen's default tint of 255 scales every vertex channel by 255/256.
            const int32_t vertex = static_cast<int32_t>((c.Vertex >> shift) & 0xFF) * 255 / 256;
            const int32_t src = static_cast<int32_t>((c.Picture >> shift) & 0xFF) * vertex / 255;
            const int32_t dst = static_cast<int32_t>((Background >> shift) & 0xFF);
            EXPECT_NEAR(static_cast<int32_t>((got >> shift) & 0xFF), c.Expect(src, alpha, dst), 3)
                << "channel shift " << shift;
        }
    }
}

TEST_P(DrawTest, KeepModeAndAdditiveDrawUseTheRightFactors) {
    TImageListItem& item = AddItem("solid", SolidPicture(8, 8, 0xFF643214u));
    List->Initialize();
    ClearFrame();
    // Mode 5 (modulate), then -1 keeps it: the background darkens by the picture colour.
    item.DrawColor(10, 10, 0, 0, 0, 1, 1, 0xFFFFFFFFu, false, false, 0, 5);
    item.DrawColor(30, 10, 0, 0, 0, 1, 1, 0xFFFFFFFFu, false, false, 0, -1);
    // Back to mode 0, then an additive DrawAdd, then a plain draw in mode 0 again: only the
    // DrawAdd quad adds.
    item.Draw(50, 10, 0);
    item.DrawAdd(70, 10, 0, 0, 0, 1, 1, 255, 255, 255, 255, true, 0, 0);
    item.Draw(90, 10, 0);
    const TImage frame = Frame();
    Screen->EndScene();
    const auto green = [&frame](int32_t x) {
        return static_cast<int32_t>((frame.At(x, 14) >> 8) & 0xFF);
    };
    const int32_t bg = 0x28, pic = 0x32 * 254 / 255;
    EXPECT_NEAR(green(14), bg * pic / 255, 2);
    EXPECT_NEAR(green(34), bg * pic / 255, 2);
    EXPECT_NEAR(green(54), pic, 2);
    EXPECT_NEAR(green(74), bg + pic, 3);
    EXPECT_NEAR(green(94), pic, 2);
    EXPECT_EQ(Screen->BlendMode(), 0);
}

TEST_P(DrawTest, CornerColoursAreBlendedAcrossTheQuad) {
    TImageListItem& item = AddItem("white", SolidPicture(32, 32, 0xFFFFFFFFu));
    List->Initialize();
    Screen->ResetStats();
    const TImage frame = Drawn(item, [](TImageListItem& i) {
        i.DrawEx(100, 100, 0, 0, 0, 1, 1, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, false,
                 false, 0, 0);
    });
    EXPECT_EQ(Screen->Stats().Geometry, 1);
    const auto near = [](uint32_t got, uint32_t want) {
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((got >> shift) & 0xFF) -
                         static_cast<int>((want >> shift) & 0xFF)) > 24)
                return false;
        return true;
    };
    EXPECT_TRUE(near(frame.At(100, 100), 0xFFFF0000u)) << std::hex << frame.At(100, 100);
    EXPECT_TRUE(near(frame.At(131, 100), 0xFF00FF00u)) << std::hex << frame.At(131, 100);
    EXPECT_TRUE(near(frame.At(131, 131), 0xFF0000FFu)) << std::hex << frame.At(131, 131);
    EXPECT_TRUE(near(frame.At(100, 131), 0xFFFFFFFFu)) << std::hex << frame.At(100, 131);
}

TEST_P(DrawTest, EachQuadTakesTheCheapestPathThatDrawsIt) {
    TImageListItem& item = AddItem("gradient", GradientPicture(16, 16));
    List->Initialize();
    struct {
        const char* Name;
        std::function<void(TImageListItem&)> Draw;
        int64_t TDrawStats::*Counter;
    } cases[] = {
        {"upright", [](TImageListItem& i) { i.Draw(10, 10, 0); }, &TDrawStats::Copies},
        {"scaled upright", [](TImageListItem& i) { DrawAt(i, 0, 3, 0xFFFFFFFFu, false, false); },
         &TDrawStats::Copies},
        {"rotated", [](TImageListItem& i) { DrawAt(i, 10, 1, 0xFFFFFFFFu, false, false); },
         &TDrawStats::RotatedCopies},
        {"corner colours",
         [](TImageListItem& i) {
             i.DrawEx(10, 10, 0, 0, 0, 1, 1, 0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu,
                      false, false, 0, 0);
         },
         &TDrawStats::Geometry},
        {"off screen", [](TImageListItem& i) { i.Draw(-40, 700, 0); }, &TDrawStats::Culled},
        {"skewed by the global scale",
         [](TImageListItem& i) {
             i.DrawColor(100, 100, 45, 0.5f, 0.5f, 1, 1, 0xFFFFFFFFu, false, false, 0, 0);
         },
         &TDrawStats::Geometry},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const bool skew = std::string(c.Name).starts_with("skewed");
        Screen->ScaleX = skew ? 2.0f : 1.0f;
        Screen->ResetStats();
        ClearFrame();
        c.Draw(item);
        Screen->EndScene();
        EXPECT_EQ(Screen->Stats().*c.Counter, 1);
        const TDrawStats& s = Screen->Stats();
        EXPECT_EQ(s.Copies + s.RotatedCopies + s.Geometry + s.Culled, 1);
    }
    Screen->ScaleX = 1;
}
INSTANTIATE_TEST_SUITE_P(Renderers, DrawTest, testing::Values("", "offscreen"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             return std::string(*param.param ? "OpenGL" : "Software");
                         });

// The screen's own blending on the software renderer against SDL drawing the same quads: the
// pixels must be the same to the bit, on a window's surface (no alpha channel) and off screen
// (with one).
class OwnBlendTest : public ScreenFixture, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        if (GetParam()) {
            Offscreen = std::make_unique<TKerbScreen>(TOffscreenTarget{800, 600});
            ASSERT_TRUE(Offscreen->Initialize());
            List->KerbScreen = Offscreen.get();
        }
        ASSERT_TRUE(Target().IsSoftware());
    }
    void TearDown() override {
        List.reset();
        Offscreen.reset();
        ScreenFixture::TearDown();
    }

    TKerbScreen& Target() { return Offscreen ? *Offscreen : *Screen; }

    // Draws scene in frames frames cleared to background and returns the last one, as ARGB.
    TImage Frames(const std::function<void()>& scene, bool own, uint32_t background,
                  int32_t frames = 3) {
        TKerbScreen& screen = Target();
        screen.OwnBlending = own;
        TImage out;
        for (int32_t f = 0; f < frames; ++f) {
            screen.Clear(static_cast<uint8_t>(background >> 16),
                         static_cast<uint8_t>(background >> 8), static_cast<uint8_t>(background),
                         static_cast<uint8_t>(background >> 24));
            EXPECT_TRUE(screen.BeginScene());
            scene();
            if (f + 1 == frames) {
                out = TImage();
                EXPECT_TRUE(screen.ReadPixels(out.Pixels, out.Width, out.Height));
            }
            screen.EndScene();
        }
        screen.OwnBlending = true;
        return out;
    }

    // Both ways; the differing pixels are reported.
    void ExpectSameAsSdl(const std::function<void()>& scene, uint32_t background,
                         const std::string& name) {
        const TImage sdl = Frames(scene, false, background);
        const TImage own = Frames(scene, true, background);
        ASSERT_EQ(own.Pixels.size(), sdl.Pixels.size());
        int64_t differing = 0;
        std::string first;
        for (size_t i = 0; i < own.Pixels.size(); ++i)
            if (own.Pixels[i] != sdl.Pixels[i] && differing++ == 0)
                first = testing::PrintToString(
                    testing::Message() << " first at (" << i % 800 << ", " << i / 800 << "): own "
                                       << std::hex << own.Pixels[i] << " SDL " << sdl.Pixels[i]);
        EXPECT_EQ(differing, 0) << name << first;
    }

    std::unique_ptr<TKerbScreen> Offscreen;
};

// Every alpha from 0 to 255 down the picture, and RGB as given.
TPicture AlphaRamp(int32_t w, int32_t h, uint32_t rgb) {
    TPicture p = SolidPicture(w, h, rgb);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            p.Pixels[static_cast<size_t>(y * w + x)] =
                static_cast<uint32_t>((y * w + x) * 255 / (w * h - 1)) << 24 | (rgb & 0xFFFFFFu);
    return p;
}

TEST_P(OwnBlendTest, AWhiteQuadBlendsAsSdlBlendsIt) {
    // Opaque white under the usual tint is the common case: 254 in every channel, which is
    // what makes SDL blend pixel by pixel. Over white the destination's share still counts.
    TImageListItem& opaque = AddItem("white", SolidPicture(32, 32, 0xFFFFFFFFu));
    TImageListItem& ramp = AddItem("ramp", AlphaRamp(16, 16, 0xFFFFFF));
    List->Initialize();
    const struct {
        const char* Name;
        std::function<void()> Draw;
        bool Turned;
    } cases[] = {
        {"upright", [&] { opaque.Draw(100, 100, 0); }, false},
        {"every alpha", [&] { ramp.Draw(300, 50, 0); }, false},
        {"across the edges",
         [&] {
             opaque.Draw(-10, -7, 0);
             opaque.Draw(790, 590, 0);
         },
         false},
        {"turned",
         [&] { opaque.DrawColor(200, 200, 30, 0.5f, 0.5f, 1, 1, ~0u, false, false, 0, 0); }, true},
        {"turned every alpha",
         [&] { ramp.DrawColor(200, 200, 200, 0.5f, 0.5f, 1, 1, ~0u, false, false, 0, 0); }, true},
        {"mirrored", [&] { ramp.DrawColor(50, 300, 0, 0, 0, 1, 1, ~0u, true, true, 0, 0); }, true},
    };
    for (const auto& c : cases)
        for (uint32_t background : {0xFF000000u, 0xFFFFFFFFu, 0xFF01FE80u, 0x80FF7F00u}) {
            SCOPED_TRACE(testing::Message() << c.Name << " over " << std::hex << background);
            Target().ResetStats();
            ExpectSameAsSdl(c.Draw, background, c.Name);
            EXPECT_GT(Target().Stats().OwnBlends, 0);
            EXPECT_EQ(Target().Stats().OwnTurnedBlends > 0, c.Turned);
        }
}

TEST_P(OwnBlendTest, StretchedCopiesBlendAsSdlBlendsThem) {
    // Every texel differs from its neighbours, so a texel sampled from the wrong place shows;
    // a clear border and a translucent band test the alpha.
    TPicture picture = SolidPicture(32, 30, 0);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 32; ++x) {
            const uint32_t alpha = x == 0 || y == 29 ? 0 : y < 5 ? 90 : 255;
            picture.Pixels[static_cast<size_t>(y * 32 + x)] =
                Argb(alpha, static_cast<uint32_t>(x * 8), static_cast<uint32_t>(y * 8),
                     static_cast<uint32_t>((x ^ y) * 8));
        }
    TImageListItem& item = AddItem("grid", std::move(picture));
    List->Initialize();
    // The ground rows of a race are drawn 1.1 times as tall, across the picture's edges.
    const struct {
        const char* Name;
        int32_t X, Y;
        float ScaleX, ScaleY;
        bool Own;
    } cases[] = {
        {"taller across the top", 100, -10, 1, 1.1f, true},
        {"wider across the left", -20, 100, 1.5f, 1, true},
        {"smaller across the bottom right", 790, 590, 0.5f, 0.75f, true},
        {"larger across the right", 780, 300, 3, 2.5f, true},
        {"inside the picture", 200, 200, 1.5f, 1.5f, false},
    };
    for (const bool linear : {false, true}) {
        Target().SetTextureFilter(linear);
        for (const auto& c : cases)
            for (const uint32_t color : {0xFEFEFEFEu, 0xFF80C040u}) {
                SCOPED_TRACE(testing::Message()
                             << c.Name << (linear ? " linear " : " nearest ") << std::hex << color);
                Target().ResetStats();
                ExpectSameAsSdl(
                    [&] {
                        item.DrawColor(c.X, c.Y, 0, 0, 0, c.ScaleX, c.ScaleY, color, false, false,
                                       0, 0);
                    },
                    0xFF204060u, c.Name);
                EXPECT_EQ(Target().Stats().OwnStretchedBlends > 0, c.Own);
            }
    }
    Target().SetTextureFilter(false);
}

TEST_P(OwnBlendTest, KeptPicturesFollowAChangeOfColour) {
    // A turned and a stretched picture are kept, prepared for one colour, then drawn in another
    // (and back): every frame's pixels are SDL's.
    TImageListItem& item = AddItem("ramp", AlphaRamp(24, 20, 0x40C080));
    List->Initialize();
    const uint32_t colours[] = {0xFEFEFEFEu, 0xFEFEFEFEu, 0xFEFEFEFEu, 0xFEFEFEFEu, 0xFF80C040u,
                                0xFF80C040u, 0xFF80C040u, 0x80FFFFFFu, 0xFEFEFEFEu, 0xFEFEFEFEu};
    const auto frames = [&](bool own) {
        TKerbScreen& screen = Target();
        screen.OwnBlending = own;
        std::vector<TImage> out;
        for (const uint32_t color : colours) {
            screen.Clear(30, 60, 90, 255);
            EXPECT_TRUE(screen.BeginScene());
            item.DrawColor(200, 200, 33, 0.5f, 0.5f, 1, 1, color, false, false, 0, 0);
            item.DrawColor(-5, 400, 0, 0, 0, 1, 1.5f, color, false, false, 0, 0);
            out.emplace_back();
            EXPECT_TRUE(screen.ReadPixels(out.back().Pixels, out.back().Width, out.back().Height));
            screen.EndScene();
        }
        screen.OwnBlending = true;
        return out;
    };
    const std::vector<TImage> sdl = frames(false);
    Target().ResetStats();
    const std::vector<TImage> own = frames(true);
    ASSERT_EQ(own.size(), sdl.size());
    for (size_t f = 0; f < own.size(); ++f) EXPECT_TRUE(own[f].Pixels == sdl[f].Pixels) << f;
    EXPECT_GT(Target().Stats().OwnTurnedBlends, 0);
    EXPECT_GT(Target().Stats().OwnStretchedBlends, 0);
}

TEST_P(OwnBlendTest, EveryTexelOverEveryBackgroundBlendsAsSdl) {
    // Texel (x, y) has colour x in red and blue, 255 - x in green, and alpha y: all pairs.
    TPicture all;
    all.Format = TPicture::TFormat::Png;
    all.Width = all.Height = 256;
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t c = 0; c < 256; ++c) all.Pixels.push_back(Argb(a, c, 255 - c, c));
    TImageListItem& item = AddItem("all", std::move(all));
    List->Initialize();
    for (uint32_t color : {0xFFFFFFFFu, 0xFF80C040u, 0x7FFFFFFFu, 0x01FFFFFFu, 0xFE010203u})
        for (uint32_t background :
             {0xFF000000u, 0xFF010101u, 0xFF646464u, 0xFFFEFEFEu, 0xFFFFFFFFu, 0x00FF00FFu}) {
            SCOPED_TRACE(testing::Message() << std::hex << color << " over " << background);
            ExpectSameAsSdl(
                [&] { item.DrawColor(20, 30, 0, 0, 0, 1, 1, color, false, false, 0, 0); },
                background, "all texels");
        }
}

TEST_P(OwnBlendTest, TurnedSpritesDrawAsSdlTurnsThem) {
    // Noise in every channel with clear, translucent and opaque texels: a texel taken from the
    // wrong place, or weighed wrongly, shows. The strip's patterns are parts of one texture.
    uint64_t state = 0x2545F4914F6CDD1Dull;
    const auto noise = [&state](int32_t w, int32_t h) {
        TPicture p = SolidPicture(w, h, 0);
        for (uint32_t& px : p.Pixels) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            const auto r = static_cast<uint32_t>(state >> 32);
            const uint32_t kind = r % 5;
            const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? (r >> 8) & 0xFF : 255;
            px = alpha << 24 | ((r >> 3) & 0xFFFFFF);
        }
        return p;
    };
    TImageListItem& car = AddItem("car", noise(40, 24));
    TImageListItem& strip = AddItem("strip", noise(96, 24), 32, 24);
    List->Initialize();
    const struct {
        const char* Name;
        TImageListItem* Item;
        int32_t Pattern, X, Y;
        float Angle, CenterX, CenterY, Scale;
        bool MirrorX, MirrorY;
        bool Own;  // turned by the screen itself (not stretched first)
    } cases[] = {
        {"mirrored upright", &car, 0, 100, 100, 0, 0.5f, 0.5f, 1, true, false, true},
        {"quarter turn", &car, 0, 100, 100, 90, 0.5f, 0.5f, 1, false, false, true},
        {"half turn mirrored", &car, 0, 100, 100, 180, 0.5f, 0.5f, 1, false, true, true},
        {"three quarters", &car, 0, 100, 100, 270, 0.5f, 0.5f, 1, true, true, true},
        {"45 degrees", &car, 0, 300, 200, 45, 0.5f, 0.5f, 1, false, false, true},
        {"odd angle", &car, 0, 300, 200, 33.3f, 0.5f, 0.5f, 1, false, false, true},
        {"negative odd angle", &car, 0, 300, 200, -123.45f, 0.5f, 0.5f, 1, false, false, true},
        {"nearly whole turn", &car, 0, 300, 200, 359.9f, 0.5f, 0.5f, 1, false, false, true},
        {"beyond a whole turn", &car, 0, 300, 200, 400.5f, 0.5f, 0.5f, 1, false, false, true},
        {"off centre", &car, 0, 300, 200, 71, 0.1f, 0.9f, 1, false, false, true},
        {"mirrored both ways", &car, 0, 300, 200, 200.25f, 0.5f, 0.5f, 1, true, true, true},
        {"pattern of a strip", &strip, 1, 400, 300, 17.5f, 0.5f, 0.5f, 1, false, false, true},
        {"last pattern turned", &strip, 2, 400, 300, 250, 0.3f, 0.6f, 1, true, false, true},
        {"across the top left", &car, 0, -15, -10, 30, 0.5f, 0.5f, 1, false, false, true},
        {"across the bottom right", &car, 0, 785, 590, 300.5f, 0.5f, 0.5f, 1, false, false, true},
        {"across the left edge", &car, 0, -30, 300, 90, 0.5f, 0.5f, 1, false, false, true},
        {"stretched and turned", &car, 0, 300, 200, 33.3f, 0.5f, 0.5f, 1.5f, false, false, false},
    };
    TKerbScreen& screen = Target();
    for (const bool linear : {false, true}) {
        screen.SetTextureFilter(linear);
        for (const auto& c : cases)
            for (const uint32_t color : {0xFFFFFFFFu, 0xFEFEFEFEu, 0xFF80C040u, 0x80FFFFFFu}) {
                SCOPED_TRACE(testing::Message()
                             << c.Name << (linear ? " linear " : " nearest ") << std::hex << color);
                const auto scene = [&] {
                    c.Item->DrawColor(c.X, c.Y, c.Angle, c.CenterX, c.CenterY, c.Scale, c.Scale,
                                      color, c.MirrorY, c.MirrorX, c.Pattern, 0);
                };
                const TImage sdl = Frames(scene, false, 0xFF204060u);
                // The first frame blends the turn straight away; the third, the kept picture.
                // Each starts with nothing kept (a reset drops the turned pictures).
                for (const int32_t frames : {1, 3}) {
                    screen.HandleRenderReset();
                    screen.ResetStats();
                    const TImage own = Frames(scene, true, 0xFF204060u, frames);
                    const TCompareResult r = CompareImages(own, sdl, 2, 0, c.Name);
                    EXPECT_TRUE(r.Match) << frames << " frames: " << r.Message;
                    // A copy stretched before the turn is first drawn by SDL, then kept.
                    EXPECT_EQ(screen.Stats().OwnTurnedBlends > 0, c.Own || frames > 1) << frames;
                    EXPECT_EQ(screen.Stats().OwnTurns > 0, c.Own) << frames;
                }
            }
    }
    screen.SetTextureFilter(false);
}

// Random sprites of every kind the screen draws: upright, turned, mirrored, scaled, tinted,
// translucent, in every blend mode, partly or wholly off the picture, with and without a global
// tint, turn and scale. Each scene is drawn in three frames (turned pictures are kept from the
// second on) and the last ones are compared.
TEST_P(OwnBlendTest, RandomScenesDrawAsSdlDrawsThem) {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&state](uint32_t n) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33) % n;
    };
    const auto noise = [&](int32_t w, int32_t h) {
        TPicture p = SolidPicture(w, h, 0);
        for (uint32_t& px : p.Pixels) {
            const uint32_t kind = next(4);
            const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? next(256) : 255;
            px = alpha << 24 | (next(1u << 24));
        }
        return p;
    };
    std::vector<TImageListItem*> items = {&AddItem("a", noise(7, 13)), &AddItem("b", noise(32, 32)),
                                          &AddItem("c", noise(48, 20)),
                                          &AddItem("strip", noise(64, 16), 16, 16)};
    List->Initialize();
    struct TSprite {
        TImageListItem* Item;
        int32_t X, Y, Pattern, Mode;
        float Angle, CenterX, CenterY, Scale;
        uint32_t Color;
        bool MirrorX, MirrorY;
    };
    TKerbScreen& screen = Target();
    int64_t own = 0, turned = 0;
    for (int32_t scene = 0; scene < 12; ++scene) {
        std::vector<TSprite> sprites;
        for (int32_t i = 0; i < 60; ++i) {
            TSprite s;
            s.Item = items[next(static_cast<uint32_t>(items.size()))];
            s.X = static_cast<int32_t>(next(960)) - 80;
            s.Y = static_cast<int32_t>(next(760)) - 80;
            s.Pattern = static_cast<int32_t>(next(5));
            const uint32_t modes[] = {0, 0, 0, 0, 0, 1, 2, 5};
            s.Mode = static_cast<int32_t>(modes[next(8)]);
            const uint32_t turn = next(4);
            s.Angle = turn == 0   ? 0.0f
                      : turn == 1 ? 90.0f * static_cast<float>(next(4))
                                  : static_cast<float>(next(36000)) / 100.0f;
            s.CenterX = next(2) ? 0.5f : static_cast<float>(next(101)) / 100.0f;
            s.CenterY = next(2) ? 0.5f : static_cast<float>(next(101)) / 100.0f;
            s.Scale = next(5) == 0 ? 1.5f : 1.0f;
            const uint32_t colour = next(4);
            s.Color = colour < 2    ? 0xFFFFFFFFu
                      : colour == 2 ? 0xFF000000u | next(1u << 24)
                                    : next(~0u);
            s.MirrorX = next(4) == 0;
            s.MirrorY = next(4) == 0;
            sprites.push_back(s);
        }
        screen.SetColor(next(2) ? 0xFFFFFFFFu : 0xFF000000u | next(1u << 24));
        screen.Rotation = next(3) == 0 ? static_cast<float>(next(360)) : 0.0f;
        screen.CenterX = 400;
        screen.CenterY = 300;
        screen.ScaleX = screen.ScaleY = next(5) == 0 ? 1.25f : 1.0f;
        const uint32_t background = next(2) ? 0xFFFFFFFFu : 0xFF000000u | next(1u << 24);
        SCOPED_TRACE(scene);
        screen.ResetStats();
        ExpectSameAsSdl(
            [&] {
                for (const TSprite& s : sprites)
                    s.Item->DrawColor(s.X, s.Y, s.Angle, s.CenterX, s.CenterY, s.Scale, s.Scale,
                                      s.Color, s.MirrorY, s.MirrorX, s.Pattern, s.Mode);
            },
            background, "scene");
        own += screen.Stats().OwnBlends;
        turned += screen.Stats().OwnTurnedBlends;
    }
    // Both ways of the screen's own blending were taken.
    EXPECT_GT(own, 0);
    EXPECT_GT(turned, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, OwnBlendTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "Offscreen" : "Window");
                         });
}  // namespace
