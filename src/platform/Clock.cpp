#include "platform/Clock.h"

#include <chrono>
#include <thread>

int64_t TSteadyClock::Now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {
// Tells the processor this is a wait loop (saves power, frees the core's other thread).
inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}
}  // namespace

void SleepUntil(int64_t deadline, int64_t marginNs) {
    const TSteadyClock clock;
    const int64_t wakeAt = deadline - marginNs;
    if (clock.Now() < wakeAt) {
        std::this_thread::sleep_until(
            std::chrono::steady_clock::time_point(std::chrono::nanoseconds(wakeAt)));
    }
    while (clock.Now() < deadline) CpuRelax();
}
