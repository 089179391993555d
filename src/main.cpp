// Velkaro: reads the command line, creates the window and the main window object, then runs
// the message loop until the game closes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/MainLoop.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/ConfigDir.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "platform/WindowPlacement.h"
#include "shell/Form1.h"
#include "shell/Globals.h"
#include "shell/ServerAddress.h"

namespace {
// Acts on the options that end the run or point at folders. Returns the exit code when the
// program should stop now, -1 to go on.
int ApplyCommandLine(const TCommandLine& cmd) {
    if (!cmd.Error.empty()) {
        std::fprintf(stderr, "velkaro: %s\n\n%s", cmd.Error.c_str(), UsageText().c_str());
        return 2;
    }
    if (cmd.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (cmd.Version) {
        std::printf("velkaro %s\n", kVelkaroVersion);
        return 0;
    }
    if (!cmd.DataDir.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(std::filesystem::path(cmd.DataDir) / "Data", ec)) {
            std::fprintf(stderr, "velkaro: --data %s: no Data folder there\n", cmd.DataDir.c_str());
            return 2;
        }
        SetDataDir(cmd.DataDir);
    }
    // --config-dir DIR puts the settings files in DIR instead of the user's data folder.
    if (!cmd.ConfigDir.empty()) SetConfigDirOverride(cmd.ConfigDir);
    return -1;
}
}  // namespace

int main(int argc, char** argv) {
    // A test driving the game in a window follows the states it enters.
    if (const char* trace = std::getenv("VELKARO_TRACE_STATES"); trace && std::string(trace) == "1")
        StateTrace = stderr;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const TCommandLine cmd = ParseCommandLine({args.begin(), args.end()});
    if (const int code = ApplyCommandLine(cmd); code >= 0) return code;

    const std::string configDir = ConfigDir();
    const std::string placementFile = configDir + kWindowFileName;
    TSteadyClock clock;
    TPlatformWindow window;
    if (!window.Create("Velkaro", 800, 600, LoadWindowPlacement(placementFile),
                       configDir + "gamecontrollerdb.txt")) {
        ShowMessageBox("Error", "Could not open the game window: " + window.Error(),
                       TMsgButtons::Ok, TMsgIcon::Error);
        return 1;
    }
    TForm1 form(clock, &window);
    if (cmd.FullScreen) form.FullScreenArgument = *cmd.FullScreen ? 1 : 0;
    // --server URL (which the command line above accepted) is read here with the rest.
    TOnlineSettings online;
    online.ServerUrl = ResolveServerUrl(online.ConfigDir, args, std::getenv("VELKARO_SERVER"));
    form.Online.Configure(online);
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
    SaveWindowPlacement(placementFile, window.Placement());
    return form.ExitCode();
}
