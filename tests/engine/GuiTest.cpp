// The GUI's mouse logic: the 10 ms rule, hover and the events of pressing and releasing,
// pages in order, and widgets or pages freed by their own events.
#include <vector>

#include "GuiFixture.h"
#include "platform/KeyCodes.h"

namespace {
struct TLog {
    std::vector<std::string> Lines;
    void Hook(TKerbGUIComponent& c, const std::string& name) {
        c.Name = name;
        c.OnClick = [this](TKerbGUIComponent& s, int32_t b) {
            Lines.push_back("click " + s.Name + " " + std::to_string(b));
        };
        c.OnMouseDown = [this](TKerbGUIComponent& s, const TGuiMouseArgs& a) {
            Lines.push_back("down " + s.Name + " " + std::to_string(a.Button));
        };
        c.OnMouseUp = [this](TKerbGUIComponent& s, const TGuiMouseArgs& a) {
            Lines.push_back("up " + s.Name + " " + std::to_string(a.Button));
        };
        c.OnMouseEnter = [this](TKerbGUIComponent& s) { Lines.push_back("enter " + s.Name); };
        c.OnMouseLeave = [this](TKerbGUIComponent& s) { Lines.push_back("leave " + s.Name); };
    }
};
}  // namespace

TEST_F(GuiFixture, MovesCloserThanTenMillisecondsOnTheInjectedClockAreDropped) {
    TKerbButton* a = AddButton(0, 0, 100, 50);
    TKerbButton* b = AddButton(200, 0, 100, 50);
    Gui.MouseMove(10, 10);
    EXPECT_EQ(Gui.Mouse.HoverID, a->ID);
    Clock.AdvanceMs(5);
    Gui.MouseMove(210, 10);
    EXPECT_EQ(Gui.Mouse.HoverID, a->ID);
    EXPECT_EQ(Gui.Mouse.MouseX, 10);
    EXPECT_EQ(Gui.DroppedMoves(), 1);
    // Ten milliseconds after the last move that counted, not after the dropped one.
    Clock.AdvanceMs(5);
    Gui.MouseMove(210, 10);
    EXPECT_EQ(Gui.Mouse.HoverID, b->ID);
    EXPECT_EQ(Gui.Mouse.MouseX, 210);
}

TEST_F(GuiFixture, ADroppedMoveIsTakenInALaterFrameOnceTenMillisecondsHavePassed) {
    AddButton(0, 0, 100, 50);
    TKerbButton* b = AddButton(200, 0, 100, 50);
    Gui.MouseMove(10, 10);
    Clock.AdvanceMs(5);
    Gui.MouseMove(210, 10);
    Gui.CatchUp();
    EXPECT_EQ(Gui.Mouse.MouseX, 10);
    // The mouse rests there: the next frame's events (none) come after the rule's 10 ms.
    Clock.AdvanceMs(6);
    Gui.HandleEvents({});
    EXPECT_EQ(Gui.Mouse.MouseX, 210);
    EXPECT_EQ(Gui.Mouse.HoverID, b->ID);
    // Taken once only.
    MoveTo(20, 20);
    Gui.CatchUp();
    EXPECT_EQ(Gui.Mouse.MouseX, 20);
}

TEST_F(GuiFixture, HoverEdgesAreInsideAndTheLastWidgetOfTheLastPageWins) {
    TKerbButton* a = AddButton(10, 10, 20, 10);
    const std::vector<std::pair<int32_t, int32_t>> inside = {{10, 10}, {30, 20}, {20, 15}};
    for (const auto& [x, y] : inside) {
        MoveTo(x, y);
        EXPECT_EQ(Gui.Mouse.HoverID, a->ID) << x << "," << y;
    }
    for (const auto& [x, y] :
         std::vector<std::pair<int32_t, int32_t>>{{9, 10}, {31, 20}, {20, 21}}) {
        MoveTo(x, y);
        EXPECT_EQ(Gui.Mouse.HoverID, 0) << x << "," << y;
    }
    TKerbButton* under = AddButton(0, 0, 100, 100);
    MoveTo(20, 15);
    EXPECT_EQ(Gui.Mouse.HoverID, under->ID);
    a->BringToFront();
    MoveTo(21, 15);
    EXPECT_EQ(Gui.Mouse.HoverID, a->ID);
    auto* top = new TKerbGUIList(&Gui);
    TKerbButton* cover = AddButton(0, 0, 50, 50, top);
    MoveTo(20, 15);
    EXPECT_EQ(Gui.Mouse.HoverID, cover->ID);
    Page->BringToFront();
    MoveTo(21, 15);
    EXPECT_EQ(Gui.Mouse.HoverID, a->ID);
    // Hidden or disabled widgets and pages are skipped.
    a->Visible = false;
    under->Enabled = false;
    MoveTo(20, 15);
    EXPECT_EQ(Gui.Mouse.HoverID, cover->ID);
    top->Visible = false;
    MoveTo(21, 15);
    EXPECT_EQ(Gui.Mouse.HoverID, 0);
}

