#include "shell/screens/MenuPage.h"

#include <algorithm>

#include "engine/ImageList.h"
#include "shell/Globals.h"

namespace {
constexpr uint32_t MenuTextColor = 0xFFFAFAFAu;  // (250, 250, 250)
}  // namespace

TMenuPage::TMenuPage(TKerbGUI& gui) : List(new TKerbGUIList(&gui)), GUI(gui) {
    List->Name = "GUI2";
}

TMenuPage::~TMenuPage() {
    // The edit gives up the focus before it goes, so that no key reaches a freed widget.
    if (TKerbEdit* edit = Edit()) edit->LoseFocus();
    delete List;
}

void SetButtonPicture(TKerbButton& button, TImageListItem* picture) {
    button.SetImage(gsNormal, picture);
    button.SetImage(gsOver, picture);
    button.SetImage(gsPressed, picture);
    button.SetPattern(gsNormal, 0);
    button.SetPattern(gsOver, 1);
    button.SetPattern(gsPressed, 1);
    if (picture == nullptr) return;
    button.Width = picture->TileWidth;
    button.Height = picture->TileHeight;
}

bool HasName(const TKerbEdit& edit) {
    return edit.Text.find_first_not_of(' ') != std::string::npos;
}

TKerbButton& TMenuPage::AddButton(TImageListItem* picture, const std::string& name, int32_t x,
                                  int32_t y, std::function<void()> action) {
    auto* b = new TKerbButton(List);
    b->Name = name;
    b->Caption.clear();
    b->X = x;
    b->Y = y;
    SetButtonPicture(*b, picture);
    b->OnClick = [action = std::move(action)](TKerbGUIComponent&, int32_t button) {
        if (button == mbLeft && action) action();
    };
    return *b;
}

TKerbEdit& TMenuPage::AddEdit(const std::string& name, int32_t x, int32_t y) {
    auto* e = new TKerbEdit(List);
    e->Name = name;
    e->X = x;
    e->Y = y;
    e->Width = 160;
    e->Height = 24;
    e->MaxLength = 12;
    // The settings file lengthens its texts with "%" and drops them again on reading: a name
    // ending in "%" would come back shorter, one of "%" alone empty.
    e->Refused = "%";
    e->FontColor = MenuTextColor;
    e->CursorText = ".";
    return *e;
}

TKerbBar& TMenuPage::AddSlider(const std::string& name, TImageListItem* fill, int32_t x, int32_t y,
                               int32_t width, int32_t height, int32_t min, int32_t max,
                               int32_t position) {
    auto* bar = new TKerbBar(List);
    bar->Name = name;
    bar->X = x;
    bar->Y = y;
    bar->Width = width;
    bar->Height = height;
    bar->Min = min;
    bar->Max = max;
    bar->Position = std::clamp(position, min, max);
    bar->SetImage(gsOverlay, fill);
    // A player who clicks on the bar expects it to follow.
    bar->Tracking = true;
    return *bar;
}

TKerbButton* TMenuPage::Button(const std::string& name) const {
    for (TKerbGUIComponent* c : List->Components)
        if (c->Name == name)
            if (auto* b = dynamic_cast<TKerbButton*>(c)) return b;
    return nullptr;
}

std::vector<TKerbButton*> TMenuPage::Buttons() const {
    std::vector<TKerbButton*> out;
    for (TKerbGUIComponent* c : List->Components)
        if (auto* b = dynamic_cast<TKerbButton*>(c)) out.push_back(b);
    return out;
}

TKerbEdit* TMenuPage::Edit() const {
    for (TKerbGUIComponent* c : List->Components)
        if (auto* e = dynamic_cast<TKerbEdit*>(c)) return e;
    return nullptr;
}

TKerbBar* TMenuPage::Slider() const {
    for (TKerbGUIComponent* c : List->Components)
        if (auto* b = dynamic_cast<TKerbBar*>(c)) return b;
    return nullptr;
}

void TMenuPage::FocusEdit() {
    if (TKerbEdit* e = Edit()) GUI.SetFocus(e->ID);
}

void TMenuPage::DrawDisabledLooks() const {
    for (TKerbButton* b : Buttons()) {
        TImageListItem* picture = b->GetImage(gsNormal);
        if (!b->Visible && picture != nullptr && DisabledLooks.count(b->ID) != 0)
            picture->Draw(b->X, b->Y, 2);
    }
}

void TMenuPage::StepCaret() {
    TKerbEdit* e = Edit();
    if (e == nullptr) return;
    if (CaretTick % 31 == 0) {
        e->CursorText.clear();
    } else if (CaretTick % 63 == 0) {
        e->CursorText.assign(1, '_');
        CaretTick = 0;
    }
    ++CaretTick;
}
