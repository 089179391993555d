// Where the game looks for the score service.
#include "shell/ServerAddress.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {
class TConfigFolder {
public:
    TConfigFolder() {
        std::random_device rd;
        Path = std::filesystem::temp_directory_path() /
               ("velkaro-server-cfg-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(Path);
    }
    ~TConfigFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string Dir() const { return Path.string(); }
    void Write(const std::string& content) const {
        std::ofstream(Path / "Server.cfg", std::ios::binary) << content;
    }

private:
    std::filesystem::path Path;
};
}  // namespace

TEST(ServerAddress, CommandLineThenEnvironmentThenServerCfgThenTheDefault) {
    TConfigFolder config;
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {}, nullptr), "http://127.0.0.1:8470");
    EXPECT_EQ(ResolveServerUrl("", {}, nullptr), "http://127.0.0.1:8470");
    config.Write("  http://127.0.0.1:9000/velkaro  \r\nignored second line\r\n");
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {}, nullptr), "http://127.0.0.1:9000/velkaro");
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {}, ""), "http://127.0.0.1:9000/velkaro");
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {}, "http://127.0.0.1:9001"), "http://127.0.0.1:9001");
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {"--server", "http://127.0.0.1:9002"},
                               "http://127.0.0.1:9001"),
              "http://127.0.0.1:9002");
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {"--server=http://127.0.0.1:9003"}, nullptr),
              "http://127.0.0.1:9003");
    // A Server.cfg naming nothing keeps the default; one naming rubbish is kept as rubbish, so
    // that submissions fail rather than go to a server the player did not choose.
    config.Write("\n");
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {}, nullptr), "http://127.0.0.1:8470");
    config.Write("not a url\n");
    EXPECT_EQ(ResolveServerUrl(config.Dir(), {}, nullptr), "not a url");
    EXPECT_FALSE(ValidServerUrl(ResolveServerUrl(config.Dir(), {}, nullptr)));
}

TEST(ServerAddress, WhatCountsAsAServerAddress) {
    for (const char* good : {"http://127.0.0.1:8470", "https://127.0.0.1/", "HTTP://localhost",
                             "http://[::1]:8470/base/"}) {
        EXPECT_TRUE(ValidServerUrl(good)) << good;
    }
    for (const char* bad : {"", "127.0.0.1:8470", "ftp://127.0.0.1", "http://", "http:///x",
                            "http://:80/", "http://127.0.0.1/?x=1", "http://127.0.0.1/#top",
                            "http://a b/", "http://a@127.0.0.1/", "http://127.0.0.1/\x7f"}) {
        EXPECT_FALSE(ValidServerUrl(bad)) << bad;
    }
    EXPECT_FALSE(ValidServerUrl("http://127.0.0.1/" + std::string(3000, 'a')));
}
