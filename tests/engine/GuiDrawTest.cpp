// What the GUI and the bitmap font put on the software renderer: a button in its four looks,
// an edit with its caret, a bar's fill, and bitmap-font text placed, spaced, scaled, centred,
// broken and turned, all against pictures built here from rectangles; system-font glyphs in
// an own texture; and both fonts after a render reset.
#include "PixelCompare.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbGUI.h"
#include "platform/Clock.h"

namespace {
constexpr uint32_t Black = 0xFF000000u, Red = 0xFFFF0000u, Green = 0xFF00FF00u, Blue = 0xFF0000FFu,
                   White = 0xFFFFFFFFu;

struct TBox {
    int32_t X, Y, W, H;
    uint32_t Color;
};

TImage Boxes(int32_t w, int32_t h, const std::vector<TBox>& boxes) {
    TImage image(w, h, Black);
    for (const TBox& b : boxes)
        for (int32_t y = b.Y; y < b.Y + b.H; ++y)
            for (int32_t x = b.X; x < b.X + b.W; ++x) image.At(x, y) = b.Color;
    return image;
}

// A 16 x 6 sheet of 6 x 8 glyphs: "A" (code 65, tile 33) solid, "B" (tile 34) with its
// left three columns set, every other glyph empty.
TPicture GlyphSheet() {
    TPicture p;
    p.Format = TPicture::TFormat::Png;
    p.Width = 96;
    p.Height = 48;
    p.Pixels.assign(96 * 48, 0);
    for (int32_t y = 16; y < 24; ++y) {
        for (int32_t x = 6; x < 12; ++x) p.Pixels[static_cast<size_t>(y * 96 + x)] = White;
        for (int32_t x = 12; x < 15; ++x) p.Pixels[static_cast<size_t>(y * 96 + x)] = White;
    }
    return p;
}
}  // namespace

class GuiDraw : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        AddItem("glyphs", GlyphSheet(), 6, 8);
        Font = std::make_unique<TKerbBitmapFont>(Screen.get());
        Font->KerbImageList = List.get();
        Font->SetKerbImageIndex(0);
        Font->SetCharacters("");
        Gui = std::make_unique<TKerbGUI>(Clock);
        Gui->KerbScreen = Screen.get();
        Gui->KerbBitmapFont = Font.get();
        Gui->Initialize();
        Page = new TKerbGUIList(Gui.get());
    }
    void TearDown() override {
        Gui.reset();
        Font.reset();
        ScreenFixture::TearDown();
    }
    void Ready() {
        List->Initialize();
        Screen->SetTextureFilter(false);
    }
    // One frame of draw on black, read back.
    template <typename F>
    TImage Drawn(F draw) {
        Screen->Clear(0, 0, 0, 255);
        Screen->BeginScene();
        draw();
        TImage frame = Frame();
        Screen->EndScene();
        return frame;
    }
    void ExpectArea(const TImage& frame, const TImage& expected, int32_t x, int32_t y,
                    const std::string& name, double share = 0) {
        const TCompareResult r = CompareImages(frame.Crop(x, y, expected.Width, expected.Height),
                                               expected, 3, share, name);
        EXPECT_TRUE(r.Match) << name << ": " << r.Message;
    }

    TManualClock Clock;
    std::unique_ptr<TKerbBitmapFont> Font;
    std::unique_ptr<TKerbGUI> Gui;
    TKerbGUIList* Page = nullptr;
};

