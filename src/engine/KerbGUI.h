// TKerbGUI: the manager of the menu widgets. It owns the pages (TKerbGUIList, in drawing
// order, later on top), each of which owns its widgets; it numbers the widgets (ID), keeps the
// mouse state (position, the widget under the mouse, the pressed and the focused one), turns
// the window's mouse, key and text events into widget events, and draws the pages. Mouse
// positions arrive in screen pixels (the platform maps window pixels through the renderer's
// letterbox) and are clamped to the screen. Moves closer than 10 ms to the last one handled
// are dropped, timed by the injected clock. Depends on TKerbScreen (size) and the bitmap font
// (widget text).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/GuiComponent.h"
#include "engine/GuiWidgets.h"
#include "platform/InputEvent.h"

class TClock;
class TKerbScreen;
class TKerbBitmapFont;
class TImageListItem;

// A page of widgets. It adds itself to the GUI's pages; deleting it deletes its widgets and
// takes it off the GUI.
class TKerbGUIList {
public:
    explicit TKerbGUIList(TKerbGUI* gui);
    ~TKerbGUIList();
    TKerbGUIList(const TKerbGUIList&) = delete;
    TKerbGUIList& operator=(const TKerbGUIList&) = delete;

    std::vector<TKerbGUIComponent*> Components;  // drawing order
    TKerbGUI* GUI;
    std::string Name;
    bool Visible = true, Enabled = true;
    // Whether the arrow keys move the keyboard focus on this page. A screen that gives the
    // arrows a meaning of its own (choosing a track, a car, a player) turns it off; Tab still
    // moves the focus there.
    bool ArrowsMoveFocus = true;
    // Whether this page's edit takes every typed character, whatever button has the focus
    // (the name pages: a name half typed must not be lost to, or clicked by, a button). The
    // arrows then stay with the edit; Tab still moves the focus.
    bool TypingGoesToEdit = false;

    // Moves the page to the end of the GUI's pages (drawn last, on top).
    void BringToFront();
    // The first widget of this page with that name, or null.
    TKerbGUIComponent* Find(const std::string& name) const;
    void Draw();

private:
    friend class TKerbGUIComponent;
    void Remove(TKerbGUIComponent* component);
};

struct TGuiMouseState {
    int32_t MouseX = 0, MouseY = 0;
    int32_t HoverID = 0;     // 0: none
    int32_t PressedID = -1;  // -1: none
    int32_t FocusID = 0;     // 0 or -1: none
    bool Left = false, Right = false, Middle = false;
};

class TKerbGUI {
public:
    explicit TKerbGUI(const TClock& clock);
    ~TKerbGUI();
    TKerbGUI(const TKerbGUI&) = delete;
    TKerbGUI& operator=(const TKerbGUI&) = delete;

    TKerbScreen* KerbScreen = nullptr;
    TKerbBitmapFont* KerbBitmapFont = nullptr;
    TImageListItem* Background = nullptr;  // drawn whole at (0, 0) before the pages
    std::vector<TKerbGUIList*> Lists;
    // Index n: the widget whose ID is n, or null once it is freed (index 0 stands for the GUI
    // itself). IDs are never given out twice.
    std::vector<TKerbGUIComponent*> Components;
    int32_t NextID = 1;
    TGuiMouseState Mouse, Previous;

    // Links to the screen (start-up and after every render reset).
    void Initialize();
    void Finalize();
    bool Hooked() const { return IsHooked; }

    // Every page in order, after the background.
    void Draw();

    // The events of one frame, in order, after taking a move the 10 ms rule dropped in an
    // earlier frame (so the widget under a resting mouse is the one it rests on).
    void HandleEvents(const std::vector<TInputEvent>& events);
    // One platform event: mouse moves and buttons, key downs, typed text.
    void HandleEvent(const TInputEvent& event);
    // Takes the last dropped move once 10 ms have passed since the last move handled.
    void CatchUp();
    // The same, already split up. Positions in screen pixels.
    void MouseMove(int32_t x, int32_t y);
    void MouseButton(TMouseButton button, bool down, int32_t x, int32_t y,
                     bool doubleClick = false);
    void KeyDown(int32_t key);
    // One character of the Western set (Backspace is 8, Enter 13).
    void CharTyped(uint8_t c);
    // UTF-8 text as typed: each character of the Western set is passed on, any other refused.
    void TypeText(const std::string& utf8);

    // Keyboard focus (KerbGUIFocus.cpp). Tab, Shift+Tab and the arrow keys move the focus
    // through the shown buttons and edits of the visible pages in their order on the screen
    // (rows from the top, each from the left), wrapping around; a frame marks the focused one
    // and Enter clicks it. Returns whether the key was taken (the caller then keeps it from
    // the screen's own key checks). Taken at once, as the key arrives, so that a later key of
    // the same frame already sees the new focus.
    bool NavigateKey(int32_t key, bool shift);
    // Whether a key down of key will click a button: Enter on a framed button, or Enter on the
    // page's forward button while no focus is shown.
    bool ClicksOnKey(int32_t key) const;
    // The button Enter clicks while no focus is shown (0: none). Freed with its page.
    int32_t ForwardID = 0;
    // The widgets the focus visits, in that order.
    std::vector<TKerbGUIComponent*> FocusOrder() const;
    // The edit typed characters go to whatever button has the focus: the first shown one of a
    // visible page with TypingGoesToEdit, or null.
    TKerbEdit* TypingEdit() const;
    // Whether the focus frame is shown (the focus came from the keyboard and its widget is
    // shown); a mouse move hides it.
    bool KeyboardFocus() const;
    void ClearKeyboardFocus();
    uint32_t FocusFrameColor = 0xFFFFD040u;

    // The live widget with that ID, or null.
    TKerbGUIComponent* Component(int32_t id) const;
    TKerbGUIComponent* Focused() const { return Component(Mouse.FocusID); }
    void SetFocus(int32_t id) { Mouse.FocusID = id; }
    // How many moves the 10 ms rule dropped (for tests).
    int64_t DroppedMoves() const { return Dropped; }

private:
    friend class TKerbGUIList;
    friend class TKerbGUIComponent;
    int32_t Register(TKerbGUIComponent* component);
    void Unregister(TKerbGUIComponent* component);
    void RemoveList(TKerbGUIList* list);
    // Takes the position and runs the hover pass over every page.
    void TrackMouse(int32_t x, int32_t y);
    void HoverPass(TKerbGUIList* list);
    void Dispatch(int32_t button, bool down, bool doubleClick);
    void ClampToScreen(int32_t& x, int32_t& y) const;
    void DrawFocusFrame();
    bool Focusable(const TKerbGUIComponent& c) const;
    // Whether the widget and its page are shown and enabled: only then does it take keys and
    // clicks.
    static bool TakesInput(const TKerbGUIComponent& c);
    // The forward button while it can be clicked, or null.
    TKerbGUIComponent* ForwardButton() const;
    // A hidden widget loses the focus.
    void DropHiddenFocus();

    const TClock& Clock;
    bool IsHooked = false;
    bool MovedOnce = false;
    int64_t LastMove = 0;
    int64_t Dropped = 0;
    bool MovePending = false;
    int32_t PendingX = 0, PendingY = 0;
    int32_t HookId = 0;
    bool FocusFromKeys = false;
};
