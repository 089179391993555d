// TKerbGUIComponent: the base of every GUI widget. A widget belongs to one page
// (TKerbGUIList), which owns it; it is known to the GUI by its ID. It draws one of four
// looks (states: 0 normal, 1 mouse over, 2 pressed, 3 overlay for checked or focused), each an
// image-list picture with its own pattern animation, and raises its events. The pictures
// belong to the image list; the widget only refers to them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TImageListItem;
class TKerbBitmapFont;
class TKerbGUI;
class TKerbGUIList;
class TKerbGUIComponent;

// One look of a widget.
struct TKerbGUIState {
    TImageListItem* Image = nullptr;
    int32_t Pattern = -1;  // pattern drawn now (-1 = whole picture)
    bool Animated = false;
    int32_t StartPattern = -1;
    int32_t PatternCount = 0;
    int32_t AnimSpeed = 0;  // one step every AnimSpeed div 10 draws (every draw below 20)
    bool Loop = true;
    bool Reverse = false;
    bool Finished = false;
    uint32_t Color = 0xFFFFFFFFu;
    int32_t BlendMode = 0;
};

constexpr int32_t gsNormal = 0, gsOver = 1, gsPressed = 2, gsOverlay = 3;
// Mouse buttons as the events name them, and their shift flags.
constexpr int32_t mbLeft = 0, mbRight = 1, mbMiddle = 2;
constexpr int32_t ssLeft = 8, ssRight = 16, ssMiddle = 32;

struct TGuiMouseArgs {
    int32_t Button = mbLeft;
    int32_t X = 0, Y = 0;  // screen pixels
    int32_t Shift = 0;
};

using TGuiNotify = std::function<void(TKerbGUIComponent& sender)>;
using TGuiClick = std::function<void(TKerbGUIComponent& sender, int32_t button)>;
using TGuiMouse = std::function<void(TKerbGUIComponent& sender, const TGuiMouseArgs& args)>;
// key: a virtual-key code, or an 8-bit character when isChar; a handler may change it (0
// swallows it).
using TGuiKey = std::function<void(TKerbGUIComponent& sender, int32_t& key, bool isChar)>;

class TKerbGUIComponent {
public:
    // Adds itself to list (which then owns it) and takes the next ID of the list's GUI.
    explicit TKerbGUIComponent(TKerbGUIList* list);
    virtual ~TKerbGUIComponent();
    TKerbGUIComponent(const TKerbGUIComponent&) = delete;
    TKerbGUIComponent& operator=(const TKerbGUIComponent&) = delete;

    int32_t ID = 0;
    TKerbGUIList* List;
    std::string Name;
    bool Visible = true, Enabled = true;
    int32_t X = 0, Y = 0;
    int32_t Width = 20, Height = 15;
    std::array<TKerbGUIState, 4> States{};
    bool MirrorY = false, MirrorX = false;
    bool Checked = false;
    TKerbBitmapFont* Font = nullptr;
    uint32_t FontColor = 0xFFFFFFFFu;
    float TextAngle = 0;
    float FontScaleX = 1, FontScaleY = 1;
    float Angle = 0;
    int32_t AnimCounter = 0;

    TGuiClick OnClick;
    TGuiNotify OnDblClick, OnMouseEnter, OnMouseLeave;
    TGuiMouse OnMouseDown, OnMouseUp;
    TGuiKey OnKey;

    void SetImage(int32_t state, TImageListItem* item);
    // Sets Pattern and StartPattern.
    void SetPattern(int32_t state, int32_t value);
    void SetBlendMode(int32_t state, int32_t value);
    TImageListItem* GetImage(int32_t state) const;
    int32_t GetPattern(int32_t state) const;
    int32_t GetBlendMode(int32_t state) const;
    void SetX(int32_t value) { X = value; }
    void SetY(int32_t value) { Y = value; }
    void SetWidth(int32_t value) { Width = value; }
    void SetHeight(int32_t value) { Height = value; }
    int32_t GetX() const { return X; }
    int32_t GetY() const { return Y; }
    int32_t GetWidth() const { return Width; }
    int32_t GetHeight() const { return Height; }
    // Moves the widget to the end of its page's list (drawn last, wins the hover test).
    void BringToFront();
    TKerbGUI& GUI() const;
    // Whether (x, y) lies inside X..X+Width, Y..Y+Height, edges included.
    bool Contains(int32_t x, int32_t y) const;
    // Current pattern of every state back to its start (or its end when running backwards).
    void ResetAnimations();
    // The state drawn now: over or pressed while the mouse is on it, 0 for a look without
    // picture.
    int32_t DrawState() const;

    // Called by the GUI. Any event handler may free this widget (a button that leaves its
    // screen frees the page): these raise their event last and the GUI never touches the
    // widget after one returns.
    virtual void Draw();
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMoveHook() {}
    virtual void MouseDown(const TGuiMouseArgs& args);
    virtual void MouseUp(const TGuiMouseArgs& args);
    // Raises OnKey, then HandleKey with what the handler left.
    void Key(int32_t key, bool isChar);

protected:
    virtual void HandleKey(int32_t, bool) {}
    // Draws a state's picture stretched over the widget and steps its animation.
    void DrawWidget();
    void StepAnimation(TKerbGUIState& state);
    // Caption-style vertical placement: centred on the widget.
    int32_t TextY() const;
};
