#include "platform/ProcessStats.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

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
