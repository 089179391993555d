#include "harness/MenuDriver.h"

#include "shell/Globals.h"
#include "shell/screens/MenuPage.h"

TMenuButton* PageButton(THarness& h, const std::string& name) {
    if (h.Form().Page == nullptr) return nullptr;
    return h.Form().Page->Button(name);
}

bool ClickButton(THarness& h, const std::string& name) {
    TMenuButton* b = PageButton(h, name);
    if (b == nullptr) return false;
    const int32_t x = b->X + b->Width / 2, y = b->Y + b->Height / 2;
    h.Click(x, y);
    h.RunFrames(1);
    return true;
}

void TypeText(THarness& h, const std::string& text) {
    h.TypeText(text);
    h.RunFrames(1);
}

bool RunUntilState(THarness& h, uint8_t state, int32_t maxFrames) {
    for (int32_t i = 0; i < maxFrames; ++i) {
        if (CurrentState == state) return true;
        h.RunFrames(1);
    }
    return CurrentState == state;
}
