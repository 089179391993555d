// The picture fills a resized window: whole steps when one fills nearly as much as a free
// scale would, the free scale otherwise, and mouse positions mapped back through the same
// transform so that a button is hit where it is drawn.
#include <SDL.h>

#include <cmath>

#include "PixelCompare.h"
#include "engine/GuiWidgets.h"
#include "engine/KerbGUI.h"
#include "platform/Clock.h"

TEST_F(ScreenFixture, ThePictureScalesInWholeStepsWhenTheWindowAllows) {
    struct TCase {
        int32_t W, H;
        bool Whole;
        float Scale;
    };
    const TCase cases[] = {{800, 600, true, 1.0f},        {1700, 1300, true, 2.0f},
                           {1600, 1000, false, 5.0f / 3}, {2450, 1850, true, 3.0f},
                           {640, 480, false, 0.8f},       {1920, 1080, false, 1.8f}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.W) + "x" + std::to_string(c.H));
        SDL_SetWindowSize(Window.Handle(), c.W, c.H);
        std::vector<TInputEvent> events;
        Window.PollEvents(events);
        Screen->FitToWindow();
        EXPECT_EQ(Screen->IntegerScaled(), c.Whole);
        EXPECT_NEAR(Screen->PictureScale(), c.Scale, 0.01);
    }
}

TEST_F(ScreenFixture, AClickAtAButtonsScaledPlaceHitsIt) {
    TManualClock clock;
    TKerbGUI gui(clock);
    gui.KerbScreen = Screen.get();
    auto* page = new TKerbGUIList(&gui);
    auto* button = new TKerbButton(page);
    button->X = 600;
    button->Y = 500;
    button->Width = 100;
    button->Height = 40;
    int32_t clicks = 0;
    button->OnClick = [&](TKerbGUIComponent&, int32_t) { ++clicks; };
    // 1700 x 1300 at scale 2: the picture is 1600 x 1200 with bars of 50 on each side.
    SDL_SetWindowSize(Window.Handle(), 1700, 1300);
    std::vector<TInputEvent> events;
    Window.PollEvents(events);
    Screen->FitToWindow();
    ASSERT_TRUE(Screen->IntegerScaled());
    const auto click = [&](int32_t wx, int32_t wy) {
        for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event e;
            SDL_zero(e);
            e.type = type;
            e.button.windowID = SDL_GetWindowID(Window.Handle());
            e.button.button = SDL_BUTTON_LEFT;
            e.button.x = wx;
            e.button.y = wy;
            SDL_PushEvent(&e);
        }
        events.clear();
        Window.PollEvents(events);
        for (const TInputEvent& e : events) {
            clock.AdvanceMs(20);
            gui.HandleEvent(e);
        }
    };
    // The button's middle (650, 520) is drawn at (50 + 1300, 50 + 1040).
    click(1350, 1090);
    EXPECT_EQ(clicks, 1);
    // Where an unscaled picture would have it, there is nothing.
    click(650, 520);
    EXPECT_EQ(clicks, 1);
}