TEST_F(GuiFixture, EnterAndLeaveFollowTheMouse) {
    TLog log;
    log.Hook(*AddButton(0, 0, 10, 10), "a");
    log.Hook(*AddButton(20, 0, 10, 10), "b");
    MoveTo(5, 5);
    MoveTo(6, 5);
    MoveTo(25, 5);
    MoveTo(50, 50);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"enter a", "leave a", "enter b", "leave b"}));
}

TEST_F(GuiFixture, PressOnOneButtonAndReleaseOnAnotherClicksNeither) {
    TLog log;
    log.Hook(*AddButton(0, 0, 10, 10), "a");
    log.Hook(*AddButton(20, 0, 10, 10), "b");
    MoveTo(5, 5);
    Press(5, 5);
    MoveTo(25, 5);
    Release(25, 5);
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{"enter a", "down a 0", "leave a", "enter b", "up b 0"}));
    EXPECT_EQ(Gui.Mouse.PressedID, -1);
    log.Lines.clear();
    Press(25, 5);
    Release(25, 5);
    // A click raises OnClick only; right and middle buttons never click.
    Gui.MouseButton(TMouseButton::Right, true, 25, 5);
    Gui.MouseButton(TMouseButton::Right, false, 25, 5);
    Gui.MouseButton(TMouseButton::Middle, false, 25, 5);
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{"down b 0", "click b 0", "down b 1", "up b 1", "up b 2"}));
}

TEST_F(GuiFixture, PressGoesWhereTheMouseIsEvenWhenItsLastMoveWasDropped) {
    TLog log;
    log.Hook(*AddButton(0, 0, 10, 10), "a");
    log.Hook(*AddButton(20, 0, 10, 10), "b");
    MoveTo(5, 5);
    Clock.AdvanceMs(2);
    Gui.MouseMove(25, 5);  // dropped
    Press(25, 5);
    Release(25, 5);
    EXPECT_EQ(log.Lines.back(), "click b 0");
}

// A button hidden or disabled, or its page, after the mouse last moved: before the press
// (the press finds no widget there), or while the button is held down (the release must not
// click what the player can no longer see or use).
TEST_F(GuiFixture, ButtonsHiddenOrDisabledAfterTheLastMoveAreNotClickable) {
    struct TCase {
        const char* Name;
        void (*Switch)(TKerbButton&);
    };
    const TCase switches[] = {
        {"button hidden", [](TKerbButton& b) { b.Visible = false; }},
        {"button disabled", [](TKerbButton& b) { b.Enabled = false; }},
        {"page hidden", [](TKerbButton& b) { b.List->Visible = false; }},
        {"page disabled", [](TKerbButton& b) { b.List->Enabled = false; }},
    };
    for (const TCase& c : switches) {
        for (const bool held : {false, true}) {
            SCOPED_TRACE(std::string(c.Name) + (held ? " while held" : " before the press"));
            auto* page = new TKerbGUIList(&Gui);
            TKerbButton& a = *AddButton(0, 0, 10, 10, page);
            TLog log;
            log.Hook(a, "a");
            MoveTo(5, 5);
            if (!held) c.Switch(a);
            Press(5, 5);
            if (held) c.Switch(a);
            Release(5, 5);
            const std::vector<std::string> expected =
                held ? std::vector<std::string>{"enter a", "down a 0"}
                     : std::vector<std::string>{"enter a"};
            EXPECT_EQ(log.Lines, expected);
            delete page;
        }
    }
}

