#include "platform/ProcessStats.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h first: psapi.h uses its types.
#include <psapi.h>
#else
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#endif

#ifdef _WIN32
int64_t PeakResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return -1;
    return static_cast<int64_t>(counters.PeakWorkingSetSize);
}

int64_t MillisecondsSinceExec() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    // Both in 100-nanosecond steps since 1601.
    const auto ticks = [](const FILETIME& t) {
        return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                    t.dwLowDateTime);
    };
    return (ticks(now) - ticks(created)) / 10000;
}
#else
int64_t PeakResidentBytes() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
    return static_cast<int64_t>(usage.ru_maxrss) * 1024;  // reported in kilobytes
}

int64_t MillisecondsSinceExec() {
#ifdef __linux__
    std::ifstream in("/proc/self/stat");
    std::string line;
    if (!std::getline(in, line)) return -1;
    // The command name may hold blanks: the fields counted from after its closing bracket.
    const auto close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    // starttime is field 22 of the line; the state (field 3) comes first after the name.
    for (int i = 3; i < 22 && fields >> field; ++i) {
    }
    long long startTicks = 0;
    if (!(fields >> startTicks)) return -1;
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
    const long hz = sysconf(_SC_CLK_TCK);
    if (hz <= 0) return -1;
    const int64_t nowMs = static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    return nowMs - startTicks * 1000 / hz;
#else
    return -1;
#endif
}
#endif
