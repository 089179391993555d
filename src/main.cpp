// Velkaro: reads the command line, creates the window and the main window object, then runs
// the message loop until the game closes. SIGINT and SIGTERM close it the same way as the
// window's close box.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/MainLoop.h"
#include "engine/StatsOverlay.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/Allocator.h"
#include "platform/AtomicFile.h"
#include "platform/ConfigDir.h"
#include "platform/FolderLock.h"
#include "platform/KeyCodes.h"
#include "platform/MessageBox.h"
#include "platform/NativePath.h"
#include "platform/RendererChoice.h"
#include "platform/StopSignal.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "platform/WindowPlacement.h"
#include "shell/Form1.h"
#include "shell/Globals.h"
#include "shell/ServerAddress.h"

namespace {
// The renderer to draw with (logged once, with the reason); false after a bad --renderer.
bool PickRenderer(const std::vector<std::string>& args, TRendererChoice& choice) {
    std::string error;
    const TRendererOption option = ResolveRendererOption(
        {args.begin(), args.end()}, std::getenv(kRendererEnv), ConfigDir(), error);
    if (!error.empty()) {
        std::fprintf(stderr, "velkaro: %s\n", error.c_str());
        return false;
    }
    choice = ChooseRenderer(option);
    std::fprintf(stderr, "velkaro: renderer %s\n", choice.Reason.c_str());
    return true;
}

// F3 (down and up) shows or hides the measuring overlay; the game never sees it.
bool OverlayKey(const TInputEvent& e, TStatsOverlay& overlay) {
    if (e.Key != vk::F1 + 2) return false;
    if (e.Kind == TInputKind::KeyDown) overlay.Toggle();
    return e.Kind == TInputKind::KeyDown || e.Kind == TInputKind::KeyUp;
}

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
        if (!std::filesystem::is_directory(PathFromUtf8(cmd.DataDir) / "Data", ec)) {
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
    ConfigureAllocator();
    InstallStopSignals();
    InstallWindowMessageBoxes();
    // A test driving the game in a window follows the states it enters.
    if (const char* trace = std::getenv("VELKARO_TRACE_STATES"); trace && std::string(trace) == "1")
        StateTrace = stderr;
    const std::vector<std::string> args = Utf8Arguments(argc, argv);
    const TCommandLine cmd = ParseCommandLine({args.begin(), args.end()});
    if (const int code = ApplyCommandLine(cmd); code >= 0) return code;
    TRendererChoice renderer;
    if (!PickRenderer(args, renderer)) return 2;

    const std::string configDir = ConfigDir();
    // Two games on one settings folder would save over each other's players and progress.
    TFolderLock folderLock;
    if (folderLock.Acquire(configDir) == TFolderLock::TResult::Taken) {
        ShowMessageBox("Error",
                       "Velkaro is already running with the settings folder " + configDir +
                           ". Close it before starting another, or start this one with "
                           "--config-dir and a folder of its own.",
                       TMsgButtons::Ok, TMsgIcon::Error);
        return 1;
    }
    // A write cut short by a crash leaves its temporary file; no other game writes here now.
    RemoveStaleTemporaries(configDir);
    const std::string placementFile = configDir + kWindowFileName;
    TSteadyClock clock;
    TPlatformWindow window;
    window.OpenGL = renderer.OpenGL;
    if (!window.Create("Velkaro", 800, 600, LoadWindowPlacement(placementFile),
                       configDir + "gamecontrollerdb.txt")) {
        ShowMessageBox("Error", "Could not open the game window: " + window.Error(),
                       TMsgButtons::Ok, TMsgIcon::Error);
        return 1;
    }
    TForm1 form(clock, &window);
    form.KerbScreen1.RenderMode =
        renderer.OpenGL ? TRenderMode::rmHardware : TRenderMode::rmSoftware;
    TStatsOverlay overlay(
        form.KerbScreen1, clock, [&form] { return form.KerbSprite1.Count(); },
        [] { return static_cast<int32_t>(CurrentState); });
    form.KerbTimer1.SetOnTimer([&overlay, frame = form.KerbTimer1.OnTimer](TKerbTimer& timer) {
        overlay.TickStarted();
        if (frame) frame(timer);
    });
    if (cmd.FullScreen) form.FullScreenArgument = *cmd.FullScreen ? 1 : 0;
    // --server URL (which the command line above accepted) is read here with the rest.
    TOnlineSettings online;
    online.ConfigDir = configDir;
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
            for (const TInputEvent& e : events)
                if (!OverlayKey(e, overlay)) form.HandleEvent(e);
        };
        // The loop never waits longer than a fiftieth of a second, so a stop is seen at once.
        loop.ShouldQuit = [&] {
            if (StopRequested() && !form.IsClosing()) form.HandleEvent(quit);
            return form.IsClosing();
        };
        loop.Run();
    }
    form.FormDestroy();
    if (cmd.Stats) {
        std::fputs(overlay.Report(form.KerbScreen1.IsSoftware() ? "software" : "opengl").c_str(),
                   stderr);
        std::fprintf(stderr, "stats pictures_ready_ms %lld\n",
                     static_cast<long long>(form.PicturesReadyMs));
    }
    SaveWindowPlacement(placementFile, window.Placement());
    return form.ExitCode();
}
