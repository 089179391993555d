#include "engine/GuiComponent.h"

#include <algorithm>
#include <cmath>

#include "engine/ImageList.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbGUI.h"

TKerbGUIComponent::TKerbGUIComponent(TKerbGUIList* list) : List(list) {
    List->Components.push_back(this);
    ID = List->GUI->Register(this);
    Font = List->GUI->KerbBitmapFont;
    if (Font != nullptr) {
        FontColor = Font->Color();
        FontScaleX = Font->ScaleX;
        FontScaleY = Font->ScaleY;
    }
}

TKerbGUIComponent::~TKerbGUIComponent() {
    List->GUI->Unregister(this);
    List->Remove(this);
}

TKerbGUI& TKerbGUIComponent::GUI() const {
    return *List->GUI;
}

void TKerbGUIComponent::SetImage(int32_t state, TImageListItem* item) {
    if (state >= 0 && state < 4) States[static_cast<size_t>(state)].Image = item;
}

void TKerbGUIComponent::SetPattern(int32_t state, int32_t value) {
    if (state < 0 || state >= 4) return;
    States[static_cast<size_t>(state)].Pattern = value;
    States[static_cast<size_t>(state)].StartPattern = value;
}

void TKerbGUIComponent::SetBlendMode(int32_t state, int32_t value) {
    if (state >= 0 && state < 4) States[static_cast<size_t>(state)].BlendMode = value;
}

TImageListItem* TKerbGUIComponent::GetImage(int32_t state) const {
    return state >= 0 && state < 4 ? States[static_cast<size_t>(state)].Image : nullptr;
}

int32_t TKerbGUIComponent::GetPattern(int32_t state) const {
    return state >= 0 && state < 4 ? States[static_cast<size_t>(state)].Pattern : -1;
}

int32_t TKerbGUIComponent::GetBlendMode(int32_t state) const {
    return state >= 0 && state < 4 ? States[static_cast<size_t>(state)].BlendMode : 0;
}

void TKerbGUIComponent::BringToFront() {
    auto& list = List->Components;
    const auto found = std::find(list.begin(), list.end(), this);
    if (found == list.end()) return;
    list.erase(found);
    list.push_back(this);
}

bool TKerbGUIComponent::Contains(int32_t x, int32_t y) const {
    return x >= X && x <= X + Width && y >= Y && y <= Y + Height;
}

void TKerbGUIComponent::ResetAnimations() {
    for (TKerbGUIState& s : States) {
        s.Pattern = s.Reverse ? s.StartPattern + s.PatternCount : s.StartPattern;
        s.Finished = false;
    }
}

int32_t TKerbGUIComponent::DrawState() const {
    const TKerbGUI& gui = GUI();
    int32_t state = gsNormal;
    if (gui.Mouse.HoverID == ID) state = gui.Mouse.Left ? gsPressed : gsOver;
    return States[static_cast<size_t>(state)].Image != nullptr ? state : gsNormal;
}

void TKerbGUIComponent::StepAnimation(TKerbGUIState& s) {
    if (!s.Animated || s.Finished) return;
    ++AnimCounter;
    if (s.AnimSpeed / 10 > AnimCounter) return;
    AnimCounter = 0;
    const int32_t last = s.StartPattern + s.PatternCount;
    if (!s.Reverse) {
        if (++s.Pattern > last) {
            if (s.Loop) {
                s.Pattern = s.StartPattern;
            } else {
                s.Finished = true;
                s.Pattern = last;
            }
        }
    } else if (--s.Pattern <= s.StartPattern) {
        if (s.Loop) {
            s.Pattern = last;
        } else {
            s.Finished = true;
            s.Pattern = s.StartPattern;
        }
    }
}

void TKerbGUIComponent::DrawWidget() {
    TKerbGUIState& s = States[static_cast<size_t>(DrawState())];
    if (s.Image == nullptr) return;
    const TRect rect{X, Y, X + Width, Y + Height};
    s.Image->DrawStretch(
        rect, 0, 0, Angle, 0.5f, 0.5f, 1, 1, static_cast<int32_t>((s.Color >> 16) & 0xFF),
        static_cast<int32_t>((s.Color >> 8) & 0xFF), static_cast<int32_t>(s.Color & 0xFF),
        static_cast<int32_t>(s.Color >> 24), MirrorY, MirrorX, s.Pattern, s.BlendMode);
    StepAnimation(s);
}

int32_t TKerbGUIComponent::TextY() const {
    const int32_t glyphHeight = Font != nullptr ? Font->DefaultHeight() : 0;
    return Height / 2 + Y - static_cast<int32_t>(std::lround(glyphHeight * FontScaleY)) / 2;
}

void TKerbGUIComponent::Draw() {
    DrawWidget();
}

void TKerbGUIComponent::Click() {
    const TGuiClick handler = OnClick;
    if (handler) handler(*this, mbLeft);
}

void TKerbGUIComponent::DblClick() {
    const TGuiNotify handler = OnDblClick;
    if (handler) handler(*this);
}

void TKerbGUIComponent::MouseEnter() {
    ResetAnimations();
    const TGuiNotify handler = OnMouseEnter;
    if (handler) handler(*this);
}

void TKerbGUIComponent::MouseLeave() {
    ResetAnimations();
    const TGuiNotify handler = OnMouseLeave;
    if (handler) handler(*this);
}

void TKerbGUIComponent::MouseDown(const TGuiMouseArgs& args) {
    const TGuiMouse handler = OnMouseDown;
    if (handler) handler(*this, args);
}

void TKerbGUIComponent::MouseUp(const TGuiMouseArgs& args) {
    const TGuiMouse handler = OnMouseUp;
    if (handler) handler(*this, args);
}

void TKerbGUIComponent::Key(int32_t key, bool isChar) {
    // The handler may free the widget: it reports that by the ID no longer being live.
    const int32_t id = ID;
    TKerbGUI& gui = GUI();
    const TGuiKey handler = OnKey;
    if (handler) handler(*this, key, isChar);
    if (key == 0 || gui.Component(id) != this) return;
    HandleKey(key, isChar);
}
