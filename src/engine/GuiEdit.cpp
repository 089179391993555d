#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/WesternText.h"
#include "engine/GuiWidgets.h"
#include "engine/ImageList.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbGUI.h"
#include "platform/KeyCodes.h"

namespace {
// The accented letters the case filters know, in the Western set: ä ñ ö ü and Ä Ñ Ö Ü.
constexpr uint8_t AccentedLower[] = {0xE4, 0xF1, 0xF6, 0xFC};
constexpr uint8_t AccentedUpper[] = {0xC4, 0xD1, 0xD6, 0xDC};

bool IsAccented(const uint8_t (&set)[4], uint8_t c) {
    return std::find(std::begin(set), std::end(set), c) != std::end(set);
}
bool IsUpperLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || IsAccented(AccentedUpper, c);
}
bool IsLowerLetter(uint8_t c) {
    return (c >= 'a' && c <= 'z') || IsAccented(AccentedLower, c);
}
// Upper and lower case differ by 32 for a-z and for the four accented letters alike.
uint8_t ToUpper(uint8_t c) {
    return IsLowerLetter(c) ? static_cast<uint8_t>(c - 32) : c;
}
uint8_t ToLower(uint8_t c) {
    return IsUpperLetter(c) ? static_cast<uint8_t>(c + 32) : c;
}
}  // namespace

TKerbEdit::TKerbEdit(TKerbGUIList* list) : TKerbGUIComponent(list) {}

void TKerbEdit::SetText(const std::string& text) {
    Text = text;
    CursorPos = TextLength();
}

bool TKerbEdit::Focused() const {
    return GUI().Mouse.FocusID == ID;
}

void TKerbEdit::LoseFocus() {
    if (Focused()) GUI().Mouse.FocusID = -1;
}

void TKerbEdit::Click() {
    GUI().SetFocus(ID);
    TKerbGUIComponent::Click();
}

void TKerbEdit::ClampCursor() {
    CursorPos = std::clamp(CursorPos, 0, TextLength());
}

int32_t TKerbEdit::FilterChar(uint8_t c) const {
    // Control characters are never text, whatever the font holds.
    if (c < 32 || c == 127 || CodePointFromWestern(c) == 0) return -1;
    if (Refused.find(static_cast<char>(c)) != std::string::npos) return -1;
    if (CharFilter == cfToUpper) c = ToUpper(c);
    if (CharFilter == cfToLower) c = ToLower(c);
    if (CharFilter == cfUpper && !IsUpperLetter(c)) return -1;
    if (CharFilter == cfLower && !IsLowerLetter(c)) return -1;
    if (CharFilter == cfDigits && (c < '0' || c > '9')) return -1;
    if (Font != nullptr && !Font->HasCharacter(c)) return -1;
    return c;
}

void TKerbEdit::HandleKey(int32_t key, bool isChar) {
    if (ReadOnly) return;
    ClampCursor();
    const auto pos = static_cast<size_t>(CursorPos);
    if (!isChar) {
        if (key == vk::End) CursorPos = TextLength();
        if (key == vk::Home) CursorPos = 0;
        if (key == vk::Left && CursorPos > 0) --CursorPos;
        if (key == vk::Right && CursorPos < TextLength()) ++CursorPos;
        if (key == vk::Delete && CursorPos < TextLength()) Text.erase(pos, 1);
        return;
    }
    if (key == vk::Back) {
        if (CursorPos > 0) {
            Text.erase(pos - 1, 1);
            --CursorPos;
        }
        return;
    }
    if (key == vk::Return || key < 0 || key > 255) return;
    if (MaxLength >= 0 && TextLength() >= MaxLength) return;
    const int32_t c = FilterChar(static_cast<uint8_t>(key));
    if (c < 0) return;
    Text.insert(pos, 1, static_cast<char>(c));
    ++CursorPos;
}

void TKerbEdit::Draw() {
    DrawWidget();
    const bool focused = Focused();
    if (Font != nullptr) {
        const int32_t x = X + TextMargin, y = TextY();
        Font->TextOutColor(x, y, 0, Text, FontColor, FontScaleX, FontScaleY, TextAngle);
        if (focused && ShowCursor) {
            ClampCursor();
            const std::string before = Text.substr(0, static_cast<size_t>(CursorPos));
            const double offset =
                before.empty() ? 0.0 : std::lround(Font->TextWidth(before) * FontScaleX);
            // The caret follows the text's slope.
            const double rad = TextAngle * std::numbers::pi / 180.0;
            const auto cx = static_cast<int32_t>(std::lround(x + offset * std::cos(rad)));
            const auto cy = static_cast<int32_t>(std::lround(y + offset * std::sin(rad)));
            Font->TextOutColor(cx, cy, 0, CursorText, FontColor, FontScaleX, FontScaleY, TextAngle);
        }
    }
    TKerbGUIState& overlay = States[gsOverlay];
    if ((Checked || focused) && overlay.Image != nullptr) {
        overlay.Image->DrawColor(X, Y, 0, 0.5f, 0.5f, 1, 1, overlay.Color, false, false,
                                 overlay.Pattern, overlay.BlendMode);
        StepAnimation(overlay);
    }
}
