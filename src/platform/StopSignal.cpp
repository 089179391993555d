#include "platform/StopSignal.h"

#include <atomic>

namespace {
// Lock-free, so the signal handler may set it through RequestStop; every thread may read it.
std::atomic<bool> StopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);
}  // namespace

bool StopRequested() {
    return StopFlag.load(std::memory_order_relaxed);
}

void RequestStop() {
    StopFlag.store(true, std::memory_order_relaxed);
}

void ClearStopRequest() {
    StopFlag.store(false, std::memory_order_relaxed);
}
