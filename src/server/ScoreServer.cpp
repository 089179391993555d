#include "server/ScoreServer.h"

#include <httplib.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "server/DailyPages.h"
#include "server/DailyRequest.h"
#include "server/HomePage.h"
#include "server/PageLook.h"
#include "server/ScorePages.h"
#include "server/WorkerPool.h"
#include "world/GameTables.h"

namespace {

constexpr const char* kTextType = "text/plain; charset=utf-8";
constexpr const char* kHtmlType = "text/html; charset=utf-8";
// A submission with the longest key log the daily service takes must fit in a body.
static_assert(kMaxDailyBodyBytes >= TDailyLimits{}.MaxLogBytes + 1024);
// Days listed under a daily table.
constexpr int64_t kRecentDays = 30;
// How long a worker added for a busy moment waits for more work before it leaves.
constexpr std::chrono::seconds kSpareWorkerLinger{10};

double MonotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Log lines hold what clients sent: control characters become "?" so that a request cannot
// forge a line, and very long targets are cut.
std::string Printable(const std::string& text, size_t limit) {
    std::string out;
    for (char c : text.substr(0, limit)) {
        const auto u = static_cast<unsigned char>(c);
        out.push_back(u < 0x20 || u == 0x7F ? '?' : c);
    }
    if (text.size() > limit) out += "...";
    return out;
}

void Refuse(httplib::Response& res, int status, const std::string& reason) {
    res.status = status;
    res.set_content("ERR|" + reason + "|", kTextType);
}

int StatusOf(TSubmitStatus status) {
    switch (status) {
        case TSubmitStatus::Stored:
            return 200;
        case TSubmitStatus::Failed:
            return 500;
        default:
            return 400;
    }
}

// The car type's name as the game's menus show it.
std::string CarName(int32_t car) {
    FillCarTable();
    return car >= 0 && car < static_cast<int32_t>(Cars.size()) ? Cars[static_cast<size_t>(car)].Name
                                                               : std::string();
}

// The connection whose request this thread is serving, so that the access log can leave out
// the reply cpp-httplib made up for a request that ran out of time (the 408 is logged instead).
thread_local TDeadlineStream* ServedStream = nullptr;

}  // namespace

class TScoreServer::THttpServer final : public httplib::Server {
public:
    explicit THttpServer(TScoreServer& owner) : Owner(owner) {}
    // cpp-httplib listens with a backlog of 5, fixed when the library was built; a burst of new
    // connections then overflows it and clients wait a second for their SYN to be resent. Linux
    // takes a second listen() on a listening socket as a new backlog.
    void WidenBacklog(int backlog) { ::listen(svr_sock_, backlog); }

private:
    // Replaces cpp-httplib's own connection loop, whose read time-out starts again with every
    // byte a client sends and which waits out a kept-alive connection even when stopping.
    bool process_and_close_socket(socket_t sock) override {
        const TServerLimits& limits = Owner.Limits;
        TDeadlineStream stream(sock, Owner.Stopping, limits.ReplyLimit);
        const std::string address = stream.RemoteIp();
        const std::string key = ClientKey(address);
        const size_t most =
            Owner.Clients.IsTrustedProxy(address) ? SIZE_MAX : limits.MaxConnectionsPerClient;
        bool served = false;
        // A client replacing a kept-alive connection the service has just closed may connect
        // again before the old connection has left the count (its reply is sent, its log line
        // not yet written): a wait of up to a second lets it, even on a busy machine. Excess
        // connections still get their 503 within that second.
        bool admitted = Owner.Connections.Enter(key, most);
        for (int wait = 0; wait < 20 && !admitted && !Owner.Stopping; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            admitted = Owner.Connections.Enter(key, most);
        }
        if (!admitted) {
            stream.SendAll(TooManyConnectionsReply());
            stream.Drain(std::chrono::milliseconds(250));
            Owner.LogRequest(address, "-", "-", 503, " too-many-connections");
        } else {
            ServedStream = &stream;
            const auto idle = std::chrono::seconds(limits.KeepAliveSeconds);
            for (size_t left = limits.KeepAliveRequests; left > 0 && !Owner.Stopping; --left) {
                if (!stream.WaitForRequest(idle)) break;
                stream.StartRequest(TDeadlineStream::TClock::now() + limits.RequestDeadline);
                bool closed = false;
                served = process_request(stream, left == 1 || Owner.Stopping, closed, nullptr);
                if (stream.Expired()) {
                    stream.SendTimeoutReply();
                    Owner.LogRequest(address, "-", "-", 408, " request-deadline");
                    break;
                }
                if (!served || closed) break;
                if (stream.ClosesAfterReply()) {
                    stream.Drain(std::chrono::milliseconds(250));
                    break;
                }
            }
            ServedStream = nullptr;
            Owner.Connections.Leave(key);
        }
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return served;
    }

