// The GUI's input: mouse moves (throttled to one per 10 ms of the injected clock) with the
// hover pass, button presses dispatched to the widget under the mouse, keys and characters
// for the focused widget. Any widget event may free widgets or whole pages, so widgets are
// looked up by ID again after every event instead of being held across one.
#include <algorithm>

#include "common/WesternText.h"
#include "engine/KerbGUI.h"
#include "engine/KerbScreen.h"
#include "platform/Clock.h"
#include "platform/KeyCodes.h"

void TKerbGUI::HandleEvents(const std::vector<TInputEvent>& events) {
    CatchUp();
    DropHiddenFocus();
    for (const TInputEvent& e : events) HandleEvent(e);
}

void TKerbGUI::HandleEvent(const TInputEvent& event) {
    switch (event.Kind) {
        case TInputKind::MouseMove:
            MouseMove(event.X, event.Y);
            break;
        case TInputKind::MouseDown:
        case TInputKind::MouseUp:
            MouseButton(event.Button, event.Kind == TInputKind::MouseDown, event.X, event.Y);
            break;
        case TInputKind::KeyDown:
            KeyDown(event.Key);
            // Typed text carries no control characters: Backspace and Enter come as keys.
            if (event.Key == vk::Back || event.Key == vk::Return)
                CharTyped(static_cast<uint8_t>(event.Key));
            break;
        case TInputKind::TextInput:
            TypeText(event.Text);
            break;
        default:
            break;
    }
}

void TKerbGUI::ClampToScreen(int32_t& x, int32_t& y) const {
    const int32_t w = KerbScreen != nullptr ? KerbScreen->Width : 800;
    const int32_t h = KerbScreen != nullptr ? KerbScreen->Height : 600;
    x = std::clamp(x, 0, std::max(w - 1, 0));
    y = std::clamp(y, 0, std::max(h - 1, 0));
}

void TKerbGUI::MouseMove(int32_t x, int32_t y) {
    Previous = Mouse;
    const int64_t now = Clock.Now();
    if (MovedOnce && (now - LastMove) * 100 < Clock.Frequency()) {
        ++Dropped;
        MovePending = true;
        PendingX = x;
        PendingY = y;
        return;
    }
    MovedOnce = true;
    LastMove = now;
    // The player took the mouse: the keyboard's frame goes, a focused button loses the focus
    // (an edit keeps it, for typing).
    if (FocusFromKeys && (x != Mouse.MouseX || y != Mouse.MouseY)) ClearKeyboardFocus();
    TrackMouse(x, y);
}

void TKerbGUI::CatchUp() {
    const int64_t now = Clock.Now();
    if (!MovePending || (now - LastMove) * 100 < Clock.Frequency()) return;
    Previous = Mouse;
    LastMove = now;
    TrackMouse(PendingX, PendingY);
}

void TKerbGUI::TrackMouse(int32_t x, int32_t y) {
    MovePending = false;
    ClampToScreen(x, y);
    Mouse.MouseX = x;
    Mouse.MouseY = y;
    Mouse.HoverID = 0;
    const std::vector<TKerbGUIList*> pages = Lists;
    for (TKerbGUIList* page : pages)
        if (std::find(Lists.begin(), Lists.end(), page) != Lists.end()) HoverPass(page);
}

void TKerbGUI::HoverPass(TKerbGUIList* page) {
    if (!page->Visible || !page->Enabled) return;
    std::vector<int32_t> ids;
    for (const TKerbGUIComponent* c : page->Components) ids.push_back(c->ID);
    for (int32_t id : ids) {
        TKerbGUIComponent* c = Component(id);
        if (c == nullptr || !c->Visible || !c->Enabled) continue;
        if (c->Contains(Mouse.MouseX, Mouse.MouseY)) {
            Mouse.HoverID = id;
            c->MouseMoveHook();
            if (Previous.HoverID != id && Component(id) != nullptr) c->MouseEnter();
        } else if (Previous.HoverID == id) {
            c->MouseLeave();
        }
    }
}

