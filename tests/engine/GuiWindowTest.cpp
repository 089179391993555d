// Mouse events from a real (dummy-driver) window reach the GUI in screen pixels: the screen's
// letterbox mapping is applied to window pixels, also after the window changed size, and
// positions in the bars are clamped to the picture.
#include <SDL.h>

#include "PixelCompare.h"
#include "engine/KerbGUI.h"
#include "platform/Clock.h"

class GuiWindow : public ScreenFixture {
protected:
    void Push(Uint32 type, int32_t x, int32_t y) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.windowID = SDL_GetWindowID(Window.Handle());
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button.windowID = SDL_GetWindowID(Window.Handle());
            e.button.button = SDL_BUTTON_LEFT;
            e.button.x = x;
            e.button.y = y;
        }
        SDL_PushEvent(&e);
    }
    // Everything the window has, handed to the GUI 20 ms apart.
    void Pump(TKerbGUI& gui) {
        std::vector<TInputEvent> events;
        Window.PollEvents(events);
        for (const TInputEvent& e : events) {
            Clock.AdvanceMs(20);
            gui.HandleEvent(e);
        }
    }
    TManualClock Clock;
};

TEST_F(GuiWindow, WindowPixelsMapThroughTheLetterboxAfterAResize) {
    TKerbGUI gui(Clock);
    gui.KerbScreen = Screen.get();
    auto* page = new TKerbGUIList(&gui);
    auto* button = new TKerbButton(page);
    button->X = 380;
    button->Y = 290;
    button->Width = 40;
    button->Height = 20;
    int32_t clicks = 0;
    button->OnClick = [&](TKerbGUIComponent&, int32_t) { ++clicks; };

    // 1600 x 1000: the picture is scaled by 5/3 to 1333 x 1000, with bars of 133 pixels
    // left and right.
    SDL_SetWindowSize(Window.Handle(), 1600, 1000);
    Pump(gui);
    struct TCase {
        int32_t WindowX, WindowY, ScreenX, ScreenY;
    };
    const std::vector<TCase> cases = {{800, 500, 400, 300},
                                      {134, 0, 0, 0},
                                      {10, 10, 0, 6},
                                      {1599, 999, 799, 599},
                                      {1466, 0, 799, 0}};
    for (const TCase& c : cases) {
        Push(SDL_MOUSEMOTION, c.WindowX, c.WindowY);
        Pump(gui);
        EXPECT_NEAR(gui.Mouse.MouseX, c.ScreenX, 1) << c.WindowX << "," << c.WindowY;
        EXPECT_NEAR(gui.Mouse.MouseY, c.ScreenY, 1) << c.WindowX << "," << c.WindowY;
    }
    // The button in the middle of the screen is clicked in the middle of the window.
    Push(SDL_MOUSEMOTION, 800, 500);
    Push(SDL_MOUSEBUTTONDOWN, 800, 500);
    Push(SDL_MOUSEBUTTONUP, 800, 500);
    Pump(gui);
    EXPECT_EQ(clicks, 1);
    // Where the unscaled window would have had it, it is not.
    Push(SDL_MOUSEBUTTONDOWN, 400, 300);
    Push(SDL_MOUSEBUTTONUP, 400, 300);
    Pump(gui);
    EXPECT_EQ(clicks, 1);
}
