#include "platform/StopSignal.h"

#include <SDL.h>

#include <atomic>
#include <csignal>

namespace {
// Lock-free, so the handler may set it; every thread may read it.
std::atomic<bool> StopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnStopSignal(int) {
    StopFlag.store(true, std::memory_order_relaxed);
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

bool StopRequested() {
    return StopFlag.load(std::memory_order_relaxed);
}

void RequestStop() {
    StopFlag.store(true, std::memory_order_relaxed);
}

void ClearStopRequest() {
    StopFlag.store(false, std::memory_order_relaxed);
}
