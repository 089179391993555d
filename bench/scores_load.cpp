// Load test of velkaro-scores on loopback: client threads each send version + submission
// pairs through the game's own HTTP client (a new session per pair, as the game does), then
// every accepted score is looked for in the database. A second run kills the service with
// SIGKILL halfway and checks that no answered score was lost.
//   velkaro-scores-load [--threads 8] [--pairs 1000] [--service PATH]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/ScoreText.h"
#include "harness/ServiceProcess.h"
#include "server/SqliteScoreStore.h"
#include "shell/HttpClient.h"
#include "shell/Online.h"

namespace {

using TClockType = std::chrono::steady_clock;

struct TRunResult {
    std::vector<double> LatenciesMs;  // every request that got an answer
    std::set<std::string> Accepted;   // names whose submission was answered "stored"
    int Refused = 0, Failed = 0;
    double Seconds = 0;
};

// One client thread: pairs of version request and submission with a unique name each.
void Client(const std::string& base, int thread, int pairs, std::atomic<int>& stored,
            std::atomic<bool>& stop, TRunResult& out, std::mutex& lock) {
    auto http = MakeCurlHttpClient();
    const std::string script = base + "/cgi/version.pl?";
    std::vector<double> latencies;
    std::vector<std::string> accepted;
    int refused = 0, failed = 0;
    for (int i = 0; i < pairs && !stop; ++i) {
        auto session = http->OpenSession({});
        const auto t0 = TClockType::now();
        const THttpReply version = session->Get(script + "version&prg=Velkaro");
        const auto t1 = TClockType::now();
        if (!version.Ok) {
            ++failed;
            continue;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        // Names are at most 12 characters: thread letter and pair number.
        // Appended, not added: GCC 12 at -O3 warns falsely (-Wrestrict) on the sum.
        std::string name(1, static_cast<char>('a' + thread));
        name += std::to_string(i);
        const std::string inf = EncodeScoreText(
            BuildScoreText(name, (i * 37 + thread) % 100000, VersionToken(version.Body), ""));
        const auto t2 = TClockType::now();
        const THttpReply submit = session->Get(script + "hs&prg=Velkaro&inf=" + inf);
        const auto t3 = TClockType::now();
        if (!submit.Ok && submit.Status == 0) {
            ++failed;
            continue;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count());
        if (submit.Body == "OK|stored|") {
            accepted.push_back(name);
            ++stored;
        } else {
            ++refused;
        }
    }
    std::lock_guard<std::mutex> guard(lock);
    out.LatenciesMs.insert(out.LatenciesMs.end(), latencies.begin(), latencies.end());
    out.Accepted.insert(accepted.begin(), accepted.end());
    out.Refused += refused;
    out.Failed += failed;
}

// Runs the clients; with killAt > 0, a watcher kills the service once that many scores have
// been stored.
TRunResult Run(TServiceProcess& service, int threads, int pairs, int killAt) {
    TRunResult result;
    std::mutex lock;
    std::atomic<int> stored{0};
    std::atomic<bool> stop{false};
    const auto start = TClockType::now();
    std::vector<std::thread> clients;
    for (int t = 0; t < threads; ++t) {
        clients.emplace_back(Client, service.BaseUrl(), t, pairs, std::ref(stored), std::ref(stop),
                             std::ref(result), std::ref(lock));
    }
    std::thread killer;
    if (killAt > 0) {
        killer = std::thread([&] {
            while (stored < killAt && !stop)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            service.Kill();
            stop = true;
        });
    }
    for (std::thread& c : clients) c.join();
    stop = true;
    if (killer.joinable()) killer.join();
    result.Seconds = std::chrono::duration<double>(TClockType::now() - start).count();
    return result;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t index =
        std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())));
    return values[index];
}

// How many accepted names the database lacks; also reports how many rows it holds.
size_t Missing(const std::string& dbPath, const std::set<std::string>& accepted, size_t& rows) {
    TSqliteScoreStore store(dbPath);
    const auto all = store.TopScores(10'000'000);
    rows = all.size();
    std::set<std::string> names;
    for (const TScoreRow& r : all) names.insert(r.Name);
    size_t missing = 0;
    for (const std::string& name : accepted) missing += names.count(name) == 0 ? 1 : 0;
    return missing;
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 8, pairs = 1000;
    std::string binary = VELKARO_SCORES_BIN;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--threads") threads = std::max(1, std::min(26, std::atoi(argv[i + 1])));
        if (a == "--pairs") pairs = std::max(1, std::atoi(argv[i + 1]));
        if (a == "--service") binary = argv[i + 1];
    }
    for (const char* name : {"http_proxy", "HTTP_PROXY", "ALL_PROXY", "all_proxy"}) unsetenv(name);
    std::random_device rd;
    const auto dir =
        std::filesystem::temp_directory_path() / ("velkaro-scores-load-" + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    int status = 0;

    // 1. Throughput and latency, then every accepted score looked up after a clean stop.
    {
        TServiceProcess service;
        const std::string db = (dir / "load.db").string();
        if (!service.Start(binary, db, (dir / "load.log").string(), {"--rate", "0"})) {
            std::fprintf(stderr, "velkaro-scores did not start (%s)\n", binary.c_str());
            return 1;
        }
        const TRunResult r = Run(service, threads, pairs, 0);
        const int stopped = service.Stop();
        size_t rows = 0;
        const size_t missing = Missing(db, r.Accepted, rows);
        std::printf("load: %d threads x %d pairs in %.2f s: %zu requests, %.0f requests/s\n",
                    threads, pairs, r.Seconds, r.LatenciesMs.size(),
                    static_cast<double>(r.LatenciesMs.size()) / r.Seconds);
        std::printf("latency: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                    Percentile(r.LatenciesMs, 0.50), Percentile(r.LatenciesMs, 0.99),
                    Percentile(r.LatenciesMs, 1.0));
        std::printf(
            "accepted %zu, refused %d, failed %d; database rows %zu, accepted missing %zu; "
            "service exit %d\n",
            r.Accepted.size(), r.Refused, r.Failed, rows, missing, stopped);
        if (missing != 0 || r.Refused != 0 || r.Failed != 0 || stopped != 0) status = 1;
    }

    // 2. The same load, with the service killed (SIGKILL) once half the scores are stored.
    {
        TServiceProcess service;
        const std::string db = (dir / "kill.db").string();
        if (!service.Start(binary, db, (dir / "kill.log").string(), {"--rate", "0"})) return 1;
        const TRunResult r = Run(service, threads, pairs, threads * pairs / 2);
        size_t rows = 0;
        const size_t missing = Missing(db, r.Accepted, rows);
        std::printf(
            "kill -9 after %d stored: answered %zu, database rows %zu, answered missing "
            "%zu\n",
            threads * pairs / 2, r.Accepted.size(), rows, missing);
        if (missing != 0) status = 1;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return status;
}
