// Modal message boxes with a caption and a text. The text always goes to standard error; a box
// in a window appears once the program installed one (InstallWindowMessageBoxes, SDL) and a
// real video driver is in use. Tests can capture every box with a handler. Once the
// game was asked to stop (StopSignal.h) no box is opened any more: nobody would click it.
#pragma once

#include <functional>
#include <string>

enum class TMsgButtons { Ok, OkCancel };
enum class TMsgIcon { None, Information, Error };

struct TMessage {
    std::string Caption;
    std::string Text;
    TMsgButtons Buttons = TMsgButtons::Ok;
    TMsgIcon Icon = TMsgIcon::None;
    // What exactly went wrong (a file name and a reason), shown under the text; may be empty.
    std::string Detail;
};

using TMessageHandler = std::function<void(const TMessage&)>;

void ShowMessageBox(const std::string& caption, const std::string& text,
                    TMsgButtons buttons = TMsgButtons::Ok, TMsgIcon icon = TMsgIcon::None,
                    const std::string& detail = {});

// Replaces the way boxes are shown (nullptr restores the default). Returns the old handler.
TMessageHandler SetMessageHandler(TMessageHandler handler);

// Shows a box in a window; installed by the program, null for none.
using TWindowBoxShower = void (*)(const TMessage&);
void SetWindowBoxShower(TWindowBoxShower shower);
// Installs SDL's message box (MessageBoxSdl.cpp, in the SDL platform library).
void InstallWindowMessageBoxes();
