// The GUI inside the game: the harness's mouse, clicks and typed text reach a page built on
// KerbGUI1, its font is the menu pictures' glyph sheet, a button that leaves the screen frees
// its page safely, and the menu frame draws the page.
#include <gtest/gtest.h>

#include "harness/Harness.h"
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
