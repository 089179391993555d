#include "server/DailyService.h"

#include <future>

#include "common/Version.h"
#include "server/DailyRequest.h"
#include "world/KeyLog.h"

struct TReplayPool::TJob {
    const TReplay* Replay = nullptr;
    std::promise<TReplayResult> Done;
};

TReplayPool::TReplayPool(size_t workers, size_t maxPending) : MaxPending(maxPending) {
    for (size_t i = 0; i < std::max<size_t>(workers, 1); ++i)
        Workers.emplace_back([this] { Work(); });
}

TReplayPool::~TReplayPool() {
    {
        std::lock_guard<std::mutex> hold(Lock);
        Stopping = true;
    }
    Wake.notify_all();
    for (std::thread& t : Workers) t.join();
}

bool TReplayPool::Run(const TReplay& replay, TReplayResult& result) {
    TJob job;
    job.Replay = &replay;
    std::future<TReplayResult> done = job.Done.get_future();
    {
        std::lock_guard<std::mutex> hold(Lock);
        if (Pending >= MaxPending || Stopping) return false;
        ++Pending;
        Queue.push_back(&job);
    }
    Wake.notify_one();
    result = done.get();
    return true;
}

size_t TReplayPool::InFlight() {
    std::lock_guard<std::mutex> hold(Lock);
    return Pending;
}

void TReplayPool::Work() {
    for (;;) {
        TJob* job = nullptr;
        {
            std::unique_lock<std::mutex> hold(Lock);
            Wake.wait(hold, [this] { return Stopping || !Queue.empty(); });
            if (Queue.empty()) return;
            job = Queue.front();
            Queue.pop_front();
        }
        TReplayResult result;
        try {
            result = (*job->Replay)();
        } catch (const std::exception& e) {
            result.Reason = std::string("the replay failed: ") + e.what();
        }
        {
            std::lock_guard<std::mutex> hold(Lock);
            --Pending;
        }
        job->Done.set_value(std::move(result));
    }
}

namespace {
constexpr int64_t kSecondsPerDay = 86400;
// A game whose clock runs a little ahead may already be in tomorrow's race.
constexpr int64_t kClockSlackSeconds = 10 * 60;
}  // namespace

TDailyService::TDailyService(TDailyStore& store, std::string dataDir, TNow now, TLog log,
                             TDailyLimits limits)
    : DailyStore(store),
      DataDir(std::move(dataDir)),
      NowFn(std::move(now)),
      Log(std::move(log)),
      Limits(limits),
      Pool(limits.Workers, limits.MaxPending) {}

TDailyPlan TDailyService::Today() const {
    return DailyPlanForUnixTime(NowFn());
}

TDailyAnswer TDailyService::Refuse(int status, const std::string& message, const std::string& why) {
    if (Log) Log("daily refused (" + std::to_string(status) + "): " + why);
    return {status, "REFUSED " + message};
}

TDailyAnswer TDailyService::Submit(std::string_view body) {
    if (!Serving())
        return Refuse(503, "The daily race is not checked on this service.", "no data folder");
    const TDecodedDaily decoded = DecodeDailySubmission(body);
    if (!decoded.Submission) return Refuse(400, decoded.Error, decoded.Error);
    const TDailySubmission& s = *decoded.Submission;
    const std::string date = DailyDateText(s.Plan);
    if (s.Version != kVelkaroVersion)
        return Refuse(426,
                      "This race was driven with version " + s.Version +
                          "; the service checks version " + kVelkaroVersion +
                          ". Please update the game.",
                      "version " + s.Version);
    // Today and yesterday (UTC): a race started before midnight is sent after it.
    const int64_t now = NowFn();
    const int64_t day = DailyDayNumber(s.Plan);
    const int64_t today = DailyDayNumber(DailyPlanForUnixTime(now));
    const int64_t aheadToday = DailyDayNumber(DailyPlanForUnixTime(now + kClockSlackSeconds));
    if (day != today && day != today - 1 && day != aheadToday)
        return Refuse(400, "The race of " + date + " is no longer open.", "day " + date);
    const auto log = TKeyLog::Decode(s.Log, Limits.MaxFrames, Limits.MaxLogBytes);
    if (!log) {
        const bool tooLong = s.Log.size() > Limits.MaxLogBytes;
        return Refuse(
            400, tooLong ? "The race log is too long." : "The race log is damaged.",
            tooLong ? "log of " + std::to_string(s.Log.size()) + " bytes" : "log does not decode");
    }
    TReplayResult replay;
    const TDailyPlan plan = s.Plan;
    const auto job = [&] { return ReplayDailyRace(plan, *log, DataDir, Limits.MaxFrames); };
    if (!Pool.Run(job, replay))
        return Refuse(503, "The service is busy checking races. Please try again shortly.",
                      "replay queue full");
    if (!replay.Finished)
        return Refuse(400, "The race in this log does not reach the finish.",
                      date + " " + s.Name + ": " + replay.Reason + " after " +
                          std::to_string(replay.Frames) + " frames");
    if (replay.RaceHundredths != s.Hundredths)
        return Refuse(409,
                      "The replay of this race finishes in " +
                          std::to_string(replay.RaceHundredths) + " hundredths, not " +
                          std::to_string(s.Hundredths) + ".",
                      date + " " + s.Name + ": replay " + std::to_string(replay.RaceHundredths) +
                          " against " + std::to_string(s.Hundredths));
    // The log is kept up to its finish: what a client sent past it never plays.
    TKeyLog driven;
    for (int32_t frame = 0; frame < replay.Frames; ++frame) driven.Add(log->At(frame));
    if (!DailyStore.StoreDailyTime(date, s.Name, replay.RaceHundredths, driven.Encode(), now))
        return Refuse(500, "The time could not be stored.", "store failed");
    const auto entry = DailyStore.DailyEntry(date, s.Name);
    const int32_t place = entry ? entry->Place : 0;
    if (Log)
        Log("daily verified: " + date + " " + s.Name + " " + std::to_string(replay.RaceHundredths));
    return {200, "OK " + std::to_string(replay.RaceHundredths) + " " + std::to_string(place)};
}
