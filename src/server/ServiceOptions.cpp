#include "server/ServiceOptions.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "server/ClientAddress.h"
#include "world/DailyChallenge.h"

namespace {

std::optional<long> ParseNumber(const std::string& text, long low, long high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

TServiceOptions ParseServiceOptions(const std::vector<std::string>& args) {
    TServiceOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
            continue;
        }
        const bool takesValue = a == "--port" || a == "--bind" || a == "--db" || a == "--motd" ||
                                a == "--rate" || a == "--data" || a == "--replays" ||
                                a == "--conns" || a == "--db-connections" ||
                                a == "--trusted-proxy" || a == "--today";
        if (!takesValue) {
            o.Error = "unknown option " + a;
            return o;
        }
        if (i + 1 >= args.size()) {
            o.Error = a + " needs a value";
            return o;
        }
        const std::string& v = args[++i];
        if (a == "--port") {
            const auto port = ParseNumber(v, 0, 65535);
            if (!port) {
                o.Error = "--port takes a number from 0 to 65535";
                return o;
            }
            o.Port = static_cast<int>(*port);
        } else if (a == "--rate") {
            const auto rate = ParseNumber(v, 0, 1'000'000);
            if (!rate) {
                o.Error = "--rate takes a whole number of requests per second (0: no limit)";
                return o;
            }
            o.RatePerSecond = static_cast<double>(*rate);
        } else if (a == "--replays") {
            const auto replays = ParseNumber(v, 1, 1000);
            if (!replays) {
                o.Error = "--replays takes a number from 1 to 1000";
                return o;
            }
            o.MaxReplays = static_cast<size_t>(*replays);
        } else if (a == "--conns") {
            const auto conns = ParseNumber(v, 1, 100000);
            if (!conns) {
                o.Error = "--conns takes a number from 1 to 100000";
                return o;
            }
            o.MaxConnections = static_cast<size_t>(*conns);
        } else if (a == "--db-connections") {
            const auto conns = ParseNumber(v, 1, 1000);
            if (!conns) {
                o.Error = "--db-connections takes a number from 1 to 1000";
                return o;
            }
            o.DbConnections = static_cast<size_t>(*conns);
        } else if (a == "--trusted-proxy") {
            // Several may be given, each on its own or separated by commas.
            size_t start = 0;
            while (start <= v.size()) {
                const size_t comma = std::min(v.find(',', start), v.size());
                const std::string one = v.substr(start, comma - start);
                if (!ParseIpNetwork(one)) {
                    o.Error =
                        "--trusted-proxy takes addresses or networks (10.0.0.1, "
                        "10.0.0.0/8, 2001:db8::/32), not \"" +
                        one + "\"";
                    return o;
                }
                o.TrustedProxies.push_back(one);
                start = comma + 1;
            }
        } else if (v.empty()) {
            o.Error = a + " needs a value";
            return o;
        } else if (a == "--bind") {
            o.Bind = v;
        } else if (a == "--db") {
            o.DbPath = v;
        } else if (a == "--data") {
            o.DataDir = v;
        } else if (a == "--today") {
            if (!ParseDailyDate(v)) {
                o.Error = "--today takes a date YYYY-MM-DD";
                return o;
            }
            o.Today = v;
        } else {
            o.Motd = v;
        }
    }
    return o;
}

std::string ServiceUsage() {
    return "Usage: velkaro-scores [options]\n"
           "The Velkaro world high-score service.\n"
           "\n"
           "  --port N      port to listen on (default 8470; 0 picks a free one)\n"
           "  --bind ADDR   address to listen on (default 127.0.0.1)\n"
           "  --db FILE|URI SQLite database file (default " +
           DefaultDbPath() +
           "), or a PostgreSQL\n"
           "                database as postgresql://USER@HOST/DBNAME (several processes may\n"
           "                share one)\n"
           "  --db-connections N  PostgreSQL connections per process (default 8)\n"
           "  --motd TEXT   message of the day sent with every version reply\n"
           "  --rate N      requests per second allowed per client address, bursts of four\n"
           "                times that (default 5; 0 turns the limit off)\n"
           "  --data DIR    the game's folder (with Data/data2.vil) daily races are replayed\n"
           "                with; without it daily submissions are refused\n"
           "  --replays N   daily replays waiting or running at once (default 8)\n"
           "  --conns N     connections open at once per client address (default 8); one\n"
           "                more is answered 503 at once\n"
           "  --trusted-proxy ADDR[,ADDR...]\n"
           "                reverse proxies (addresses or networks such as 10.0.0.0/8) whose\n"
           "                X-Forwarded-For names the client: the right-most address there that\n"
           "                is not a trusted proxy is limited and logged; may be repeated.\n"
           "                IPv6 clients are counted by their /64\n"
           "  --today DATE  the date (YYYY-MM-DD) the daily race takes as today, for tests\n"
           "  --help        this text\n"
           "\n"
           "Endpoints: GET /cgi/version.pl?version&prg=Velkaro, GET /cgi/version.pl?hs&prg=\n"
           "Velkaro&inf=..., GET / (HTML table of the best 100), GET /scores.json,\n"
           "POST /daily/submit, GET /daily, GET /daily/YYYY-MM-DD[.json].\n"
           "One log line per request goes to standard output. SIGTERM or SIGINT stops the\n"
           "service within two seconds: the requests in progress are answered, and clients\n"
           "that are idle or still sending are not waited for.\n";
}

bool IsPostgresUri(const std::string& db) {
    return db.rfind("postgresql://", 0) == 0 || db.rfind("postgres://", 0) == 0;
}

std::string DbForLog(const std::string& db) {
    if (!IsPostgresUri(db)) return db;
    std::string out = db;
    const size_t start = out.find("://") + 3;
    const size_t at = out.find('@', start), colon = out.find(':', start);
    if (at != std::string::npos && colon < at) out.replace(colon + 1, at - colon - 1, "***");
    for (size_t key = out.find("password="); key != std::string::npos;
         key = out.find("password=", key + 1)) {
        const size_t value = key + 9;
        out.replace(value, std::min(out.find('&', value), out.size()) - value, "***");
    }
    return out;
}

std::string DefaultDbPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/velkaro/scores.db";
    const char* home = std::getenv("HOME");
    const std::string base = home != nullptr && home[0] != '\0' ? home : ".";
    return base + "/.local/share/velkaro/scores.db";
}
