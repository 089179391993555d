// The GUI's keyboard focus: the order it visits the shown widgets in, the keys that move it
// (and the pages where the arrows keep a meaning of their own), Enter clicking the framed
// button, the mouse taking over, and the frame drawn around the focused widget.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiFixture.h"
#include "PixelCompare.h"
#include "engine/GuiWidgets.h"
#include "platform/KeyCodes.h"

namespace {
class GuiFocus : public GuiFixture {
protected:
    // A 3 x 2 grid added out of order, a hidden button, one sliding in from beyond the edge,
    // one a few pixels lower than its row.
    void Build() {
        Names = {};
        Add("c", 500, 100);
        Add("a", 100, 100);
        Add("b", 300, 103);
        Add("e", 300, 300);
        Add("d", 100, 300);
        Add("hidden", 200, 200)->Visible = false;
        Add("offscreen", 900, 300);
    }
    TKerbButton* Add(const std::string& name, int32_t x, int32_t y) {
        TKerbButton* b = AddButton(x, y, 80, 30);
        b->Name = name;
        b->OnClick = [this, name](TKerbGUIComponent&, int32_t) { Clicked += name; };
        return b;
    }
    std::string FocusedName() const {
        const TKerbGUIComponent* c = Gui.Focused();
        return c != nullptr ? c->Name : "-";
    }
    // The names visited by pressing key n times.
    std::string Walk(int32_t key, int n, bool shift = false) {
        std::string out;
        for (int i = 0; i < n; ++i) {
            EXPECT_TRUE(Gui.NavigateKey(key, shift));
            out += FocusedName();
        }
        return out;
    }
    std::vector<std::string> Names;
    std::string Clicked;
};
}  // namespace

TEST_F(GuiFocus, TheFocusVisitsShownButtonsRowByRowAndWraps) {
    Build();
    std::string order;
    for (TKerbGUIComponent* c : Gui.FocusOrder()) order += c->Name;
    EXPECT_EQ(order, "abcde");
    struct TCase {
        int32_t Key;
        bool Shift;
        const char* Visits;
    };
    const TCase cases[] = {{vk::Tab, false, "abcdea"},  {vk::Tab, true, "edcbae"},
                           {vk::Down, false, "abcdea"}, {vk::Right, false, "abcdea"},
                           {vk::Up, false, "edcbae"},   {vk::Left, false, "edcbae"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key);
        Gui.ClearKeyboardFocus();
        EXPECT_EQ(Walk(c.Key, 6, c.Shift), c.Visits);
        EXPECT_TRUE(Gui.KeyboardFocus());
    }
    // Keys that are not for the focus are left to the screen.
    for (int32_t key : {vk::Escape, vk::Space, vk::KeyP, vk::Return})
        EXPECT_FALSE(Gui.NavigateKey(key, false)) << key;
}

TEST_F(GuiFocus, EnterClicksTheFramedButtonOnly) {
    Build();
    // No frame yet: Enter keeps the screen's meaning.
    EXPECT_FALSE(Gui.ClicksOnKey(vk::Return));
    Gui.NavigateKey(vk::Tab, false);
    Gui.NavigateKey(vk::Tab, false);
    EXPECT_TRUE(Gui.ClicksOnKey(vk::Return));
    EXPECT_FALSE(Gui.ClicksOnKey(vk::Escape));
    Gui.KeyDown(vk::Return);
    EXPECT_EQ(Clicked, "b");
    // The player takes the mouse: the frame goes and Enter is the screen's again.
    MoveTo(10, 10);
    MoveTo(20, 20);
    EXPECT_FALSE(Gui.KeyboardFocus());
    EXPECT_FALSE(Gui.ClicksOnKey(vk::Return));
    Gui.KeyDown(vk::Return);
    EXPECT_EQ(Clicked, "b");
    // A focused button that is hidden or freed takes nothing.
    Gui.NavigateKey(vk::Tab, false);
    Gui.Focused()->Visible = false;
    EXPECT_FALSE(Gui.ClicksOnKey(vk::Return));
    EXPECT_EQ(Walk(vk::Tab, 1), "b");
    delete Gui.Focused();
    EXPECT_FALSE(Gui.ClicksOnKey(vk::Return));
    EXPECT_EQ(Walk(vk::Tab, 1), "c");
}

TEST_F(GuiFocus, APageCanKeepTheArrowsAndAnEditKeepsLeftAndRight) {
    Build();
    Page->ArrowsMoveFocus = false;
    for (int32_t key : {vk::Up, vk::Down, vk::Left, vk::Right})
        EXPECT_FALSE(Gui.NavigateKey(key, false)) << key;
    EXPECT_EQ(FocusedName(), "-");
    EXPECT_EQ(Walk(vk::Tab, 2), "ab");
    Page->ArrowsMoveFocus = true;

    auto* edit = new TKerbEdit(Page);
    edit->Name = "edit";
    edit->X = 100;
    edit->Y = 500;
    edit->Width = 160;
    edit->Height = 24;
    edit->SetText("abc");
    Gui.SetFocus(edit->ID);
    EXPECT_FALSE(Gui.NavigateKey(vk::Left, false));
    EXPECT_FALSE(Gui.NavigateKey(vk::Right, false));
    Gui.KeyDown(vk::Left);
    EXPECT_EQ(edit->CursorPos, 2);
    // Up and Tab leave the edit; Enter on an edit is the screen's.
    EXPECT_FALSE(Gui.ClicksOnKey(vk::Return));
    EXPECT_EQ(Walk(vk::Up, 1), "e");
    EXPECT_EQ(Walk(vk::Down, 1), "edit");
}

TEST_F(GuiFocus, NothingToFocusTakesNoKey) {
    EXPECT_FALSE(Gui.NavigateKey(vk::Tab, false));
    EXPECT_FALSE(Gui.NavigateKey(vk::Down, false));
    Page->Visible = false;
    Build();
    EXPECT_FALSE(Gui.NavigateKey(vk::Tab, false));
}

class GuiFocusFrame : public ScreenFixture {};

TEST_F(GuiFocusFrame, TheFocusedButtonIsFramed) {
    TManualClock clock;
    TKerbGUI gui(clock);
    gui.KerbScreen = Screen.get();
    auto* page = new TKerbGUIList(&gui);
    auto* button = new TKerbButton(page);
    button->X = 100;
    button->Y = 100;
    button->Width = 60;
    button->Height = 20;
    button->Caption.clear();
    const auto frame = [&] {
        Screen->Clear(0, 0, 0, 0);
        Screen->BeginScene();
        gui.Draw();
        std::vector<uint32_t> pixels;
        int32_t w = 0, h = 0;
        EXPECT_TRUE(Screen->ReadPixels(pixels, w, h));
        Screen->EndScene();
        const auto at = [&](int32_t x, int32_t y) {
            return pixels[static_cast<size_t>(y * w + x)] & 0xFFFFFFu;
        };
        // The frame lies 2 to 4 pixels outside the button; inside and far off stay black.
        return std::vector<uint32_t>{at(97, 110),  at(130, 97),  at(163, 110),
                                     at(130, 123), at(130, 110), at(90, 90)};
    };
    const uint32_t c = gui.FocusFrameColor & 0xFFFFFFu;
    EXPECT_EQ(frame(), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(gui.NavigateKey(vk::Tab, false));
    EXPECT_EQ(frame(), (std::vector<uint32_t>{c, c, c, c, 0, 0}));
}
