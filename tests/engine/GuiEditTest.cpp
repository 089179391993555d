// Edit fields and bars: typing, the cursor keys, MaxLength, CharFilter, the font's character
// set and the Western set, and the position a click gives a bar.
#include "GuiFixture.h"
#include "platform/KeyCodes.h"

namespace {
// The Western-set bytes of the letters the case filters know.
const std::string Accented = "\xC4\xD1\xD6\xDC\xE4\xF1\xF6\xFC";
}  // namespace

class GuiEdit : public GuiFixture {
protected:
    void SetUp() override {
        Edit = new TKerbEdit(Page);
        Edit->Width = 200;
        // A click on the field gives it the focus.
        MoveTo(1, 1);
        Gui.MouseButton(TMouseButton::Left, true, 1, 1);
        Gui.MouseButton(TMouseButton::Left, false, 1, 1);
        ASSERT_EQ(Gui.Mouse.FocusID, Edit->ID);
    }
    void Key(int32_t key) {
        TInputEvent e;
        e.Kind = TInputKind::KeyDown;
        e.Key = key;
        Gui.HandleEvent(e);
    }
    TKerbEdit* Edit = nullptr;
};

TEST_F(GuiEdit, CursorKeysMoveAndDeleteWithinTheText) {
    Gui.TypeText("abcd");
    EXPECT_EQ(Edit->CursorPos, 4);
    Key(vk::Left);
    Key(vk::Left);
    Gui.TypeText("X");
    EXPECT_EQ(Edit->Text, "abXcd");
    Key(vk::Delete);
    EXPECT_EQ(Edit->Text, "abXd");
    Key(vk::Back);
    EXPECT_EQ(Edit->Text, "abd");
    EXPECT_EQ(Edit->CursorPos, 2);
    Key(vk::Home);
    Key(vk::Back);  // nothing before the cursor
    Key(vk::Left);  // not below 0
    EXPECT_EQ(Edit->Text, "abd");
    EXPECT_EQ(Edit->CursorPos, 0);
    Key(vk::End);
    Key(vk::Delete);  // nothing after the cursor
    Key(vk::Right);   // not beyond the end
    EXPECT_EQ(Edit->Text, "abd");
    EXPECT_EQ(Edit->CursorPos, 3);
    Key(vk::Return);  // Enter types nothing
    EXPECT_EQ(Edit->Text, "abd");
    // A cursor the game left outside the text is brought back before it is used.
    Edit->CursorPos = 99;
    Key(vk::Back);
    EXPECT_EQ(Edit->Text, "ab");
}

TEST_F(GuiEdit, MaxLengthRefusesMoreCharactersButNotEditing) {
    Edit->MaxLength = 3;
    Gui.TypeText("abcd");
    EXPECT_EQ(Edit->Text, "abc");
    Key(vk::Home);
    Key(vk::Back);
    EXPECT_EQ(Edit->Text, "abc");
    Key(vk::Delete);
    Gui.TypeText("xy");
    EXPECT_EQ(Edit->Text, "xbc");
    Edit->MaxLength = 0;
    Edit->SetText("");
    Gui.TypeText("a");
    EXPECT_EQ(Edit->Text, "");
}

TEST_F(GuiEdit, ReadOnlyAndUnfocusedFieldsTakeNothing) {
    Edit->SetText("keep");
    Edit->ReadOnly = true;
    Gui.TypeText("x");
    Key(vk::Back);
    Key(vk::Home);
    EXPECT_EQ(Edit->Text, "keep");
    EXPECT_EQ(Edit->CursorPos, 4);
    Edit->ReadOnly = false;
    Edit->LoseFocus();
    EXPECT_EQ(Gui.Mouse.FocusID, -1);
    Gui.TypeText("x");
    EXPECT_EQ(Edit->Text, "keep");
}