    TScoreServer& Owner;
};

TScoreServer::TScoreServer(TScoreService& service, TServerLimits limits, TLog log,
                           TDailyService* daily)
    : Service(service),
      Daily(daily),
      Limits(limits),
      Log(std::move(log)),
      Limiter(limits.RatePerSecond, limits.RateBurst),
      Clients(limits.TrustedProxies),
      Http(std::make_unique<THttpServer>(*this)) {
    Http->new_task_queue = [limits] {
        return new TWorkerPool(limits.Threads, limits.MaxThreads, kSpareWorkerLinger);
    };
    // cpp-httplib writes a reply's head and body apart. With Nagle's algorithm the body then
    // waits for the ACK of the head, which a client delays by some 40 ms on a reused
    // connection. Accepted sockets take the option from the listening one.
    Http->set_tcp_nodelay(true);
    // The largest body any route takes: a daily submission (RouteDaily reads it itself).
    Http->set_payload_max_length(kMaxDailyBodyBytes);
    Route();
}

TScoreServer::~TScoreServer() = default;

void TScoreServer::Route() {
    Http->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (req.target.size() > Limits.MaxUrlLength) {
            Refuse(res, 414, "too-long");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (!Limiter.Allow(ClientKey(ClientOf(req)), MonotonicSeconds())) {
            res.set_header("Retry-After", "1");
            if (req.path == "/daily/submit") {
                res.status = 429;
                res.set_content("REFUSED Too many submissions at once; please wait a moment.",
                                kTextType);
            } else {
                Refuse(res, 429, "busy");
            }
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    Http->Get("/cgi/version.pl", [this](const httplib::Request& req, httplib::Response& res) {
        const bool version = req.has_param("version"), score = req.has_param("hs");
        if (req.get_param_value("prg") != "Velkaro" || version == score) {
            Refuse(res, 400, "bad-query");
            return;
        }
        if (version) {
            const std::string reply = Service.VersionReply();
            if (reply.empty()) {
                Refuse(res, 500, "no-token");
                return;
            }
            res.set_content(reply, kTextType);
            return;
        }
        if (req.get_param_value_count("inf") != 1) {
            Refuse(res, 400, "bad-query");
            return;
        }
        const TSubmitResult result = Service.Submit(req.get_param_value("inf"));
        if (result.Status != TSubmitStatus::Stored) {
            Refuse(res, StatusOf(result.Status), result.Reason);
            return;
        }
        res.set_content("OK|" + result.Reason + "|", kTextType);
    });

    Http->Get("/scores.json", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(ScoresJson(Service.Store().TopScores(kTableSize)), "application/json");
    });

    RouteDaily();
    RoutePages();

    Http->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        if (ServedStream != nullptr && ServedStream->Expired()) return;
        // Refusals carry their reason in the body ("ERR|bad-name|"); it belongs in the log.
        const std::string reason = res.status >= 400 ? " " + res.body : std::string();
        LogRequest(ClientOf(req), req.method, req.target, res.status, reason);
    });
}

