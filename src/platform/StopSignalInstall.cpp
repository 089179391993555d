// The signal handlers that raise the stop flag, and SDL told to leave the signals to us. The
// flag itself (StopSignal.cpp) needs neither, so code without SDL can poll it.
#include <SDL.h>

#include <csignal>

#include "platform/StopSignal.h"

namespace {
void OnStopSignal(int) {
    RequestStop();
}
}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls are restarted: the loaders handle a stop by polling the flag,
    // not by failing a read half-way.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // SDL would otherwise turn the signals into a quit event, which is only seen when events
    // are pumped, not while loading.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}
