#include "shell/screens/MenuPage.h"

#include <algorithm>
#include <cmath>

#include "engine/ImageList.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"

namespace {
bool Inside(int32_t x, int32_t y, int32_t left, int32_t top, int32_t width, int32_t height) {
    // Edges included, as the GUI's hover test has it.
    return x >= left && x <= left + width && y >= top && y <= top + height;
}
}  // namespace

bool TMenuButton::Contains(int32_t x, int32_t y) const {
    return Inside(x, y, X, Y, Width, Height);
}

void TMenuButton::SetPicture(TImageListItem* picture) {
    Picture = picture;
    if (picture == nullptr) return;
    Width = picture->TileWidth;
    Height = picture->TileHeight;
}

bool TMenuEdit::Contains(int32_t x, int32_t y) const {
    return Inside(x, y, X, Y, Width, Height);
}

bool TMenuEdit::HasName() const {
    return Text.find_first_not_of(' ') != std::string::npos;
}

bool TMenuSlider::Contains(int32_t x, int32_t y) const {
    return Inside(x, y, X, Y, Width, Height);
}

int32_t TMenuSlider::PositionAt(int32_t x) const {
    const double step = static_cast<double>(Width) / (Max - Min + 1);
    const int32_t p = static_cast<int32_t>(std::floor((x - X) / step)) + Min;
    return std::clamp(p, Min, Max);
}

TMenuButton& TMenuPage::AddButton(TImageListItem* picture, const std::string& name, int32_t x,
                                  int32_t y, std::function<void()> action) {
    auto b = std::make_unique<TMenuButton>();
    b->Name = name;
    b->X = x;
    b->Y = y;
    b->SetPicture(picture);
    b->OnClick = std::move(action);
    ButtonList.push_back(std::move(b));
    return *ButtonList.back();
}

TMenuEdit& TMenuPage::AddEdit(const std::string& name, int32_t x, int32_t y) {
    EditField = std::make_unique<TMenuEdit>();
    EditField->Name = name;
    EditField->X = x;
    EditField->Y = y;
    return *EditField;
}

TMenuSlider& TMenuPage::AddSlider(const std::string& name, TImageListItem* fill, int32_t x,
                                  int32_t y, int32_t width, int32_t height, int32_t min,
                                  int32_t max, int32_t position) {
    SliderBar = std::make_unique<TMenuSlider>();
    SliderBar->Name = name;
    SliderBar->Fill = fill;
    SliderBar->X = x;
    SliderBar->Y = y;
    SliderBar->Width = width;
    SliderBar->Height = height;
    SliderBar->Min = min;
    SliderBar->Max = max;
    SliderBar->Position = std::clamp(position, min, max);
    return *SliderBar;
}

TMenuButton* TMenuPage::Button(const std::string& name) {
    for (auto& b : ButtonList)
        if (b->Name == name) return b.get();
    return nullptr;
}

TMenuButton* TMenuPage::ButtonAt(int32_t x, int32_t y) {
    // The last button under the mouse wins, as later widgets lie on top.
    TMenuButton* hit = nullptr;
    for (auto& b : ButtonList)
        if (b->Visible && b->Contains(x, y)) hit = b.get();
    return hit;
}

