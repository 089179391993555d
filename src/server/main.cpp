// velkaro-scores: the world high-score service. Serves until SIGTERM or SIGINT, then answers
// the requests in progress, closes the database and exits 0.
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "server/ScoreServer.h"
#include "server/ScoreService.h"
#include "server/ServiceOptions.h"
#include "server/PostgresStore.h"
#include "server/SqliteScoreStore.h"
#include "world/DailyChallenge.h"

namespace {

std::mutex LogLock;

void LogLine(const std::string& line) {
    std::lock_guard<std::mutex> guard(LogLock);
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

// The signals are blocked in every thread and taken here one at a time, so stopping runs as
// ordinary code rather than inside a signal handler. SIGUSR1 is the service's own wake-up
// when it ends for another reason.
void WaitForStop(const sigset_t& signals, TScoreServer& server, const std::atomic<bool>& done) {
    int signal = 0;
    sigwait(&signals, &signal);
    if (signal != SIGUSR1) LogLine("stopping on signal " + std::to_string(signal));
    // The server may not be listening yet: keep asking until Run has returned.
    while (!done) {
        server.Stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The icon the build draws: beside the game folder in a build tree (build/icons), or in the
// icon theme next to the installed data (share/velkaro -> share/icons/hicolor). Empty when
// neither is there: the pages then show no icon.
std::string FindIcon(const std::string& dataDir) {
    if (dataDir.empty()) return {};
    std::filesystem::path data(dataDir);
    if (!data.has_filename()) data = data.parent_path();  // "game/" names the folder too
    const std::filesystem::path parent = data.parent_path();
    for (const std::filesystem::path& path :
         {parent / "icons" / "velkaro-64.png", parent / "icons/hicolor/64x64/apps/velkaro.png"}) {
        std::string png = ReadWhole(path);
        if (!png.empty()) return png;
    }
    return {};
}

// The typeface the game draws its headings with, from the game's data folder; empty when the
// build had none.
std::string FindFont(const std::string& dataDir) {
    if (dataDir.empty()) return {};
    return ReadWhole(std::filesystem::path(dataDir) / "Fonts" / "michroma-latin-400-normal.woff");
}

}  // namespace

int main(int argc, char** argv) {
    const TServiceOptions options =
        ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.Help) {
        std::fputs(ServiceUsage().c_str(), stdout);
        return 0;
    }
    if (!options.Error.empty()) {
        std::fprintf(stderr, "velkaro-scores: %s\n\n%s", options.Error.c_str(),
                     ServiceUsage().c_str());
        return 2;
    }

    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGTERM, SIGINT, SIGUSR1}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A client that hangs up mid-reply must not kill the service.
    ::signal(SIGPIPE, SIG_IGN);

    const std::string dbPath = options.DbPath.empty() ? DefaultDbPath() : options.DbPath;
    std::shared_ptr<void> storeOwner;
    TScoreStore* store = nullptr;
    TDailyStore* dailyStore = nullptr;
    std::string storeError;
    if (IsPostgresUri(dbPath)) {
#ifdef VELKARO_HAVE_POSTGRES
        auto pg = std::make_shared<TPostgresStore>(dbPath, options.DbConnections);
        if (pg->Ok()) {
            store = pg.get();
            dailyStore = pg.get();
        }
        storeError = pg->Error();
        storeOwner = pg;
#else
        storeError = "this build has no PostgreSQL support (libpq was not found)";
#endif
    } else {
        std::error_code ec;
        const auto folder = std::filesystem::path(dbPath).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, ec);
        auto sqlite = std::make_shared<TSqliteScoreStore>(dbPath);
        if (sqlite->Ok()) {
            store = sqlite.get();
            dailyStore = sqlite.get();
        }
        storeError = sqlite->Error();
        storeOwner = sqlite;
    }
    if (store == nullptr) {
        std::fprintf(stderr, "velkaro-scores: cannot use the database %s (%s)\n",
                     DbForLog(dbPath).c_str(), storeError.c_str());
        return 1;
    }

    TScoreService service(*store, TServiceConfig{options.Motd}, SystemUnixSeconds,
                          SystemRandomToken);
    TServerLimits limits;
    limits.RatePerSecond = options.RatePerSecond;
    limits.RateBurst = options.RatePerSecond * 4;
    limits.MaxConnectionsPerClient = options.MaxConnections;
    for (const std::string& proxy : options.TrustedProxies)
        limits.TrustedProxies.push_back(*ParseIpNetwork(proxy));
    if (!options.TrustedProxies.empty())
        LogLine("clients are named by X-Forwarded-For from " +
                std::to_string(options.TrustedProxies.size()) + " trusted proxy address(es)");
    TDailyLimits dailyLimits;
    dailyLimits.MaxPending = options.MaxReplays;
    dailyLimits.Workers = std::max(1u, std::thread::hardware_concurrency());
    // --today moves the daily race's clock by whole days, so times keep their order.
    int64_t dayShift = 0;
    if (const auto today = ParseDailyDate(options.Today))
        dayShift =
            (DailyDayNumber(*today) - DailyDayNumber(DailyPlanForUnixTime(SystemUnixSeconds()))) *
            86400;
    TDailyService daily(
        *dailyStore, options.DataDir, [dayShift] { return SystemUnixSeconds() + dayShift; },
        LogLine, dailyLimits);
    if (options.DataDir.empty()) LogLine("no --data folder: daily submissions are refused");
    TScoreServer server(service, limits, LogLine, &daily);
    server.SetIcon(FindIcon(options.DataDir));
    server.SetFont(FindFont(options.DataDir));
    if (!server.Bind(options.Bind, options.Port)) {
        std::fprintf(stderr, "velkaro-scores: cannot listen on %s port %d\n", options.Bind.c_str(),
                     options.Port);
        return 1;
    }
    LogLine("velkaro-scores listening on http://" + options.Bind + ":" +
            std::to_string(server.Port()) + "/ (database " + DbForLog(dbPath) + ")");

    std::atomic<bool> done{false};
    std::thread stopper(WaitForStop, std::cref(signals), std::ref(server), std::cref(done));
    const bool ran = server.Run();
    done = true;
    pthread_kill(stopper.native_handle(), SIGUSR1);
    stopper.join();
    LogLine(ran ? "velkaro-scores stopped" : "velkaro-scores failed while listening");
    return ran ? 0 : 1;
}