TEST_F(GuiEdit, FiltersAndTheCharacterSetDecideWhatIsTyped) {
    struct TCase {
        uint8_t Filter;
        const char* Typed;  // UTF-8
        std::string Expected;
    };
    // A font that also has the accented letters, so only the filter decides.
    Font.SetCharacters(DefaultBitmapCharacters() + Accented);
    const std::vector<TCase> cases = {
        {cfNone, "Ab 9~", "Ab 9~"},
        {cfToUpper, "a\xC3\xA4z\xC3\xB1\xC3\xB6\xC3\xBC!", "A\xC4Z\xD1\xD6\xDC!"},
        {cfToLower, "A\xC3\x84Z\xC3\x91\xC3\x96\xC3\x9C!", "a\xE4z\xF1\xF6\xFC!"},
        {cfUpper,
         "aB\xC3\x84\xC3\xB1"
         "1 ",
         "B\xC4"},
        {cfLower,
         "aB\xC3\x84\xC3\xB1"
         "1 ",
         "a\xF1"},
        {cfDigits, "a1b2 3", "123"},
        // In the Western set but not in the font: refused.
        {cfNone, "\xC3\xA9\xE2\x82\xAC", ""},
        // Outside the Western set, malformed UTF-8, and control characters: refused.
        {cfNone, "\xE6\x97\xA5\xF0\x9F\x98\x80", ""},
        {cfNone, "\xFF\xC3\x28\xE0\x80\x80q", "(q"},
        {cfNone, "\t\x1B\x7F", ""},
    };
    for (const TCase& c : cases) {
        Edit->SetText("");
        Edit->CharFilter = c.Filter;
        Gui.TypeText(c.Typed);
        EXPECT_EQ(Edit->Text, c.Expected) << int(c.Filter) << " " << c.Typed;
    }
}

TEST_F(GuiEdit, TheDefaultCharacterSetRefusesAccentedLetters) {
    Edit->CharFilter = cfToUpper;
    Gui.TypeText("j\xC3\xB6rg");
    EXPECT_EQ(Edit->Text, "JRG");
    Font.SetCharacters("ABC");
    Edit->SetText("");
    Edit->CharFilter = cfNone;
    Gui.TypeText("aAbB C");
    // The space always has a glyph.
    EXPECT_EQ(Edit->Text, "AB C");
}

TEST_F(GuiEdit, FreeingTheFocusedFieldDropsTheFocus) {
    delete Edit;
    EXPECT_EQ(Gui.Mouse.FocusID, -1);
    Gui.TypeText("x");
    EXPECT_EQ(Gui.Focused(), nullptr);
}

class GuiBar : public GuiFixture {
protected:
    void ClickAt(int32_t x, int32_t y) {
        Gui.MouseButton(TMouseButton::Left, true, x, y);
        Gui.MouseButton(TMouseButton::Left, false, x, y);
    }
};

TEST_F(GuiBar, TrackingClicksSetThePosition) {
    auto* bar = new TKerbBar(Page);
    bar->X = 486;
    bar->Y = 328;
    bar->Width = 120;
    bar->Height = 20;
    bar->Max = 5;
    int32_t clicks = 0;
    bar->OnClick = [&](TKerbGUIComponent&, int32_t) { ++clicks; };
    ClickAt(546, 330);
    EXPECT_EQ(bar->Position, 0) << "without Tracking a click changes nothing";
    bar->Tracking = true;
    // Steps of 120 / 6 = 20 pixels from Min; halves round to even.
    const std::vector<std::pair<int32_t, int32_t>> cases = {{486, 0}, {496, 0}, {505, 1}, {516, 2},
                                                            {546, 3}, {585, 5}, {606, 5}};
    for (const auto& [x, expected] : cases) {
        ClickAt(x, 330);
        EXPECT_EQ(bar->Position, expected) << x;
    }
    EXPECT_EQ(clicks, 0);
    bar->Vertical = true;
    bar->Height = 60;
    bar->Width = 20;
    // Steps of 10 pixels down from Max at the top edge, cut towards zero.
    const std::vector<std::pair<int32_t, int32_t>> vertical = {
        {328, 5}, {329, 4}, {338, 4}, {339, 3}, {387, 0}};
    for (const auto& [y, expected] : vertical) {
        ClickAt(490, y);
        EXPECT_EQ(bar->Position, expected) << y;
    }
    // No range or no size: the position stays.
    bar->Max = -1;
    ClickAt(490, 340);
    EXPECT_EQ(bar->Position, 0);
    bar->Max = 5;
    bar->Height = 0;
    ClickAt(490, 328);
    EXPECT_EQ(bar->Position, 0);
}

TEST_F(GuiBar, ScrollBarsStepInWholePixelsOnEveryClick) {
    auto* bar = new TKerbScrollBar(Page);
    bar->Width = 125;
    bar->Height = 10;
    bar->Max = 5;
    // 125 div 6 = 20 pixels a step.
    for (const auto& [x, expected] :
         std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {19, 0}, {20, 1}, {119, 5}, {125, 5}}) {
        ClickAt(x, 5);
        EXPECT_EQ(bar->Position, expected) << x;
    }
    // Shorter than one pixel a value: in proportion instead of a step of 0.
    bar->Width = 5;
    bar->Max = 100;
    ClickAt(5, 5);
    EXPECT_EQ(bar->Position, 100);
}
