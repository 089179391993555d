// The daily challenge on the service: checks a submission (version, day, name, time), replays
// its key log on the day's race and keeps the time only when the replay finishes with exactly
// the submitted time. Replays run on a small pool of their own threads, never on the request
// threads, and at most MaxPending wait or run at once: beyond that a submission is turned away
// at once (503), so a flood cannot tie up the server.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "server/DailyStore.h"
#include "world/DailyReplay.h"

struct TDailyLimits {
    // A race is a few thousand frames at 90 a second; twenty minutes of frames is far beyond
    // any race's time limit.
    int32_t MaxFrames = 90 * 60 * 20;
    size_t MaxLogBytes = 16 * 1024;
    // Each worker replays on a race world of its own: as many as the machine has cores.
    size_t Workers = 2;
    size_t MaxPending = 8;
};

struct TDailyAnswer {
    int Status = 200;
    std::string Text;  // "OK <hundredths> <place>" or "REFUSED <message>"
};

class TReplayPool {
public:
    using TReplay = std::function<TReplayResult()>;
    TReplayPool(size_t workers, size_t maxPending);
    ~TReplayPool();
    TReplayPool(const TReplayPool&) = delete;
    TReplayPool& operator=(const TReplayPool&) = delete;

    // Runs the replay on a worker and waits for it; false (without running it) when
    // maxPending replays are already waiting or running.
    bool Run(const TReplay& replay, TReplayResult& result);
    // Replays waiting or running now.
    size_t InFlight();

private:
    struct TJob;
    void Work();

    size_t MaxPending;
    size_t Pending = 0;
    bool Stopping = false;
    std::mutex Lock;
    std::condition_variable Wake;
    std::deque<TJob*> Queue;
    std::vector<std::thread> Workers;
};

class TDailyService {
public:
    using TNow = std::function<int64_t()>;  // Unix seconds
    using TLog = std::function<void(const std::string&)>;

    TDailyService(TDailyStore& store, std::string dataDir, TNow now, TLog log,
                  TDailyLimits limits = {});

    TDailyAnswer Submit(std::string_view body);
    TDailyStore& Store() { return DailyStore; }
    // The UTC date the service is in now.
    TDailyPlan Today() const;
    bool Serving() const { return !DataDir.empty(); }

private:
    TDailyAnswer Refuse(int status, const std::string& message, const std::string& why);

    TDailyStore& DailyStore;
    std::string DataDir;
    TNow NowFn;
    TLog Log;
    TDailyLimits Limits;
    TReplayPool Pool;
};