TEST_F(GuiDraw, ButtonShowsItsFourLooks) {
    auto* b = new TKerbButton(Page);
    b->X = 20;
    b->Y = 30;
    b->Width = b->Height = 10;
    b->Caption.clear();
    b->SetImage(gsNormal, &AddItem("normal", SolidPicture(10, 10, Red)));
    b->SetImage(gsOver, &AddItem("over", SolidPicture(10, 10, Green)));
    b->SetImage(gsPressed, &AddItem("pressed", SolidPicture(10, 10, Blue)));
    b->SetImage(gsOverlay, &AddItem("overlay", SolidPicture(4, 4, White)));
    Ready();
    // The area around the button, 2 pixels of margin: the button covers 20..29, 30..39.
    const auto look = [](uint32_t color, bool overlay) {
        std::vector<TBox> boxes = {{2, 2, 10, 10, color}};
        if (overlay) boxes.push_back({2, 2, 4, 4, White});
        return Boxes(14, 14, boxes);
    };
    const auto draw = [&] { return Drawn([&] { Gui->Draw(); }); };
    Clock.AdvanceMs(20);
    Gui->MouseMove(100, 100);
    ExpectArea(draw(), look(Red, false), 18, 28, "normal");
    Clock.AdvanceMs(20);
    Gui->MouseMove(25, 35);
    ExpectArea(draw(), look(Green, false), 18, 28, "over");
    Gui->MouseButton(TMouseButton::Left, true, 25, 35);
    ExpectArea(draw(), look(Blue, false), 18, 28, "pressed");
    Gui->MouseButton(TMouseButton::Left, false, 25, 35);
    Clock.AdvanceMs(20);
    Gui->MouseMove(100, 100);
    b->Checked = true;
    ExpectArea(draw(), look(Red, true), 18, 28, "checked");
    // A look without picture falls back to the normal one; a hidden button is not drawn.
    b->SetImage(gsOver, nullptr);
    Clock.AdvanceMs(20);
    Gui->MouseMove(25, 35);
    ExpectArea(draw(), look(Red, true), 18, 28, "over without picture");
    b->Visible = false;
    ExpectArea(draw(), Boxes(14, 14, {}), 18, 28, "hidden");
}

TEST_F(GuiDraw, ButtonCaptionIsCentredAndEditShowsItsCaretWhenFocused) {
    Ready();
    auto* b = new TKerbButton(Page);
    b->X = 10;
    b->Y = 10;
    b->Width = 40;
    b->Height = 20;
    b->Caption = "AA";
    b->FontColor = Red;
    // x = 40 div 2 + 10 - 12 div 2 = 24; y = 20 div 2 + 10 - 8 div 2 = 16.
    ExpectArea(Drawn([&] { Gui->Draw(); }), Boxes(20, 12, {{2, 2, 12, 8, Red}}), 22, 14, "caption");
    delete b;

    auto* edit = new TKerbEdit(Page);
    edit->X = 10;
    edit->Y = 50;
    edit->Width = 100;
    edit->Height = 16;
    // One-letter strings by character: GCC 12 at -O3 warns falsely (-Wrestrict) on assigning
    // a one-letter literal to a string.
    edit->Text = 'A';
    edit->CursorPos = 1;
    edit->CursorText = 'B';
    edit->FontColor = Green;
    // Text at x 10 + 5, y 16 div 2 + 50 - 4 = 54; the caret right after "A".
    const TImage text = Boxes(16, 12, {{2, 2, 6, 8, Green}});
    ExpectArea(Drawn([&] { Gui->Draw(); }), text, 13, 52, "unfocused");
    Gui->SetFocus(edit->ID);
    ExpectArea(Drawn([&] { Gui->Draw(); }),
               Boxes(16, 12, {{2, 2, 6, 8, Green}, {8, 2, 3, 8, Green}}), 13, 52, "focused");
    edit->ShowCursor = false;
    ExpectArea(Drawn([&] { Gui->Draw(); }), text, 13, 52, "caret off");
}

TEST_F(GuiDraw, BarFillsFromTheLeftOrTheBottomInProportion) {
    auto* bar = new TKerbBar(Page);
    bar->X = 10;
    bar->Y = 80;
    bar->Width = 100;
    bar->Height = 10;
    bar->Max = 4;
    bar->Position = 1;
    bar->ShowText = false;
    bar->SetImage(gsOverlay, &AddItem("fill", SolidPicture(100, 40, Green)));
    Ready();
    ExpectArea(Drawn([&] { Gui->Draw(); }), Boxes(104, 14, {{2, 2, 25, 10, Green}}), 8, 78,
               "a quarter");
    bar->Position = 0;
    ExpectArea(Drawn([&] { Gui->Draw(); }), Boxes(104, 14, {}), 8, 78, "empty");
    bar->Vertical = true;
    bar->Width = 10;
    bar->Height = 40;
    bar->Position = 3;
    ExpectArea(Drawn([&] { Gui->Draw(); }), Boxes(14, 44, {{2, 12, 10, 30, Green}}), 8, 78,
               "three quarters up");
    // Max equal to Min: nothing to divide by, nothing filled.
    bar->Max = 0;
    ExpectArea(Drawn([&] { Gui->Draw(); }), Boxes(14, 44, {}), 8, 78, "no range");
}