void TKerbGUI::MouseButton(TMouseButton button, bool down, int32_t x, int32_t y, bool doubleClick) {
    Previous = Mouse;
    ClampToScreen(x, y);
    // A press where the mouse is not (its last move fell to the 10 ms rule) would go to the
    // widget under an old position: take the press's own position first. A press where the
    // mouse rests looks again too: the page under it may have been rebuilt since it last
    // moved (a button that changes the screen), and the widget there is a new one.
    // The press is newer than any dropped move.
    MovePending = false;
    if (down || x != Mouse.MouseX || y != Mouse.MouseY) {
        MovedOnce = true;
        LastMove = Clock.Now();
        TrackMouse(x, y);
        Previous = Mouse;
    }
    switch (button) {
        case TMouseButton::Left:
            Mouse.Left = down;
            if (down && !doubleClick) Mouse.PressedID = Mouse.HoverID;
            Dispatch(mbLeft, down, doubleClick);
            if (!down) Mouse.PressedID = -1;
            break;
        case TMouseButton::Right:
            Mouse.Right = down;
            Dispatch(mbRight, down, doubleClick);
            break;
        case TMouseButton::Middle:
            Mouse.Middle = down;
            Dispatch(mbMiddle, down, doubleClick);
            break;
        default:
            break;
    }
}

void TKerbGUI::Dispatch(int32_t button, bool down, bool doubleClick) {
    TKerbGUIComponent* c = Component(Mouse.HoverID);
    // A widget hidden or disabled since the mouse last moved is not clickable.
    if (c == nullptr || !TakesInput(*c)) return;
    TGuiMouseArgs args;
    args.Button = button;
    args.X = Mouse.MouseX;
    args.Y = Mouse.MouseY;
    args.Shift =
        (Mouse.Left ? ssLeft : 0) | (Mouse.Right ? ssRight : 0) | (Mouse.Middle ? ssMiddle : 0);
    if (doubleClick) {
        c->DblClick();
    } else if (!down) {
        if (button == mbLeft && Mouse.HoverID == Mouse.PressedID)
            c->Click();
        else
            c->MouseUp(args);
    } else {
        c->MouseDown(args);
    }
}

void TKerbGUI::DropHiddenFocus() {
    const TKerbGUIComponent* c = Focused();
    if (c != nullptr && !c->Visible) Mouse.FocusID = 0;
}

bool TKerbGUI::TakesInput(const TKerbGUIComponent& c) {
    return c.Visible && c.Enabled && c.List->Visible && c.List->Enabled;
}

void TKerbGUI::KeyDown(int32_t key) {
    // A button hidden after it took the focus (the race button over a locked track) must not
    // be clicked by an Enter it can no longer show.
    DropHiddenFocus();
    if (key == vk::Return && !KeyboardFocus()) {
        if (TKerbGUIComponent* forward = ForwardButton()) {
            forward->Key(key, false);
            return;
        }
    }
    TKerbGUIComponent* c = Focused();
    if (c == nullptr || !TakesInput(*c)) return;
    // Where there is text to type, Space is a character for the edit, never a click.
    if (key == vk::Space && TypingEdit() != nullptr && dynamic_cast<const TKerbEdit*>(c) == nullptr)
        return;
    c->Key(key, false);
}

void TKerbGUI::CharTyped(uint8_t ch) {
    DropHiddenFocus();
    // On a name page typing goes to the edit even while a button holds the focus.
    TKerbGUIComponent* c = Focused();
    if (dynamic_cast<const TKerbEdit*>(c) == nullptr && TypingEdit() != nullptr) c = TypingEdit();
    if (c != nullptr && TakesInput(*c)) c->Key(ch, true);
}

void TKerbGUI::TypeText(const std::string& utf8) {
    for (uint32_t cp : DecodeUtf8(utf8)) {
        const int32_t byte = WesternFromCodePoint(cp);
        // Outside the Western set: refused, never stored as some other byte.
        if (byte < 32) continue;
        CharTyped(static_cast<uint8_t>(byte));
    }
}
