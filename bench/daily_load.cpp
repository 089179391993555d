// Load test of the daily check on loopback: 200 submissions of a recorded race sent at once
// (one client thread each, all in flight together) to a real velkaro-scores, then every
// submission answered "OK" is looked for in the day's table with its time and place. Run
// twice: with room for every replay (all must be kept) and with the default limit (the
// service must turn the excess away with 503 and still keep every one it answered OK).
//   velkaro-daily-load [--data DIR] [--submissions 200] [--service PATH]
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "GameData.h"
#include "common/Version.h"
#include "harness/DailyRecording.h"
#include "harness/ServiceProcess.h"
#include "server/DailyStore.h"
#include "server/SqliteScoreStore.h"

namespace {
using TClockType = std::chrono::steady_clock;
constexpr const char* kDay = "2026-12-08";

struct TRun {
    std::map<int, int> Statuses;
    std::vector<std::string> Accepted;
    std::vector<double> LatenciesMs;
    int Failed = 0;
    int Wrong = 0;  // an OK answer with another time
    double Seconds = 0;
};

TRun Flood(int port, int submissions, const std::string& log, int32_t time) {
    TRun run;
    std::mutex lock;
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < submissions; ++i) {
        threads.emplace_back([&, i] {
            httplib::Client client("127.0.0.1", port);
            client.set_connection_timeout(30, 0);
            client.set_read_timeout(600, 0);
            const std::string name = "L" + std::to_string(i);
            const std::string body = std::string("date=") + kDay + "&version=" + kVelkaroVersion +
                                     "&name=" + name + "&hundredths=" + std::to_string(time) +
                                     "&log=" + log;
            ++ready;
            while (!go) std::this_thread::yield();
            const auto t0 = TClockType::now();
            auto res = client.Post("/daily/submit", body, "application/x-www-form-urlencoded");
            const double ms =
                std::chrono::duration<double, std::milli>(TClockType::now() - t0).count();
            std::lock_guard<std::mutex> hold(lock);
            if (!res) {
                ++run.Failed;
                return;
            }
            ++run.Statuses[res->status];
            run.LatenciesMs.push_back(ms);
            if (res->status != 200) return;
            if (res->body.rfind("OK " + std::to_string(time) + " ", 0) != 0) ++run.Wrong;
            run.Accepted.push_back(name);
        });
    }
    while (ready < submissions) std::this_thread::yield();
    const auto start = TClockType::now();
    go = true;
    for (std::thread& t : threads) t.join();
    run.Seconds = std::chrono::duration<double>(TClockType::now() - start).count();
    return run;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

// Runs the service with maxReplays, floods it and checks the table. True when every answered
// OK is in the table with its time and nothing else is.
bool RunOnce(const std::string& service, const std::string& data, int submissions, int maxReplays,
             const std::string& log, int32_t time) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("velkaro-daily-load-" + std::to_string(getpid()) + "-" + std::to_string(maxReplays));
    std::filesystem::create_directories(dir);
    const std::string db = (dir / "scores.db").string();
    TServiceProcess process;
    if (!process.Start(service, db, (dir / "log").string(),
                       {"--data", data, "--today", kDay, "--rate", "0", "--replays",
                        std::to_string(maxReplays)})) {
        std::fprintf(stderr, "velkaro-daily-load: the service did not start\n");
        return false;
    }
    const TRun run = Flood(process.Port(), submissions, log, time);
    process.Stop();
    TSqliteScoreStore store(db);
    const std::vector<TDailyRow> table = store.DailyTop(kDay, 100000);
    std::map<std::string, int32_t> kept;
    for (const TDailyRow& r : table) kept[r.Name] = r.Hundredths;
    int missing = 0;
    for (const std::string& name : run.Accepted)
        if (kept.count(name) == 0 || kept[name] != time) ++missing;
    const bool extra = kept.size() != run.Accepted.size();
    std::printf("replay limit %d: %d submissions in %.2f s; answers:", maxReplays, submissions,
                run.Seconds);
    for (const auto& [status, count] : run.Statuses) std::printf(" %d x%d", status, count);
    std::printf("; no answer %d\n", run.Failed);
    std::printf("  verified %zu (%.1f replays/s); latency p50 %.0f ms, p99 %.0f ms, max %.0f ms\n",
                run.Accepted.size(), static_cast<double>(run.Accepted.size()) / run.Seconds,
                Percentile(run.LatenciesMs, 0.5), Percentile(run.LatenciesMs, 0.99),
                Percentile(run.LatenciesMs, 1.0));
    std::printf("  table holds %zu rows; answered OK but missing %d; wrong times %d%s\n",
                kept.size(), missing, run.Wrong, extra ? "; ROWS NOT ANSWERED OK" : "");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return missing == 0 && !extra && run.Wrong == 0 && run.Failed == 0;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string data = benchdata::UseGameDataOrExit(argc, argv, {"Data/data2.vil"});
    int submissions = 200;
    std::string service = VELKARO_SCORES_BIN;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--submissions") submissions = std::max(1, std::atoi(argv[i + 1]));
        if (a == "--service") service = argv[i + 1];
    }
    const TDailyRecording race = RecordDailyRace(*ParseDailyDate(kDay));
    if (!race.Finished) {
        std::fprintf(stderr, "velkaro-daily-load: the autopilot did not finish %s\n", kDay);
        return 2;
    }
    const std::string log = race.Log.Encode();
    std::printf("race of %s: %d frames, %d hundredths, log %zu bytes\n", kDay, race.Log.Frames(),
                race.RaceHundredths, log.size());
    const bool roomy = RunOnce(service, data, submissions, submissions, log, race.RaceHundredths);
    const bool bounded = RunOnce(service, data, submissions, 8, log, race.RaceHundredths);
    std::printf("%s\n", roomy && bounded ? "every answered result held" : "FAILED");
    return roomy && bounded ? 0 : 1;
}
