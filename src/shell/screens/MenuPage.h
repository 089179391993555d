// TMenuPage: the GUI page of one screen ("GUI2") on the GUI manager: picture buttons, at most
// one text edit and one slider. A button shows pattern 0 of its picture, pattern 1 under the
// mouse and while pressed; a hidden button marked for it shows its disabled look, pattern 2,
// at its place instead (DrawDisabledLooks). The page owns its GUI list and frees it, with its
// widgets, when it goes.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/GuiWidgets.h"
#include "engine/KerbGUI.h"

class TImageListItem;

using TMenuButton = TKerbButton;

class TMenuPage {
public:
    explicit TMenuPage(TKerbGUI& gui);
    ~TMenuPage();
    TMenuPage(const TMenuPage&) = delete;
    TMenuPage& operator=(const TMenuPage&) = delete;

    // A button named after its picture; a left click calls action.
    TKerbButton& AddButton(TImageListItem* picture, const std::string& name, int32_t x, int32_t y,
                           std::function<void()> action);
    // A 12-character edit in the light text of the menus; the page art draws its frame.
    TKerbEdit& AddEdit(const std::string& name, int32_t x, int32_t y);
    // A bar filled from the left with fill's picture; a click sets its position.
    TKerbBar& AddSlider(const std::string& name, TImageListItem* fill, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t min, int32_t max, int32_t position);

    // The first button with this name, or null.
    TKerbButton* Button(const std::string& name) const;
    std::vector<TKerbButton*> Buttons() const;
    TKerbEdit* Edit() const;
    TKerbBar* Slider() const;
    // Gives the edit the keyboard focus.
    void FocusEdit();

    // While hidden, the button shows its disabled look.
    void ShowDisabledLook(const TKerbButton& button) { DisabledLooks.insert(button.ID); }
    void DrawDisabledLooks() const;
    // One step of the edit's caret blink, driven by the shared CaretTick counter.
    void StepCaret();

    TKerbGUIList* List;

private:
    TKerbGUI& GUI;
    std::set<int32_t> DisabledLooks;
};

// Shows another picture on a button (the on/off switches), keeping its place.
void SetButtonPicture(TKerbButton& button, TImageListItem* picture);
// Whether the edit's text has a character other than a space.
bool HasName(const TKerbEdit& edit);
