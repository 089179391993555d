// The command line of velkaro-scores.
#pragma once

#include <string>
#include <vector>

struct TServiceOptions {
    std::string Bind = "127.0.0.1";
    int Port = 8470;  // 0: any free port (the first output line names it)
    // A SQLite file, or a PostgreSQL URI (postgresql://...); empty: scores.db in the user's
    // data folder.
    std::string DbPath;
    size_t DbConnections = 8;  // PostgreSQL connections per process
    std::string Motd = "Welcome to Velkaro";
    double RatePerSecond = 5;  // per client address; 0 turns the limit off
    // The game's data folder (holding Data/data2.vil) the daily races are replayed with;
    // empty: daily submissions are refused.
    std::string DataDir;
    size_t MaxReplays = 8;      // daily replays waiting or running at once
    size_t MaxConnections = 8;  // connections open at once per client address
    // Reverse proxies (addresses or networks) whose X-Forwarded-For names the client.
    std::vector<std::string> TrustedProxies;
    // The UTC date the daily race takes as today (tests); empty: the system clock's.
    std::string Today;
    bool Help = false;
    std::string Error;  // set when the command line cannot be understood
};

TServiceOptions ParseServiceOptions(const std::vector<std::string>& args);
std::string ServiceUsage();
// $XDG_DATA_HOME/velkaro/scores.db, else ~/.local/share/velkaro/scores.db.
std::string DefaultDbPath();
// Whether --db names a PostgreSQL database rather than a SQLite file.
bool IsPostgresUri(const std::string& db);
// --db as the log may show it: a PostgreSQL URI's password ("user:secret@", "password=...")
// becomes "***".
std::string DbForLog(const std::string& db);
