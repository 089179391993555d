// TMenuPage: the GUI page of one screen ("GUI2"): picture buttons, at most one text edit and
// one slider. Buttons show pattern 0 of their picture, pattern 1 under the mouse, and a hidden
// button with a disabled look shows pattern 2 at its place instead. A click (press and release
// on the same button) calls the button's action; the page is shared by its owner, so an action
// that leaves the screen and frees the page finishes safely. The edit takes typed text and
// Backspace while it has the focus; the slider holds a value in a range and clicks set it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/InputEvent.h"

class TImageListItem;

struct TMenuButton {
    std::string Name;
    TImageListItem* Picture = nullptr;
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
    bool Visible = true;
    // Hidden, the button draws pattern 2 of its picture at its place.
    bool DisabledLook = false;
    std::function<void()> OnClick;

    bool Contains(int32_t x, int32_t y) const;
    int32_t CentreX() const { return X + Width / 2; }
    int32_t CentreY() const { return Y + Height / 2; }
    // Shows another picture (the toggles), keeping the place.
    void SetPicture(TImageListItem* picture);
};

struct TMenuEdit {
    std::string Name;
    int32_t X = 0, Y = 0, Width = 160, Height = 24;
    std::string Text;
    int32_t MaxLength = 12;
    // The caret, drawn after the text while the edit has the focus; it blinks (StepCaret).
    std::string CursorText = ".";
    bool Focused = false;

    bool Contains(int32_t x, int32_t y) const;
    // Whether the text has a character other than a space.
    bool HasName() const;
};

struct TMenuSlider {
    std::string Name;
    TImageListItem* Fill = nullptr;
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
    int32_t Min = 0, Max = 5, Position = 0;

    bool Contains(int32_t x, int32_t y) const;
    // The position a click at mouse x gives: the bar split into Max - Min + 1 equal steps.
    int32_t PositionAt(int32_t x) const;
};

class TMenuPage {
public:
    TMenuPage() = default;
    TMenuPage(const TMenuPage&) = delete;
    TMenuPage& operator=(const TMenuPage&) = delete;

    TMenuButton& AddButton(TImageListItem* picture, const std::string& name, int32_t x, int32_t y,
                           std::function<void()> action);
    TMenuEdit& AddEdit(const std::string& name, int32_t x, int32_t y);
    TMenuSlider& AddSlider(const std::string& name, TImageListItem* fill, int32_t x, int32_t y,
                           int32_t width, int32_t height, int32_t min, int32_t max,
                           int32_t position);

    // The first button with this name (its picture's name unless given another), or null.
    TMenuButton* Button(const std::string& name);
    const std::vector<std::unique_ptr<TMenuButton>>& Buttons() const { return ButtonList; }
    TMenuEdit* Edit() { return EditField.get(); }
    TMenuSlider* Slider() { return SliderBar.get(); }

    // Mouse moves, presses and releases, typed text, and key presses for the focused edit.
    void HandleEvent(const TInputEvent& event);
    // One caret step per frame, driven by the shared CaretTick counter.
    void StepCaret();
    // Draws the buttons (or their disabled looks), the slider and the edit. Edit text and the
    // slider's number use the glyph sheet font (one tile per character from space on).
    void Draw(TImageListItem* glyphs, uint32_t textColor);

    int32_t MouseX = 0, MouseY = 0;

private:
    TMenuButton* ButtonAt(int32_t x, int32_t y);
    void Type(const std::string& text);

    std::vector<std::unique_ptr<TMenuButton>> ButtonList;
    std::unique_ptr<TMenuEdit> EditField;
    std::unique_ptr<TMenuSlider> SliderBar;
    TMenuButton* Pressed = nullptr;
    bool LeftDown = false;
};

// Draws text with a glyph sheet whose tile i is the character with code 32 + i; characters
// outside space..'~' are skipped.
void DrawGlyphText(TImageListItem* glyphs, int32_t x, int32_t y, const std::string& text,
                   uint32_t color);
int32_t GlyphTextWidth(TImageListItem* glyphs, const std::string& text);
