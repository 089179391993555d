// The handlers that raise the stop flag, and SDL told to leave the signals to us. The flag
// itself (StopSignal.cpp) needs neither, so code without SDL can poll it.
#include <SDL.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#endif

#include "platform/StopSignal.h"

namespace {
#ifdef _WIN32
// Runs on a thread of its own that Windows starts for the console event. Ctrl+C, Ctrl+Break
// and the console window's close box raise the flag; returning TRUE keeps Windows from ending
// the process at once, so the main loop closes the game and saves as on any exit.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            RequestStop();
            return TRUE;
        default:
            return FALSE;
    }
}
#else
void OnStopSignal(int) {
    RequestStop();
}
#endif
}  // namespace

void InstallStopSignals() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls are restarted: the loaders handle a stop by polling the flag,
    // not by failing a read half-way.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
    // SDL would otherwise turn the signals into a quit event, which is only seen when events
    // are pumped, not while loading.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}
