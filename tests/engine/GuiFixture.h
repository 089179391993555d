// A GUI with a manual clock and a 12 x 16 glyph-sheet font, no screen: enough for the mouse,
// keyboard and text logic of the widgets.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/ImageList.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbGUI.h"
#include "platform/Clock.h"

inline TPicture BlankPicture(int32_t w, int32_t h) {
    TPicture p;
    p.Format = TPicture::TFormat::Png;
    p.Width = w;
    p.Height = h;
    p.Pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    return p;
}

class GuiFixture : public ::testing::Test {
protected:
    GuiFixture() : Gui(Clock) {
        Clock.Set(5'000'000'000);
        TImageListItem& sheet = Images.ImageList.Add();
        sheet.Name = "glyphs";
        sheet.SetPicture(BlankPicture(192, 96));
        sheet.SetTileWidth(12);
        sheet.SetTileHeight(16);
        TImageListItem& look = Images.ImageList.Add();
        look.Name = "look";
        look.SetPicture(BlankPicture(40, 10));
        look.SetTileWidth(4);
        look.SetTileHeight(10);
        Font.KerbImageList = &Images;
        Font.SetKerbImageIndex(0);
        Font.SetCharacters("");
        Gui.KerbBitmapFont = &Font;
        Page = new TKerbGUIList(&Gui);
    }

    TKerbButton* AddButton(int32_t x, int32_t y, int32_t w, int32_t h,
                           TKerbGUIList* page = nullptr) {
        auto* b = new TKerbButton(page != nullptr ? page : Page);
        b->X = x;
        b->Y = y;
        b->Width = w;
        b->Height = h;
        return b;
    }
    // A move after enough time for the 10 ms rule.
    void MoveTo(int32_t x, int32_t y) {
        Clock.AdvanceMs(11);
        Gui.MouseMove(x, y);
    }
    void Press(int32_t x, int32_t y) { Gui.MouseButton(TMouseButton::Left, true, x, y); }
    void Release(int32_t x, int32_t y) { Gui.MouseButton(TMouseButton::Left, false, x, y); }

    TManualClock Clock;
    TKerbImageList Images;
    TKerbBitmapFont Font;
    TKerbGUI Gui;
    TKerbGUIList* Page = nullptr;
};
