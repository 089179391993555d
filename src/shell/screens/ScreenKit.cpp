#include "shell/screens/ScreenKit.h"

#include <algorithm>

#include "shell/screens/MenuSprites.h"

TMenuScreen* NewPageSprite(TForm1& f, const std::string& picture, const std::string& name,
                           int32_t z, float x, float y, bool race) {
    if (race) return new TGameMenuScreen(&f.KerbSprite1, x, y, z, picture, name, 255, true);
    return new TMenuScreen(&f.KerbSprite1, x, y, z, picture, name, 255, true);
}

TMenuPage& NewPage(TForm1& f) {
    // The old page goes first, so that its widgets never share the GUI with the new ones.
    f.Page.reset();
    f.Page = std::make_shared<TMenuPage>(f.KerbGUI1);
    return *f.Page;
}

TMenuButton& AddButton(TForm1& f, const std::string& picture, int32_t x, int32_t y,
                       std::function<void()> action, bool race) {
    if (f.Page == nullptr) NewPage(f);
    TKerbImageList& list = race ? f.GameImageList : f.KerbImageList1;
    return f.Page->AddButton(list.Find(picture), picture, x, y, std::move(action));
}

std::function<void()> GoTo(TForm1& f, uint8_t n) {
    return [&f, n] { f.ChangeState(n, "check"); };
}

void SlideIn(TForm1& f, int32_t& frames) {
    if (frames >= SlideInFrames) return;
    ++frames;
    if (f.PageSprite != nullptr) f.PageSprite->SetX(f.PageSprite->X + SlideInStep);
    if (f.Page == nullptr) return;
    for (TKerbButton* b : f.Page->Buttons()) b->X += SlideInStep;
}

void SlideButtons(TForm1& f, std::initializer_list<TSlideTarget> targets, int32_t step) {
    if (f.Page == nullptr) return;
    for (const TSlideTarget& t : targets) {
        TMenuButton* b = f.Page->Button(t.Button);
        if (b == nullptr) continue;
        b->X = b->X < t.X ? std::min(b->X + step, t.X) : std::max(b->X - step, t.X);
    }
}

int32_t WrapStep(int32_t index, int32_t step, int32_t last) {
    index += step;
    if (index > last) index = 0;
    if (index < 0) index = last;
    return index;
}
