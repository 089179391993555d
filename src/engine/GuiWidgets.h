// The GUI's widgets: picture buttons with a caption, one-line edit fields, and bars (a fill
// picture over the widget, optionally set by clicking). Each is a TKerbGUIComponent: created
// on a page, which owns it.
#pragma once

#include <string>

#include "engine/GuiComponent.h"

class TKerbButton : public TKerbGUIComponent {
public:
    explicit TKerbButton(TKerbGUIList* list);
    std::string Caption;  // the ID in decimal at creation
    bool CenterCaption = true;
    int32_t CaptionOffsetX = 0, CaptionOffsetY = 0;
    void Draw() override;

protected:
    // Enter and Space click the focused button.
    void HandleKey(int32_t key, bool isChar) override;
};

// CharFilter values.
constexpr uint8_t cfNone = 0, cfUpper = 1, cfLower = 2, cfDigits = 3, cfToUpper = 4, cfToLower = 5;

class TKerbEdit : public TKerbGUIComponent {
public:
    explicit TKerbEdit(TKerbGUIList* list);
    int32_t MaxLength = -1;  // -1: unlimited
    bool ReadOnly = false;
    uint8_t CharFilter = cfNone;
    std::string Refused;     // characters never typed in, whatever CharFilter allows
    std::string Text;        // 8-bit Western text
    int32_t CursorPos = 0;   // characters before the cursor, 0..length
    bool ShowCursor = true;  // while focused
    int32_t TextMargin = 5;
    std::string CursorText = "_";

    int32_t TextLength() const { return static_cast<int32_t>(Text.size()); }
    // Sets the text and puts the cursor at its end.
    void SetText(const std::string& text);
    bool Focused() const;
    // Gives up the keyboard focus (the GUI's FocusID becomes -1).
    void LoseFocus();
    // Takes the focus, then raises OnClick.
    void Click() override;
    void Draw() override;
    // What CharFilter and the font make of a typed character: the character to insert, or
    // -1 when it is refused.
    int32_t FilterChar(uint8_t c) const;

protected:
    void HandleKey(int32_t key, bool isChar) override;

private:
    void ClampCursor();
};

class TKerbBar : public TKerbGUIComponent {
public:
    explicit TKerbBar(TKerbGUIList* list);
    bool Vertical = false;
    int32_t Position = 0;
    int32_t Min = 0, Max = 100;
    bool ShowText = true;
    bool Tracking = false;  // clicks set the position
    // With Tracking, the position under the mouse; raises no OnClick.
    void Click() override;
    void Draw() override;

protected:
    // The position for the mouse at (x, y), before clamping; false when the bar's size or
    // range gives no mapping.
    virtual bool PositionAt(int32_t x, int32_t y, int32_t& position) const;
};

class TKerbScrollBar : public TKerbBar {
public:
    explicit TKerbScrollBar(TKerbGUIList* list);
    // Sets the position on every click, whatever Tracking says.
    void Click() override;

protected:
    // Whole-number steps of Width (Height) div (Max - Min + 1) pixels.
    bool PositionAt(int32_t x, int32_t y, int32_t& position) const override;
};
