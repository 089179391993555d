// Load test of the score service on more than one process: score submissions (a version
// request to one process, the submission to the other, as behind a load balancer) and daily
// race submissions (each a replay) in flight together for a while, on loopback. Run on one
// process over SQLite, then on two processes over one PostgreSQL database (a server of the
// program's own, syncing its commits), where one process is killed with SIGKILL halfway and the
// clients go on with the other. Reports requests per second and p50/p99 latencies, and checks
// that every score and daily time answered as stored is in the database afterwards.
//   velkaro-shared-load [--data DIR] [--seconds 12] [--score-clients 6] [--daily-clients 2]
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "GameData.h"
#include "common/ScoreText.h"
#include "common/Version.h"
#include "harness/DailyRecording.h"
#include "harness/ServiceProcess.h"
#include "server/PgTestServer.h"
#include "server/PostgresStore.h"
#include "server/SqliteScoreStore.h"

namespace {
using TClockType = std::chrono::steady_clock;
constexpr const char* kDay = "2026-12-08";

struct TLatencies {
    std::vector<double> Ms;
    double Percentile(double p) const {
        if (Ms.empty()) return 0;
        std::vector<double> sorted = Ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()))];
    }
};

struct TResults {
    std::mutex Lock;
    TLatencies Version, Submit, Daily;
    std::set<std::string> StoredScores, StoredDaily;
    int Unanswered = 0, Refused = 0;
};

struct TSetup {
    std::string Tag;  // names the services' log files
    std::string Name;
    std::string Db;
    int Processes = 1;
    bool KillOne = false;
};

double Ms(TClockType::time_point from) {
    return std::chrono::duration<double, std::milli>(TClockType::now() - from).count();
}

std::string TokenOf(const std::string& reply) {
    size_t start = 0;
    for (int i = 0; i < 4; ++i) start = reply.find('|', start) + 1;
    return reply.substr(start, reply.find('|', start) - start);
}