void TScoreServer::RouteDaily() {
    // The body is read here rather than by cpp-httplib, whose own limit on form bodies (8 KiB,
    // fixed when the library was built) would refuse a long race with an empty 413 whatever
    // this service allows.
    Http->Post("/daily/submit", [this](const httplib::Request& req, httplib::Response& res,
                                       const httplib::ContentReader& read) {
        const auto refuse = [&](int status, const std::string& text) {
            res.status = status;
            res.set_content("REFUSED " + text, kTextType);
        };
        const auto closeAfter = [&] {
            res.set_header("Connection", "close");
            if (ServedStream != nullptr) ServedStream->CloseAfterReply();
        };
        const std::string tooLarge = "The race is too large to send: the service takes at most " +
                                     std::to_string(kMaxDailyBodyBytes) + " bytes.";
        if (Daily == nullptr) {
            closeAfter();
            res.status = 503;
            res.set_content("REFUSED The daily race is not checked on this service.", kTextType);
            return;
        }
        const std::string declared = req.get_header_value("Content-Length");
        if (declared.size() > 12 || (!declared.empty() && std::strtoull(declared.c_str(), nullptr,
                                                                        10) > kMaxDailyBodyBytes)) {
            closeAfter();
            refuse(413, tooLarge);
            return;
        }
        std::string body;
        bool over = false;
        const bool whole = read([&](const char* data, size_t size) {
            over = over || body.size() + size > kMaxDailyBodyBytes;
            if (!over) body.append(data, size);
            return !over;
        });
        if (!whole || over) {
            closeAfter();
            refuse(over ? 413 : 400, over ? tooLarge : "The race did not arrive whole.");
            return;
        }
        const TDailyAnswer answer = Daily->Submit(body);
        res.status = answer.Status;
        res.set_content(answer.Text, kTextType);
    });
    const auto page = [this](const std::string& date, const httplib::Request& req,
                             httplib::Response& res) {
        const std::optional<TDailyPlan> day = ParseDailyDate(date);
        if (!day) {
            Refuse(res, 404, "no-such-day");
            return;
        }
        // Times arrive for today and, from players near midnight, for yesterday; an older
        // day's page no longer changes.
        const bool settled = DailyDayNumber(*day) + 1 < DailyDayNumber(Today());
        res.set_header("Cache-Control", settled ? "public, max-age=86400" : "no-cache");
        res.set_content(DailyHtml(DailyViewFor(*day, req.get_param_value("name"), kTableSize)),
                        kHtmlType);
    };
    Http->Get("/daily", [this, page](const httplib::Request& req, httplib::Response& res) {
        page(DailyDateText(Today()), req, res);
    });
    Http->Get(R"(/daily/(\d{4}-\d{2}-\d{2}))",
              [page](const httplib::Request& req, httplib::Response& res) {
                  page(req.matches[1].str(), req, res);
              });
    Http->Get(R"(/daily/(\d{4}-\d{2}-\d{2})\.json)",
              [this](const httplib::Request& req, httplib::Response& res) {
                  const std::string date = req.matches[1].str();
                  if (!ParseDailyDate(date)) {
                      Refuse(res, 404, "no-such-day");
                      return;
                  }
                  std::vector<TDailyRow> rows;
                  std::optional<TDailyRow> own;
                  if (Daily != nullptr) {
                      rows = Daily->Store().DailyTop(date, kTableSize);
                      const std::string name = req.get_param_value("name");
                      if (!name.empty()) own = Daily->Store().DailyEntry(date, name);
                  }
                  res.set_content(DailyJson(date, rows, own), "application/json");
              });
    // The day's fastest verified race with its key log, for the game to race against as a
    // ghost. The store keeps no log longer than kMaxStoredDailyLogBytes, so the reply is
    // bounded. A day still open may get a new leader at any moment: a minute's cache at most.
    Http->Get(R"(/daily/(\d{4}-\d{2}-\d{2})/leader)", [this](const httplib::Request& req,
                                                             httplib::Response& res) {
        const std::string date = req.matches[1].str();
        const std::optional<TDailyPlan> day = ParseDailyDate(date);
        const std::optional<TStoredDailyRun> leader =
            day && Daily != nullptr ? Daily->Store().DailyLeader(date) : std::nullopt;
        const bool settled = day && DailyDayNumber(*day) + 1 < DailyDayNumber(Today());
        if (!leader || leader->Log.size() > kMaxStoredDailyLogBytes) {
            res.status = 404;
            res.set_header("Cache-Control", "no-cache");
            res.set_content(day ? "{\"error\":\"no-leader\"}" : "{\"error\":\"no-such-day\"}",
                            "application/json");
            return;
        }
        res.set_header("Cache-Control", settled ? "public, max-age=86400" : "public, max-age=60");
        res.set_content(DailyLeaderJson(date, *leader), "application/json");
    });
}

