// Velkaro: creates the window and the main window object, then runs the message loop until
// the game closes. SIGINT and SIGTERM close it the same way as the window's close box.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MainLoop.h"
#include "platform/Clock.h"
#include "platform/ConfigDir.h"
#include "platform/MessageBox.h"
#include "platform/StopSignal.h"
#include "platform/Window.h"
#include "shell/Form1.h"
#include "shell/Globals.h"
#include "shell/ServerAddress.h"

int main(int argc, char** argv) {
    InstallStopSignals();
    // A test driving the game in a window follows the states it enters.
    if (const char* trace = std::getenv("VELKARO_TRACE_STATES"); trace && std::string(trace) == "1")
        StateTrace = stderr;
    const std::vector<std::string> args(argv + 1, argv + argc);
    // --config-dir DIR puts the settings files in DIR instead of the user's data folder.
    std::string argError;
    const auto configDir = ConfigDirArgument({argv + 1, argv + argc}, argError);
    if (!argError.empty()) {
        std::fprintf(stderr, "velkaro: %s\n", argError.c_str());
        return 2;
    }
    if (configDir) SetConfigDirOverride(*configDir);
    TSteadyClock clock;
    TPlatformWindow window;
    if (!window.Create("Velkaro", 800, 600)) {
        ShowMessageBox("Error", "Could not open the game window: " + window.Error(),
                       TMsgButtons::Ok, TMsgIcon::Error);
        return 1;
    }
    TForm1 form(clock, &window);
    TOnlineSettings online;
    online.ConfigDir = ConfigDir();
    online.ServerUrl = ResolveServerUrl(online.ConfigDir, args, std::getenv("VELKARO_SERVER"));
    form.Online.Configure(online);
    form.FormCreate();
    // A fatal start-up failure ends here; a stop asked for while loading closes normally.
    if (form.IsClosing()) return form.ExitCode();
    // A stop signal closes the game as the window's close box does, settings and progress saved.
    TInputEvent quit;
    quit.Kind = TInputKind::Quit;
    if (StopRequested()) {
        form.HandleEvent(quit);
    } else {
        form.FormShow();
        TMainLoop loop(clock, form.KerbTimer1, &form.RaceTimer);
        std::vector<TInputEvent> events;
        loop.PumpEvents = [&] {
            events.clear();
            window.PollEvents(events);
            for (const TInputEvent& e : events) form.HandleEvent(e);
        };
        // The loop never waits longer than a fiftieth of a second, so a stop is seen at once.
        loop.ShouldQuit = [&] {
            if (StopRequested() && !form.IsClosing()) form.HandleEvent(quit);
            return form.IsClosing();
        };
        loop.Run();
    }
    form.FormDestroy();
    return form.ExitCode();
}
