// The score service's HTTP face: routes, request bounds and the access log, over cpp-httplib.
//   GET /cgi/version.pl?version&prg=Velkaro        a token in the version reply
//   GET /cgi/version.pl?hs&prg=Velkaro&inf=...      a score submission
//   GET /                                           today's daily race and the world top 10
//   GET /scores  and  GET /scores.json              the best 100 scores
//   GET /style.css, /icon.png, /favicon.ico         what the pages share
//   POST /daily/submit                              a daily race's time and key log
//   GET /daily, /daily/YYYY-MM-DD[.json]            the day's best 100 times
// Every request is bounded: the URL length, the rate per client address, the body size, the
// time its head and body may take to arrive and the time a connection may sit idle; so are the
// connections open at once per client address.
#pragma once

#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "server/ClientAddress.h"
#include "server/Connection.h"
#include "server/DailyPages.h"
#include "server/DailyService.h"
#include "server/RateLimiter.h"
#include "server/ScoreService.h"

namespace httplib {
class Server;
}

struct TServerLimits {
    size_t MaxUrlLength = 2048;
    // Per client address: the game makes two requests per submission, a page view one.
    double RatePerSecond = 5;
    double RateBurst = 20;
    // Workers kept ready, and the most connections served at once: a kept-alive connection
    // holds its worker until it has been idle KeepAliveSeconds. Connections past MaxThreads
    // wait their turn.
    size_t Threads = 16;
    size_t MaxThreads = 128;
    time_t KeepAliveSeconds = 2;
    // Answers on one connection before the service closes it, so that under a load of busy
    // kept-alive clients the waiting connections get their turn.
    size_t KeepAliveRequests = 100;
    // Connections open at once from one client address; one more is answered 503 at once.
    size_t MaxConnectionsPerClient = 8;
    // A request's head and body must arrive whole within this, however the client spreads
    // them out (408 when they do not); a reply must be taken within ReplySeconds.
    std::chrono::milliseconds RequestDeadline{10'000};
    std::chrono::milliseconds ReplyLimit{5'000};
    // Reverse proxies whose X-Forwarded-For is believed (ClientAddress.h); their own
    // connections are not limited per address, as each carries many clients.
    std::vector<TIpNetwork> TrustedProxies;
};

class TScoreServer {
public:
    using TLog = std::function<void(const std::string&)>;

    // daily may be null: the daily paths then answer that the service does not check races.
    TScoreServer(TScoreService& service, TServerLimits limits, TLog log,
                 TDailyService* daily = nullptr);
    ~TScoreServer();
    TScoreServer(const TScoreServer&) = delete;
    TScoreServer& operator=(const TScoreServer&) = delete;

    // Binds host:port (port 0 picks a free one). False when the address cannot be bound.
    bool Bind(const std::string& host, int port);
    int Port() const { return BoundPort; }
    // Serves until Stop; returns false if the server could not run.
    bool Run();
    // Whether Run is accepting connections (Stop before that has no effect).
    bool Running() const;
    // Safe from any thread; Run returns once the requests in progress are answered, and waits
    // for no client: a connection between requests, or one still sending a request, is closed
    // within a fraction of a second.
    void Stop();
    // The PNG the pages show as the game's icon; without one /icon.png answers 404. Call
    // before Run.
    void SetIcon(std::string png) { IconPng = std::move(png); }
    // The game's typeface (WOFF) for the pages' headings; without one /font.woff answers 404
    // and the pages use the system's. Call before Run.
    void SetFont(std::string woff) { FontWoff = std::move(woff); }

private:
    // cpp-httplib's server with the connections served under this server's bounds.
    class THttpServer;
    void Route();
    void RouteDaily();
    void RoutePages();
    // The date the daily race is in now.
    TDailyPlan Today() const;
    // A daily page's content: the best `limit` rows, neighbours and the last 30 days.
    TDailyView DailyViewFor(const TDailyPlan& day, const std::string& ownName, size_t limit);
    // The client a request comes from (through trusted proxies) and the key it is counted by.
    std::string ClientOf(const httplib::Request& req) const;
    void LogRequest(const std::string& address, const std::string& method,
                    const std::string& target, int status, const std::string& reason);

    TScoreService& Service;
    TDailyService* Daily;
    TServerLimits Limits;
    TLog Log;
    TRateLimiter Limiter;
    TClientAddresses Clients;
    TConnectionCounter Connections;
    std::atomic<bool> Stopping{false};
    std::unique_ptr<THttpServer> Http;
    int BoundPort = 0;
    std::string IconPng;
    std::string FontWoff;
};
