// Velkaro: creates the window and the main window object, then runs the message loop until
// the game closes.
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/MainLoop.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "shell/Form1.h"
#include "shell/Globals.h"

int main() {
    // A test driving the game in a window follows the states it enters.
    if (const char* trace = std::getenv("VELKARO_TRACE_STATES"); trace && std::string(trace) == "1")
        StateTrace = stderr;
    TSteadyClock clock;
    TPlatformWindow window;
    if (!window.Create("Velkaro", 800, 600)) {
        ShowMessageBox("Error", "Could not open the game window: " + window.Error(),
                       TMsgButtons::Ok, TMsgIcon::Error);
        return 1;
    }
    TForm1 form(clock, &window);
    form.FormCreate();
    if (form.IsClosing()) return form.ExitCode();
    form.FormShow();

    TMainLoop loop(clock, form.KerbTimer1, &form.RaceTimer);
    std::vector<TInputEvent> events;
    loop.PumpEvents = [&] {
        events.clear();
        window.PollEvents(events);
        for (const TInputEvent& e : events) form.HandleEvent(e);
    };
    loop.ShouldQuit = [&] { return form.IsClosing(); };
    loop.Run();
    form.FormDestroy();
    return form.ExitCode();
}