void TScoreServer::RoutePages() {
    Http->Get("/", [this](const httplib::Request& req, httplib::Response& res) {
        std::vector<TScoreRow> world = Service.Store().TopScores(kHomeTableSize);
        TDailyView today = DailyViewFor(Today(), req.get_param_value("name"), kHomeTableSize);
        res.set_header("Cache-Control", "no-cache");
        res.set_content(HomeHtml(today, world), kHtmlType);
    });
    Http->Get("/scores", [this](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "no-cache");
        res.set_content(ScoresHtml(Service.Store().TopScores(kTableSize)), kHtmlType);
    });
    Http->Get("/style.css", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "public, max-age=3600");
        res.set_content(std::string(PageStyleSheet()), "text/css; charset=utf-8");
    });
    // Browsers take a PNG at /favicon.ico.
    for (const char* path : {"/icon.png", "/favicon.ico"}) {
        Http->Get(path, [this](const httplib::Request&, httplib::Response& res) {
            if (IconPng.empty()) {
                Refuse(res, 404, "no-icon");
                return;
            }
            res.set_header("Cache-Control", "public, max-age=86400");
            res.set_content(IconPng, "image/png");
        });
    }
    Http->Get("/font.woff", [this](const httplib::Request&, httplib::Response& res) {
        if (FontWoff.empty()) {
            Refuse(res, 404, "no-font");
            return;
        }
        res.set_header("Cache-Control", "public, max-age=86400");
        // Fonts are fetched with CORS: a copy of a page saved elsewhere may use it too.
        res.set_header("Access-Control-Allow-Origin", "*");
        res.set_content(FontWoff, "font/woff");
    });
}

TDailyPlan TScoreServer::Today() const {
    return Daily != nullptr ? Daily->Today() : DailyPlanForUnixTime(Service.Now());
}

TDailyView TScoreServer::DailyViewFor(const TDailyPlan& day, const std::string& ownName,
                                      size_t limit) {
    TDailyView view;
    view.Date = DailyDateText(day);
    view.OwnName = ownName;
    view.Car = CarName(day.Car);
    const int64_t number = DailyDayNumber(day), today = DailyDayNumber(Today());
    const auto dateOf = [](int64_t dayNumber) {
        return DailyDateText(DailyPlanForUnixTime(dayNumber * 86400));
    };
    if (number > 0) view.Previous = dateOf(number - 1);
    if (number < today) view.Next = dateOf(number + 1);
    if (Daily == nullptr) return view;
    view.Rows = Daily->Store().DailyTop(view.Date, limit);
    for (int64_t n = number; n > number - kRecentDays && n >= 0; --n) {
        const std::string date = dateOf(n);
        const std::vector<TDailyRow> best = Daily->Store().DailyTop(date, 1);
        view.Recent.emplace_back(
            date, best.empty() ? std::nullopt : std::optional<TDailyRow>(best.front()));
    }
    return view;
}

std::string TScoreServer::ClientOf(const httplib::Request& req) const {
    std::vector<std::string> forwarded;
    const size_t count = req.get_header_value_count("X-Forwarded-For");
    for (size_t i = 0; i < count; ++i)
        forwarded.push_back(req.get_header_value("X-Forwarded-For", i));
    return Clients.ClientOf(req.remote_addr, forwarded);
}

void TScoreServer::LogRequest(const std::string& address, const std::string& method,
                              const std::string& target, int status, const std::string& reason) {
    if (!Log) return;
    Log(UtcTimeText(SystemUnixSeconds()) + " " + Printable(address, 64) + " " +
        Printable(method, 16) + " " + Printable(target, 300) + " " + std::to_string(status) +
        Printable(reason, 40));
}

bool TScoreServer::Bind(const std::string& host, int port) {
    if (port == 0) {
        BoundPort = Http->bind_to_any_port(host);
    } else if (Http->bind_to_port(host, port)) {
        BoundPort = port;
    }
    if (BoundPort <= 0) return false;
    Http->WidenBacklog(128);
    return true;
}

bool TScoreServer::Run() {
    return Http->listen_after_bind();
}

bool TScoreServer::Running() const {
    return Http->is_running();
}

void TScoreServer::Stop() {
    if (!Http->is_running()) return;
    Stopping = true;
    Http->stop();
}
