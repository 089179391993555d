// The GUI of the menus: its links at start-up and the hand-over of the window's events.
#include <utility>
#include <vector>

#include "shell/Form1.h"

void TForm1::InitGui() {
    KerbGUI1.KerbScreen = &KerbScreen1;
    KerbGUI1.KerbBitmapFont = &KerbBitmapFont1;
    // The widgets' text: white glyphs cut from the menu pictures' glyph sheet, the 95
    // characters from space to "~". Without the sheet the font renders a system face.
    KerbBitmapFont1.KerbImageList = &KerbImageList1;
    // Looked up by name only: the sheet's picture may still be decoding behind the logo.
    if (const int32_t sheet = KerbImageList1.ImageList.IndexOf("MicrogrammaDBolExt"); sheet >= 0)
        KerbBitmapFont1.SetKerbImageIndex(sheet);
    KerbBitmapFont1.SetCharacters("");
    KerbGUI1.Initialize();
}

void TForm1::FeedGui() {
    // A button's action may leave the screen and free its page; events after it go to
    // whatever page the new screen built.
    std::vector<TInputEvent> events;
    events.swap(GuiEvents);
    KerbGUI1.HandleEvents(events);
}