void TMenuPage::HandleEvent(const TInputEvent& event) {
    switch (event.Kind) {
        case TInputKind::MouseMove:
            MouseX = event.X;
            MouseY = event.Y;
            break;
        case TInputKind::MouseDown:
            MouseX = event.X;
            MouseY = event.Y;
            if (event.Button != TMouseButton::Left) break;
            LeftDown = true;
            Pressed = ButtonAt(MouseX, MouseY);
            break;
        case TInputKind::MouseUp: {
            MouseX = event.X;
            MouseY = event.Y;
            if (event.Button != TMouseButton::Left || !LeftDown) break;
            LeftDown = false;
            TMenuButton* pressed = Pressed;
            Pressed = nullptr;
            if (EditField != nullptr && EditField->Contains(MouseX, MouseY)) {
                EditField->Focused = true;
                CaretTick = 0;
            }
            if (SliderBar != nullptr && SliderBar->Contains(MouseX, MouseY))
                SliderBar->Position = SliderBar->PositionAt(MouseX);
            if (pressed == nullptr || pressed != ButtonAt(MouseX, MouseY)) break;
            // The action may free this page: take it out first and touch nothing afterwards.
            const std::function<void()> action = pressed->OnClick;
            if (action) action();
            return;
        }
        case TInputKind::TextInput:
            Type(event.Text);
            break;
        case TInputKind::KeyDown:
            if (EditField != nullptr && EditField->Focused && event.Key == vk::Back &&
                !EditField->Text.empty())
                EditField->Text.pop_back();
            break;
        default:
            break;
    }
}

void TMenuPage::Type(const std::string& text) {
    if (EditField == nullptr || !EditField->Focused) return;
    for (const char c : text) {
        // Only the glyph sheet's characters can be typed (plain ASCII, space to '~').
        if (c < ' ' || c > '~') continue;
        if (static_cast<int32_t>(EditField->Text.size()) >= EditField->MaxLength) break;
        EditField->Text.push_back(c);
    }
}

void TMenuPage::StepCaret() {
    if (EditField == nullptr) return;
    if (CaretTick % 31 == 0) {
        EditField->CursorText.clear();
    } else if (CaretTick % 63 == 0) {
        EditField->CursorText.assign(1, '_');
        CaretTick = 0;
    }
    ++CaretTick;
}

void TMenuPage::Draw(TImageListItem* glyphs, uint32_t textColor) {
    for (auto& b : ButtonList) {
        if (b->Picture == nullptr) continue;
        if (!b->Visible) {
            if (b->DisabledLook) b->Picture->Draw(b->X, b->Y, 2);
            continue;
        }
        b->Picture->Draw(b->X, b->Y, b->Contains(MouseX, MouseY) ? 1 : 0);
    }
    if (SliderBar != nullptr) {
        TMenuSlider& s = *SliderBar;
        const int32_t filled = (s.Position - s.Min) * s.Width / std::max(s.Max - s.Min, 1);
        if (s.Fill != nullptr && filled > 0)
            s.Fill->DrawPart({0, 0, filled, s.Height}, s.X, s.Y, 0, 0, 0, 1, 1, 255, 255, 255, 255,
                             false, false, 0);
        if (glyphs != nullptr) {
            const std::string number = std::to_string(s.Position);
            DrawGlyphText(glyphs, s.X + (s.Width - GlyphTextWidth(glyphs, "100")) / 2,
                          s.Y + s.Height / 2 - glyphs->TileHeight / 2, number, textColor);
        }
    }
    if (EditField != nullptr && glyphs != nullptr) {
        const TMenuEdit& e = *EditField;
        const int32_t y = e.Y + e.Height / 2 - glyphs->TileHeight / 2;
        DrawGlyphText(glyphs, e.X + 5, y, e.Text, textColor);
        if (e.Focused)
            DrawGlyphText(glyphs, e.X + 5 + GlyphTextWidth(glyphs, e.Text), y, e.CursorText,
                          textColor);
    }
}

void DrawGlyphText(TImageListItem* glyphs, int32_t x, int32_t y, const std::string& text,
                   uint32_t color) {
    if (glyphs == nullptr) return;
    for (const char c : text) {
        if (c < ' ' || c > '~') continue;
        if (c != ' ') glyphs->DrawColor(x, y, 0, 0, 0, 1, 1, color, false, false, c - ' ', 0);
        x += glyphs->TileWidth;
    }
}

int32_t GlyphTextWidth(TImageListItem* glyphs, const std::string& text) {
    if (glyphs == nullptr) return 0;
    int32_t n = 0;
    for (const char c : text)
        if (c >= ' ' && c <= '~') ++n;
    return n * glyphs->TileWidth;
}
