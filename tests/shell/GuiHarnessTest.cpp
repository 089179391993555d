// The GUI inside the game: the harness's mouse, clicks and typed text reach a page built on
// KerbGUI1, its font is the menu pictures' glyph sheet, a button that leaves the screen frees
// its page safely, the menu frame draws the page, and a name edit's caret blinks.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/MenuPage.h"

namespace {
// The first-player screen: a menu frame with the cursor and its own page (its widgets wait off
// the screen's left edge until they slide in).
void ToMenuFrame(THarness& h) {
    h.Form().LeaveState(CurrentState);
    h.Form().EnterState(st::FirstPlayer);
    h.RunFrames(1);
}
}  // namespace

TEST(GuiInGame, HarnessDrivesButtonsAndEditsOfAPage) {
    THarness h({.WithWindow = true});
    ToMenuFrame(h);
    TKerbGUI& gui = h.Form().KerbGUI1;
    EXPECT_EQ(h.Form().KerbBitmapFont1.FontName, "MicrogrammaDBolExt");
    auto* page = new TKerbGUIList(&gui);
    auto* button = new TKerbButton(page);
    button->X = 100;
    button->Y = 100;
    button->Width = 60;
    button->Height = 20;
    int32_t clicks = 0;
    button->OnClick = [&](TKerbGUIComponent&, int32_t) { ++clicks; };
    auto* edit = new TKerbEdit(page);
    edit->X = 100;
    edit->Y = 200;
    edit->Width = 120;
    edit->Height = 20;
    edit->MaxLength = 12;

    h.MouseMove(110, 110);
    h.RunFrames(1);
    EXPECT_EQ(gui.Mouse.HoverID, button->ID);
    h.Click(110, 110);
    h.RunFrames(1);
    EXPECT_EQ(clicks, 1);

    h.Click(110, 205);
    h.TypeText("J\xC3\xB6rg Ok~");
    h.RunFrames(1);
    // The glyph sheet has the 95 characters from space to "~" only.
    EXPECT_EQ(edit->Text, "Jrg Ok~");
    h.Tap(vk::Back);
    h.Tap(vk::Home);
    h.TypeText("X");
    h.RunFrames(1);
    EXPECT_EQ(edit->Text, "XJrg Ok");
    EXPECT_EQ(clicks, 1);
    delete page;
}

TEST(GuiInGame, AButtonThatLeavesTheScreenFreesItsPage) {
    THarness h({.WithWindow = true});
    ToMenuFrame(h);
    TKerbGUI& gui = h.Form().KerbGUI1;
    TKerbGUIList* page = new TKerbGUIList(&gui);
    auto* button = new TKerbButton(page);
    button->Width = 50;
    button->Height = 50;
    button->OnClick = [&](TKerbGUIComponent&, int32_t) {
        delete page;
        page = nullptr;
    };
    h.Click(10, 10);
    h.Click(10, 10);
    h.RunFrames(2);
    EXPECT_EQ(page, nullptr);
    // Only the screen's own page is left.
    ASSERT_EQ(gui.Lists.size(), 1u);
    EXPECT_EQ(gui.Lists[0], h.Form().Page->List);
}

TEST(GuiInGame, TheMenuFrameDrawsThePageAndItSurvivesARenderReset) {
    THarness h({.WithWindow = true});
    ToMenuFrame(h);
    TKerbScreen& screen = h.Form().KerbScreen1;
    const auto quadsOfAFrame = [&] {
        screen.ResetStats();
        h.RunFrames(1);
        const TDrawStats& s = screen.Stats();
        return s.Copies + s.RotatedCopies + s.Geometry + s.Culled;
    };
    const int64_t without = quadsOfAFrame();
    auto* page = new TKerbGUIList(&h.Form().KerbGUI1);
    auto* button = new TKerbButton(page);
    button->SetImage(gsNormal, h.Form().KerbImageList1.Find("b_stgame"));
    button->X = 300;
    button->Y = 300;
    // The picture and the one glyph of its caption (its ID in decimal).
    ASSERT_EQ(button->Caption.size(), 1u);
    EXPECT_EQ(quadsOfAFrame(), without + 2);
    TInputEvent reset;
    reset.Kind = TInputKind::RenderReset;
    h.Event(reset);
    EXPECT_TRUE(h.Form().KerbGUI1.Hooked());
    EXPECT_EQ(quadsOfAFrame(), without + 2);
    delete page;
}

namespace {
// The pixels of the screen inside the widget's box, as last drawn.
std::vector<uint32_t> PixelsOf(THarness& h, const TKerbGUIComponent& c) {
    std::vector<uint32_t> pixels, out;
    int32_t w = 0, ht = 0;
    EXPECT_TRUE(h.Form().KerbScreen1.ReadPixels(pixels, w, ht));
    for (int32_t y = std::max(c.Y, 0); y < std::min(c.Y + c.Height, ht); ++y)
        for (int32_t x = std::max(c.X, 0); x < std::min(c.X + c.Width, w); ++x)
            out.push_back(
                pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)]);
    return out;
}
}  // namespace

// On the add-player page the name edit has the focus at once: its caret is drawn and blinks
// at a steady pace, while the name typed so far stays.
TEST(GuiInGame, TheNameEditsCaretIsDrawnAndBlinks) {
    THarness h({.WithWindow = true});
    ASSERT_TRUE(RunUntilState(h, st::FirstPlayer, 600));
    TypeText(h, "Ann");
    h.Tap(vk::Return);
    ASSERT_TRUE(ClickButton(h, "b_presshere"));
    ASSERT_TRUE(ClickButton(h, "b_add"));
    ASSERT_EQ(CurrentState, st::AddPlayer);
    TypeText(h, "Bo");
    // The mouse cursor keeps away from the edit.
    h.MouseMove(0, 0);
    h.RunFrames(5);
    TKerbEdit& edit = *h.Form().Page->Edit();
    ASSERT_EQ(h.Form().KerbGUI1.Focused(), &edit);
    // The edit as drawn without its caret.
    edit.ShowCursor = false;
    h.RunFrames(1);
    const std::vector<uint32_t> without = PixelsOf(h, edit);
    edit.ShowCursor = true;
    // Whether the caret is drawn, frame by frame, as runs of equal frames.
    std::vector<std::pair<bool, int32_t>> runs;
    for (int32_t frame = 0; frame < 300; ++frame) {
        h.RunFrames(1);
        const bool drawn = PixelsOf(h, edit) != without;
        if (runs.empty() || runs.back().first != drawn) {
            runs.push_back({drawn, 1});
        } else {
            ++runs.back().second;
        }
    }
    EXPECT_EQ(edit.Text, "Bo");
    // Shown and hidden by turns; the first and last runs are cut by the frames watched.
    ASSERT_GE(runs.size(), 5u);
    for (const bool drawn : {true, false}) {
        SCOPED_TRACE(drawn ? "shown" : "hidden");
        std::vector<int32_t> lengths;
        for (size_t i = 1; i + 1 < runs.size(); ++i)
            if (runs[i].first == drawn) lengths.push_back(runs[i].second);
        ASSERT_FALSE(lengths.empty());
        // Long enough to see, and the same every time.
        EXPECT_GE(lengths[0], 10);
        for (const int32_t length : lengths) EXPECT_EQ(length, lengths[0]);
    }
}
