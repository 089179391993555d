// Keyboard and controller focus of the GUI: the order the focus visits the widgets in, the
// keys that move it, and the frame drawn around the focused widget.
#include <algorithm>

#include "engine/GuiWidgets.h"
#include "engine/KerbGUI.h"
#include "engine/KerbScreen.h"
#include "platform/KeyCodes.h"

namespace {
int32_t CentreY(const TKerbGUIComponent* c) {
    return c->Y + c->Height / 2;
}
}  // namespace

bool TKerbGUI::Focusable(const TKerbGUIComponent& c) const {
    if (!c.Visible || !c.Enabled || !c.List->Visible || !c.List->Enabled) return false;
    // Not while it is still sliding in from beyond the screen's edge.
    const int32_t w = KerbScreen != nullptr ? KerbScreen->Width : 800;
    const int32_t h = KerbScreen != nullptr ? KerbScreen->Height : 600;
    if (c.X + c.Width <= 0 || c.X >= w || c.Y + c.Height <= 0 || c.Y >= h) return false;
    if (const auto* edit = dynamic_cast<const TKerbEdit*>(&c)) return !edit->ReadOnly;
    return dynamic_cast<const TKerbButton*>(&c) != nullptr;
}

std::vector<TKerbGUIComponent*> TKerbGUI::FocusOrder() const {
    std::vector<TKerbGUIComponent*> widgets;
    for (const TKerbGUIList* page : Lists)
        for (TKerbGUIComponent* c : page->Components)
            if (Focusable(*c)) widgets.push_back(c);
    std::stable_sort(widgets.begin(), widgets.end(),
                     [](auto* a, auto* b) { return CentreY(a) < CentreY(b); });
    // Rows: a widget whose middle lies within the first one's half height of the row's
    // middle sits beside it, whatever a pixel or two of difference in their tops.
    std::vector<TKerbGUIComponent*> ordered;
    for (size_t start = 0; start < widgets.size();) {
        const TKerbGUIComponent* first = widgets[start];
        size_t end = start + 1;
        while (end < widgets.size() &&
               CentreY(widgets[end]) - CentreY(first) <= std::max(first->Height / 2, 1))
            ++end;
        std::stable_sort(widgets.begin() + static_cast<ptrdiff_t>(start),
                         widgets.begin() + static_cast<ptrdiff_t>(end),
                         [](auto* a, auto* b) { return a->X < b->X; });
        ordered.insert(ordered.end(), widgets.begin() + static_cast<ptrdiff_t>(start),
                       widgets.begin() + static_cast<ptrdiff_t>(end));
        start = end;
    }
    return ordered;
}

TKerbEdit* TKerbGUI::TypingEdit() const {
    for (const TKerbGUIList* page : Lists)
        if (page->TypingGoesToEdit)
            for (TKerbGUIComponent* c : page->Components)
                if (auto* edit = dynamic_cast<TKerbEdit*>(c))
                    if (TakesInput(*edit) && !edit->ReadOnly) return edit;
    return nullptr;
}

bool TKerbGUI::NavigateKey(int32_t key, bool shift) {
    int32_t step = 0;
    if (key == vk::Tab) {
        step = shift ? -1 : 1;
    } else if (key == vk::Up || key == vk::Down || key == vk::Left || key == vk::Right) {
        for (const TKerbGUIList* page : Lists)
            if (page->Visible && !page->ArrowsMoveFocus) return false;
        // Where there is text to type the arrows stay with it: a focus moved off the edit by
        // an arrow meant for the caret would leave the player typing at a button.
        if (TypingEdit() != nullptr) return false;
        // Left and Right move the caret of a focused edit.
        const bool sideways = key == vk::Left || key == vk::Right;
        if (sideways && dynamic_cast<const TKerbEdit*>(Focused()) != nullptr) return false;
        step = key == vk::Up || key == vk::Left ? -1 : 1;
    } else {
        return false;
    }
    const std::vector<TKerbGUIComponent*> order = FocusOrder();
    if (order.empty()) return false;
    const auto n = static_cast<int32_t>(order.size());
    const auto it = std::find(order.begin(), order.end(), Focused());
    int32_t next = 0;
    if (it == order.end()) {
        next = step > 0 ? 0 : n - 1;
    } else {
        next = (static_cast<int32_t>(it - order.begin()) + step + n) % n;
    }
    Mouse.FocusID = order[static_cast<size_t>(next)]->ID;
    FocusFromKeys = true;
    return true;
}

bool TKerbGUI::KeyboardFocus() const {
    const TKerbGUIComponent* c = Focused();
    return FocusFromKeys && c != nullptr && Focusable(*c);
}

void TKerbGUI::ClearKeyboardFocus() {
    FocusFromKeys = false;
    if (dynamic_cast<const TKerbButton*>(Focused()) != nullptr) Mouse.FocusID = 0;
}

bool TKerbGUI::ClicksOnKey(int32_t key) const {
    if (key != vk::Return) return false;
    if (KeyboardFocus()) return dynamic_cast<const TKerbButton*>(Focused()) != nullptr;
    return ForwardButton() != nullptr;
}

TKerbGUIComponent* TKerbGUI::ForwardButton() const {
    TKerbGUIComponent* c = Component(ForwardID);
    return c != nullptr && Focusable(*c) ? c : nullptr;
}

void TKerbGUI::DrawFocusFrame() {
    if (KerbScreen == nullptr || !KeyboardFocus()) return;
    const TKerbGUIComponent* c = Focused();
    constexpr int32_t Gap = 2, Thickness = 2;
    KerbScreen->FrameRect(c->X - Gap - Thickness, c->Y - Gap - Thickness,
                          c->Width + 2 * (Gap + Thickness), c->Height + 2 * (Gap + Thickness),
                          Thickness, FocusFrameColor);
}
