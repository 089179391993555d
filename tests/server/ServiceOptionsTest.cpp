// The service's command line.
#include "server/ServiceOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ServiceOptions, DefaultsAndEveryOption) {
    const TServiceOptions d = ParseServiceOptions({});
    EXPECT_EQ(d.Bind, "127.0.0.1");
    EXPECT_EQ(d.Port, 8470);
    EXPECT_EQ(d.DbPath, "");
    EXPECT_FALSE(d.Help);
    EXPECT_TRUE(d.Error.empty());
    EXPECT_EQ(d.MaxConnections, 8u);
    EXPECT_TRUE(d.TrustedProxies.empty());

    const TServiceOptions o = ParseServiceOptions(
        {"--port", "0", "--bind", "::1", "--db", "/tmp/x.db", "--motd", "hi", "--rate", "0",
         "--conns", "3", "--trusted-proxy", "10.0.0.1,10.1.0.0/16", "--trusted-proxy", "::1",
         "--db-connections", "3"});
    EXPECT_TRUE(o.Error.empty()) << o.Error;
    EXPECT_EQ(o.Port, 0);
    EXPECT_EQ(o.Bind, "::1");
    EXPECT_EQ(o.DbPath, "/tmp/x.db");
    EXPECT_EQ(o.Motd, "hi");
    EXPECT_EQ(o.RatePerSecond, 0.0);
    EXPECT_EQ(o.MaxConnections, 3u);
    EXPECT_EQ(o.DbConnections, 3u);
    EXPECT_EQ(o.TrustedProxies, (std::vector<std::string>{"10.0.0.1", "10.1.0.0/16", "::1"}));
    EXPECT_TRUE(ParseServiceOptions({"--help"}).Help);
    EXPECT_NE(ServiceUsage().find("--bind"), std::string::npos);
}

TEST(ServiceOptions, RefusesWhatItCannotUnderstand) {
    const std::vector<std::vector<std::string>> bad = {
        {"--port"},
        {"--port", "65536"},
        {"--port", "-1"},
        {"--port", "80x"},
        {"--port", ""},
        {"--db", ""},
        {"--rate", "1.5"},
        {"--conns", "0"},
        {"--db-connections", "0"},
        {"--trusted-proxy", "proxy"},
        {"--trusted-proxy", "10.0.0.1,"},
        {"--verbose"},
        {"extra-argument"},
    };
    for (const auto& args : bad) {
        EXPECT_FALSE(ParseServiceOptions(args).Error.empty()) << args[0];
    }
}

TEST(ServiceOptions, PostgresUrisAreToldFromFiles) {
    for (const char* uri : {"postgresql://u@h/db", "postgres://h/db", "postgresql:///db?host=/s"})
        EXPECT_TRUE(IsPostgresUri(uri)) << uri;
    for (const char* path : {"/var/lib/scores.db", "postgresql.db", "./postgresql://x", ""})
        EXPECT_FALSE(IsPostgresUri(path)) << path;
}

TEST(ServiceOptions, TheLogNeverShowsADatabasePassword) {
    const std::pair<const char*, const char*> cases[] = {
        {"/var/lib/velkaro/scores.db", "/var/lib/velkaro/scores.db"},
        {"postgresql://velkaro:s3cret@db/velkaro", "postgresql://velkaro:***@db/velkaro"},
        {"postgresql://velkaro@db:5433/velkaro", "postgresql://velkaro@db:5433/velkaro"},
        {"postgresql://db/velkaro?user=v&password=s3cret&sslmode=require",
         "postgresql://db/velkaro?user=v&password=***&sslmode=require"},
        {"postgres://u:p@h/d?password=x", "postgres://u:***@h/d?password=***"},
    };
    for (const auto& [db, shown] : cases) EXPECT_EQ(DbForLog(db), shown) << db;
}

TEST(ServiceOptions, DefaultDatabaseIsInTheUsersDataFolder) {
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldXdg != nullptr ? oldXdg : "";
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(DefaultDbPath(), "/data/home/velkaro/scores.db");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(DefaultDbPath(),
              std::string(std::getenv("HOME")) + "/.local/share/velkaro/scores.db");
    if (oldXdg != nullptr) setenv("XDG_DATA_HOME", saved.c_str(), 1);
}