TEST_F(GuiDraw, BitmapTextIsPlacedSpacedScaledCentredBrokenAndTurned) {
    Ready();
    struct TCase {
        const char* Name;
        std::string Text;
        int32_t X, Y;
        std::function<void(TKerbBitmapFont&)> Setup;
        float Scale, Rotation;
        std::vector<TBox> Expected;
    };
    const std::vector<TCase> cases = {
        {"plain",
         "AB A",
         10,
         20,
         {},
         1,
         0,
         {{10, 20, 6, 8, Red}, {16, 20, 3, 8, Red}, {28, 20, 6, 8, Red}}},
        {"unknown characters take no room",
         "A\xE4"
         "A",
         10,
         20,
         {},
         1,
         0,
         {{10, 20, 12, 8, Red}}},
        {"spacing",
         "AA",
         10,
         20,
         [](TKerbBitmapFont& f) { f.Spacing = 1; },
         1,
         0,
         {{10, 20, 6, 8, Red}, {17, 20, 6, 8, Red}}},
        {"scale", "AB", 10, 20, {}, 2, 0, {{10, 20, 12, 16, Red}, {22, 20, 6, 16, Red}}},
        {"line break",
         "A\rBA",
         10,
         20,
         [](TKerbBitmapFont& f) { f.LineSpace = 2; },
         1,
         0,
         {{10, 20, 6, 8, Red}, {10, 30, 3, 8, Red}, {16, 30, 6, 8, Red}}},
        // Starts half the text's default width left and a quarter of its height up.
        {"centred",
         "AA",
         50,
         60,
         [](TKerbBitmapFont& f) { f.PositionMode = TPositionMode::pmCenter; },
         1,
         0,
         {{44, 58, 12, 8, Red}}},
        // A quarter turn clockwise about the start: the glyph lies left of it, downwards.
        {"turned", "A", 20, 20, {}, 1, 90, {{12, 20, 8, 6, Red}}},
    };
    for (const TCase& c : cases) {
        Font->Spacing = 0;
        Font->LineSpace = 10;
        Font->PositionMode = TPositionMode::pmTopLeft;
        if (c.Setup) c.Setup(*Font);
        const TImage frame = Drawn(
            [&] { Font->TextOutColor(c.X, c.Y, 0, c.Text, Red, c.Scale, c.Scale, c.Rotation); });
        ExpectArea(frame, Boxes(80, 80, c.Expected), 0, 0, c.Name);
    }
    // TextOut uses the font's own colour and scale.
    Font->SetColor(Blue);
    Font->ScaleX = Font->ScaleY = 1;
    ExpectArea(Drawn([&] { Font->TextOut(10, 20, 0, "A"); }), Boxes(80, 80, {{10, 20, 6, 8, Blue}}),
               0, 0, "TextOut");
}

TEST_F(GuiDraw, FontsSurviveARenderReset) {
    Ready();
    const TImage image = Boxes(80, 40, {{10, 20, 6, 8, Red}});
    ExpectArea(Drawn([&] { Font->TextOutColor(10, 20, 0, "A", Red, 1, 1, 0); }), image, 0, 0,
               "sheet before");
    Screen->HandleRenderReset();
    ExpectArea(Drawn([&] { Font->TextOutColor(10, 20, 0, "A", Red, 1, 1, 0); }), image, 0, 0,
               "sheet after");

    TKerbBitmapFont system(Screen.get());
    ASSERT_TRUE(system.CreateFromSystemFont("Micra", "", 0, 12));
    EXPECT_TRUE(system.OwnTexture());
    EXPECT_TRUE(system.HasCharacter('W'));
    EXPECT_FALSE(system.HasCharacter(0xE4));
    EXPECT_GT(system.TextWidth("WW"), system.TextWidth("W"));
    EXPECT_GT(system.TextWidth("W"), system.TextWidth("i"));
    const int32_t w = system.TextWidth("HW"), h = system.TextHeight();
    const auto draw = [&] {
        return Drawn([&] { system.TextOutColor(100, 100, 0, "HW", White, 1, 1, 0); });
    };
    const TImage before = draw();
    // Ink only inside the text's box, and some of it.
    int64_t inside = 0, outside = 0;
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 300; ++x) {
            if ((before.At(x, y) & 0xFFFFFF) == 0) continue;
            const bool in = x >= 100 && x < 100 + w && y >= 100 && y < 100 + h;
            ++(in ? inside : outside);
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    Screen->HandleRenderReset();
    EXPECT_TRUE(system.OwnTexture());
    const TCompareResult r = CompareImages(
        draw().Crop(90, 90, 120, 60), before.Crop(90, 90, 120, 60), 0, 0, "system after reset");
    EXPECT_TRUE(r.Match) << r.Message;
}