bool RunOnce(const TSetup& setup, const std::string& binary, const std::string& data,
             double seconds, int scoreClients, int dailyClients, const std::string& log,
             int32_t hundredths, const std::string& folder) {
    // Every client here comes from 127.0.0.1: the limit of connections per address is raised
    // so that a kept-alive connection being replaced is not refused as a ninth.
    std::vector<std::unique_ptr<TServiceProcess>> services;
    std::vector<int> ports;
    for (int i = 0; i < setup.Processes; ++i) {
        services.push_back(std::make_unique<TServiceProcess>());
        if (!services.back()->Start(
                binary, setup.Db, folder + "/" + setup.Tag + std::to_string(i) + ".log",
                {"--data", data, "--today", kDay, "--rate", "0", "--conns", "64"})) {
            std::fprintf(stderr, "%s: the service did not start\n", setup.Name.c_str());
            return false;
        }
        ports.push_back(services.back()->Port());
    }
    std::atomic<bool> stop{false};
    std::atomic<int> killed{-1};
    TResults results;
    // The process a request goes to: by turn, leaving out a killed one. Each client thread
    // keeps one kept-alive connection per process (new connections for every request would
    // use up the loopback's ports within a run).
    const auto indexFor = [&](int turn) {
        const int n = static_cast<int>(ports.size());
        int i = turn % n;
        if (i == killed.load()) i = (i + 1) % n;
        return static_cast<size_t>(i);
    };
    const auto connections = [&] {
        std::vector<std::unique_ptr<httplib::Client>> out;
        for (int port : ports) {
            out.push_back(std::make_unique<httplib::Client>("127.0.0.1", port));
            out.back()->set_keep_alive(true);
            out.back()->set_read_timeout(60, 0);
        }
        return out;
    };
    std::vector<std::thread> clients;
    for (int c = 0; c < scoreClients; ++c) {
        clients.emplace_back([&, c] {
            auto http = connections();
            for (int i = 0; !stop; ++i) {
                httplib::Client& first = *http[indexFor(c + i)];
                httplib::Client& second = *http[indexFor(c + i + 1)];
                auto t0 = TClockType::now();
                const auto version = first.Get("/cgi/version.pl?version&prg=Velkaro");
                if (!version || version->status != 200) {
                    std::lock_guard<std::mutex> hold(results.Lock);
                    if (!version && results.Unanswered == 0)
                        std::printf("  first unanswered version request: %s\n",
                                    httplib::to_string(version.error()).c_str());
                    ++(version ? results.Refused : results.Unanswered);
                    continue;
                }
                const double versionMs = Ms(t0);
                std::string name = "s";
                name += std::to_string(c);
                name += "-";
                name += std::to_string(i);
                const std::string inf = EncodeScoreText(
                    BuildScoreText(name, (i * 37 + c) % 100000, TokenOf(version->body), ""));
                t0 = TClockType::now();
                const auto stored =
                    second.Get(("/cgi/version.pl?hs&prg=Velkaro&inf=" + inf).c_str());
                const double submitMs = Ms(t0);
                std::lock_guard<std::mutex> hold(results.Lock);
                results.Version.Ms.push_back(versionMs);
                if (!stored) {
                    static std::atomic<bool> told{false};
                    if (!told.exchange(true))
                        std::printf("  first unanswered submission: %s (process %d)\n",
                                    httplib::to_string(stored.error()).c_str(),
                                    static_cast<int>(indexFor(c + i + 1)));
                    ++results.Unanswered;
                    continue;
                }
                results.Submit.Ms.push_back(submitMs);
                if (stored->status == 200 && stored->body.rfind("OK|", 0) == 0)
                    results.StoredScores.insert(name);
                else
                    ++results.Refused;
            }
        });
    }
    for (int c = 0; c < dailyClients; ++c) {
        clients.emplace_back([&, c] {
            auto http = connections();
            for (int i = 0; !stop; ++i) {
                httplib::Client& client = *http[indexFor(c + i)];
                std::string name = "d";
                name += std::to_string(c);
                name += "-";
                name += std::to_string(i);
                const std::string body =
                    "date=" + std::string(kDay) + "&version=" + kVelkaroVersion + "&name=" + name +
                    "&hundredths=" + std::to_string(hundredths) + "&log=" + log;
                const auto t0 = TClockType::now();
                const auto reply =
                    client.Post("/daily/submit", body, "application/x-www-form-urlencoded");
                const double ms = Ms(t0);
                std::lock_guard<std::mutex> hold(results.Lock);
                if (!reply) {
                    ++results.Unanswered;
                    continue;
                }
                results.Daily.Ms.push_back(ms);
                if (reply->status == 200 && reply->body.rfind("OK ", 0) == 0)
                    results.StoredDaily.insert(name);
                else
                    ++results.Refused;
            }
        });
    }
    const auto start = TClockType::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds / 2));
    if (setup.KillOne) {
        services[1]->Kill();
        killed = 1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds / 2));
    stop = true;
    for (std::thread& t : clients) t.join();
    const double elapsed = std::chrono::duration<double>(TClockType::now() - start).count();
    for (auto& s : services)
        if (s->Running()) s->Stop();

    // Everything answered as stored must be in the database.
    std::set<std::string> scoresThere, dailyThere;
    std::vector<TScoreRow> rows;
    std::vector<TDailyRow> daily;
    if (setup.Db.rfind("postgresql://", 0) == 0) {
        TPostgresStore store(setup.Db, 1);
        rows = store.TopScores(10'000'000);
        daily = store.DailyTop(kDay, 10'000'000);
    } else {
        TSqliteScoreStore store(setup.Db);
        rows = store.TopScores(10'000'000);
        daily = store.DailyTop(kDay, 10'000'000);
    }
    for (const TScoreRow& r : rows) scoresThere.insert(r.Name);
    for (const TDailyRow& r : daily) dailyThere.insert(r.Name);
    int lost = 0;
    for (const std::string& n : results.StoredScores) lost += scoresThere.count(n) ? 0 : 1;
    for (const std::string& n : results.StoredDaily) lost += dailyThere.count(n) ? 0 : 1;

    const size_t answered =
        results.Version.Ms.size() + results.Submit.Ms.size() + results.Daily.Ms.size();
    std::printf("%s\n", setup.Name.c_str());
    std::printf(
        "  %.1f s: %zu requests answered, %.0f per second; %zu scores and %zu daily "
        "times stored; %d refused, %d unanswered\n",
        elapsed, answered, static_cast<double>(answered) / elapsed, results.StoredScores.size(),
        results.StoredDaily.size(), results.Refused, results.Unanswered);
    std::printf("  score pairs %.0f per second, daily replays %.1f per second\n",
                static_cast<double>(results.Submit.Ms.size()) / elapsed,
                static_cast<double>(results.Daily.Ms.size()) / elapsed);
    const std::pair<const char*, const TLatencies*> kinds[] = {
        {"version", &results.Version}, {"submit", &results.Submit}, {"daily", &results.Daily}};
    for (const auto& [what, l] : kinds)
        std::printf("  %-8s p50 %7.2f ms  p99 %7.2f ms  (%zu)\n", what, l->Percentile(0.5),
                    l->Percentile(0.99), l->Ms.size());
    std::printf("  answered as stored but missing from the database: %d\n", lost);
    return lost == 0;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string data = benchdata::UseGameDataOrExit(argc, argv, {"Data/data2.vil"});
    double seconds = 12;
    int scoreClients = 6, dailyClients = 2;
    std::string binary = VELKARO_SCORES_BIN;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--seconds") seconds = std::clamp(std::atof(argv[i + 1]), 2.0, 600.0);
        if (a == "--score-clients") scoreClients = std::clamp(std::atoi(argv[i + 1]), 1, 64);
        if (a == "--daily-clients") dailyClients = std::clamp(std::atoi(argv[i + 1]), 0, 64);
        if (a == "--service") binary = argv[i + 1];
    }
    ::signal(SIGPIPE, SIG_IGN);
    const TDailyRecording race = RecordDailyRace(*ParseDailyDate(kDay));
    if (!race.Finished) {
        std::fprintf(stderr, "velkaro-shared-load: the autopilot did not finish %s\n", kDay);
        return 2;
    }
    const std::string log = race.Log.Encode();
    const std::string folder = (std::filesystem::temp_directory_path() /
                                ("velkaro-shared-load-" + std::to_string(getpid())))
                                   .string();
    std::filesystem::create_directories(folder);
    std::printf(
        "%d score clients and %d daily clients for %.0f s each run; race of %s: %d "
        "hundredths\n",
        scoreClients, dailyClients, seconds, kDay, race.RaceHundredths);
    bool ok = RunOnce({"sqlite", "one process, SQLite", folder + "/scores.db", 1, false}, binary,
                      data, seconds, scoreClients, dailyClients, log, race.RaceHundredths, folder);
    TPgTestServer& pg = TPgTestServer::GetDurable();
    const std::string db = pg.NewDatabase();
    if (db.empty()) {
        std::fprintf(stderr, "no PostgreSQL server: %s\n", pg.Why().c_str());
        ok = false;
    } else {
        ok = RunOnce({"postgresql", "two processes, PostgreSQL, one killed with SIGKILL halfway",
                      db, 2, true},
                     binary, data, seconds, scoreClients, dailyClients, log, race.RaceHundredths,
                     folder) &&
             ok;
    }
    std::error_code ec;
    if (ok)
        std::filesystem::remove_all(folder, ec);
    else
        std::printf("the services' logs are in %s\n", folder.c_str());
    std::printf("%s\n", ok ? "every answered result held" : "FAILED");
    return ok ? 0 : 1;
}
