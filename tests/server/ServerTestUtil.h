// Shared pieces of the score service tests: a temporary folder and a service over a fresh
// SQLite database with a hand-driven clock and numbered tokens.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "server/ScoreService.h"
#include "server/SqliteScoreStore.h"

class TTempDir {
public:
    TTempDir() {
        std::random_device rd;
        Path = std::filesystem::temp_directory_path() /
               ("velkaro-scores-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(Path);
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    std::string File(const std::string& name) const { return (Path / name).string(); }
    std::string Dir() const { return Path.string(); }

private:
    std::filesystem::path Path;
};

struct TServiceFixture {
    TTempDir Dir;
    std::atomic<int64_t> Now{1'700'000'000};
    std::atomic<int> NextToken{0};
    std::unique_ptr<TSqliteScoreStore> Store;
    std::unique_ptr<TScoreService> Service;

    explicit TServiceFixture(std::string motd = "Have fun") { Open(std::move(motd)); }
    void Open(std::string motd = "Have fun") {
        Service.reset();
        Store.reset();
        Store = std::make_unique<TSqliteScoreStore>(Dir.File("scores.db"));
        Service = std::make_unique<TScoreService>(
            *Store, TServiceConfig{std::move(motd)}, [this] { return Now.load(); },
            [this] { return "tok" + std::to_string(NextToken++); });
    }
};

// The fifth field of a version reply.
inline std::string TokenOf(const std::string& reply) {
    size_t start = 0;
    for (int i = 0; i < 4; ++i) start = reply.find('|', start) + 1;
    return reply.substr(start, reply.find('|', start) - start);
}