TEST_F(GuiFixture, APageFreedByItsOwnButtonLeavesNothingBehind) {
    TKerbButton* a = AddButton(0, 0, 10, 10);
    const int32_t id = a->ID;
    auto* edit = new TKerbEdit(Page);
    edit->X = 0;
    edit->Y = 20;
    int32_t clicks = 0;
    a->OnClick = [&](TKerbGUIComponent&, int32_t) {
        ++clicks;
        delete Page;
        Page = nullptr;
    };
    MoveTo(2, 25);
    Press(2, 25);
    Release(2, 25);
    ASSERT_EQ(Gui.Mouse.FocusID, edit->ID);
    MoveTo(5, 5);
    Press(5, 5);
    Release(5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(Gui.Lists.empty());
    EXPECT_EQ(Gui.Component(id), nullptr);
    EXPECT_EQ(Gui.Mouse.HoverID, 0);
    EXPECT_EQ(Gui.Mouse.FocusID, -1);
    // Later events find nothing to call.
    Gui.TypeText("x");
    Gui.KeyDown(vk::Return);
    MoveTo(6, 6);
    Press(6, 6);
    Release(6, 6);
    // New widgets get new IDs; the freed ones are never named again.
    Page = new TKerbGUIList(&Gui);
    EXPECT_GT(AddButton(0, 0, 5, 5)->ID, id);
}

TEST_F(GuiFixture, FocusedButtonClicksOnEnterAndSpaceWhileItsPageIsShown) {
    TLog log;
    TKerbButton* a = AddButton(0, 0, 10, 10);
    log.Hook(*a, "a");
    Gui.SetFocus(a->ID);
    Gui.KeyDown(vk::Return);
    Gui.KeyDown(vk::Space);
    Gui.KeyDown(vk::KeyA);
    Gui.CharTyped(13);
    Page->Visible = false;
    Gui.KeyDown(vk::Return);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"click a 0", "click a 0"}));
}

TEST_F(GuiFixture, KeyHandlerSeesKeysFirstAndCanSwallowThem) {
    auto* edit = new TKerbEdit(Page);
    Gui.SetFocus(edit->ID);
    std::vector<std::pair<int32_t, bool>> seen;
    edit->OnKey = [&](TKerbGUIComponent&, int32_t& key, bool isChar) {
        seen.emplace_back(key, isChar);
        if (key == 'x') key = 0;
        if (key == 'y') key = 'z';
    };
    Gui.KeyDown(vk::Home);
    Gui.TypeText("axy");
    EXPECT_EQ(edit->Text, "az");
    EXPECT_EQ(seen, (std::vector<std::pair<int32_t, bool>>{
                        {vk::Home, false}, {'a', true}, {'x', true}, {'y', true}}));
}

TEST_F(GuiFixture, MousePositionsAreClampedToTheScreen) {
    Gui.MouseMove(-40, 900);
    EXPECT_EQ(Gui.Mouse.MouseX, 0);
    EXPECT_EQ(Gui.Mouse.MouseY, 599);
    MoveTo(5000, -3);
    EXPECT_EQ(Gui.Mouse.MouseX, 799);
    EXPECT_EQ(Gui.Mouse.MouseY, 0);
}

TEST_F(GuiFixture, AnimationsStepForwardAndBackward) {
    struct TCase {
        bool Reverse, Loop;
        int32_t Speed;
        std::vector<int32_t> Patterns;  // the pattern drawn by each Draw
    };
    const std::vector<TCase> cases = {
        {true, true, 0, {5, 4, 3, 5, 4, 3, 5}},   {true, false, 0, {5, 4, 3, 2, 2, 2}},
        {false, true, 0, {2, 3, 4, 5, 2, 3}},     {false, false, 0, {2, 3, 4, 5, 5, 5}},
        {false, true, 30, {2, 2, 2, 3, 3, 3, 4}}, {false, true, 19, {2, 3, 4}},
    };
    for (const TCase& c : cases) {
        TKerbButton* b = AddButton(0, 0, 4, 10);
        b->Caption.clear();
        b->SetImage(gsNormal, Images.Find("look"));
        b->SetPattern(gsNormal, 2);
        TKerbGUIState& s = b->States[gsNormal];
        s.Animated = true;
        s.PatternCount = 3;
        s.Reverse = c.Reverse;
        s.Loop = c.Loop;
        s.AnimSpeed = c.Speed;
        b->ResetAnimations();
        std::vector<int32_t> drawn;
        for (size_t i = 0; i < c.Patterns.size(); ++i) {
            drawn.push_back(s.Pattern);
            b->Draw();
        }
        EXPECT_EQ(drawn, c.Patterns) << c.Reverse << c.Loop << c.Speed;
        delete b;
    }
}

TEST_F(GuiFixture, EnteringAWidgetRestartsItsAnimations) {
    TKerbButton* b = AddButton(0, 0, 4, 10);
    b->SetImage(gsOver, Images.Find("look"));
    b->SetPattern(gsOver, 1);
    b->States[gsOver].Animated = true;
    b->States[gsOver].PatternCount = 5;
    MoveTo(1, 1);
    b->Draw();
    b->Draw();
    EXPECT_EQ(b->States[gsOver].Pattern, 3);
    MoveTo(100, 100);
    EXPECT_EQ(b->States[gsOver].Pattern, 1);
}
