// Pages, widget numbering and drawing of the GUI. Input is in KerbGUIInput.cpp.
#include "engine/KerbGUI.h"

#include <algorithm>

#include "engine/ImageList.h"
#include "engine/KerbScreen.h"

TKerbGUIList::TKerbGUIList(TKerbGUI* gui) : GUI(gui) {
    GUI->Lists.push_back(this);
}

TKerbGUIList::~TKerbGUIList() {
    // Each widget takes itself off the list as it goes.
    while (!Components.empty()) delete Components.back();
    GUI->RemoveList(this);
}

void TKerbGUIList::Remove(TKerbGUIComponent* component) {
    std::erase(Components, component);
}

void TKerbGUIList::BringToFront() {
    auto& lists = GUI->Lists;
    std::erase(lists, this);
    lists.push_back(this);
}

TKerbGUIComponent* TKerbGUIList::Find(const std::string& name) const {
    for (TKerbGUIComponent* c : Components)
        if (c->Name == name) return c;
    return nullptr;
}

void TKerbGUIList::Draw() {
    if (!Visible) return;
    for (TKerbGUIComponent* c : Components)
        if (c->Visible) c->Draw();
}

TKerbGUI::TKerbGUI(const TClock& clock) : Components{nullptr}, Clock(clock) {}

TKerbGUI::~TKerbGUI() {
    while (!Lists.empty()) delete Lists.back();
    Finalize();
    if (KerbScreen != nullptr && HookId != 0) KerbScreen->RemoveDeviceHooks(HookId);
}

void TKerbGUI::Initialize() {
    if (KerbScreen == nullptr) return;
    // Re-run after every render reset, after the bitmap fonts (whose hooks came first).
    if (HookId == 0) HookId = KerbScreen->AddDeviceHooks([this] { Initialize(); }, {});
    IsHooked = true;
}

void TKerbGUI::Finalize() {
    IsHooked = false;
}

int32_t TKerbGUI::Register(TKerbGUIComponent* component) {
    Components.resize(static_cast<size_t>(NextID), nullptr);
    Components.push_back(component);
    return NextID++;
}

void TKerbGUI::Unregister(TKerbGUIComponent* component) {
    const int32_t id = component->ID;
    if (id > 0 && static_cast<size_t>(id) < Components.size())
        Components[static_cast<size_t>(id)] = nullptr;
    // Nothing may go on naming a freed widget.
    for (TGuiMouseState* s : {&Mouse, &Previous}) {
        if (s->HoverID == id) s->HoverID = 0;
        if (s->PressedID == id) s->PressedID = -1;
        if (s->FocusID == id) s->FocusID = -1;
    }
}

void TKerbGUI::RemoveList(TKerbGUIList* list) {
    std::erase(Lists, list);
}

TKerbGUIComponent* TKerbGUI::Component(int32_t id) const {
    if (id <= 0 || static_cast<size_t>(id) >= Components.size()) return nullptr;
    return Components[static_cast<size_t>(id)];
}

void TKerbGUI::Draw() {
    if (Background != nullptr) Background->Draw(0, 0, -1);
    for (TKerbGUIList* list : Lists) list->Draw();
    DrawFocusFrame();
}
