#include <cmath>

#include "engine/GuiWidgets.h"
#include "engine/ImageList.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbGUI.h"
#include "platform/KeyCodes.h"

TKerbButton::TKerbButton(TKerbGUIList* list) : TKerbGUIComponent(list) {
    Caption = std::to_string(ID);
}

void TKerbButton::Draw() {
    DrawWidget();
    TKerbGUIState& overlay = States[gsOverlay];
    if (Checked && overlay.Image != nullptr) {
        overlay.Image->DrawColor(X, Y, 0, 0.5f, 0.5f, 1, 1, overlay.Color, false, false,
                                 overlay.Pattern, overlay.BlendMode);
        StepAnimation(overlay);
    }
    if (Font == nullptr || Caption.empty()) return;
    int32_t x = X + CaptionOffsetX + Width / 4;
    if (CenterCaption) {
        const auto width = static_cast<int32_t>(std::lround(Font->TextWidth(Caption) * FontScaleX));
        x = Width / 2 + X + CaptionOffsetX - width / 2;
    }
    Font->TextOutColor(x, TextY() + CaptionOffsetY, 0, Caption, FontColor, FontScaleX, FontScaleY,
                       0);
}

void TKerbButton::HandleKey(int32_t key, bool isChar) {
    if (!isChar && (key == vk::Return || key == vk::Space)) Click();
}
