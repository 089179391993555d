// A TScoreServer serving on a free loopback port from a thread of the test, with its access
// log kept in memory.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/ScoreServer.h"

class TRunningServer {
public:
    TRunningServer(TScoreService& service, TServerLimits limits, TDailyService* daily = nullptr)
        : Server(
              service, limits,
              [this](const std::string& line) {
                  std::this_thread::sleep_for(LogDelay.load());
                  std::lock_guard<std::mutex> guard(LogLock);
                  Log.push_back(line);
              },
              daily) {
        EXPECT_TRUE(Server.Bind("127.0.0.1", 0));
        Thread = std::thread([this] { Server.Run(); });
        for (int i = 0; i < 2000 && !Server.Running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(Server.Running());
    }
    ~TRunningServer() {
        Server.Stop();
        Thread.join();
    }
    int Port() const { return Server.Port(); }
    // How long writing a log line takes (a slow disk or terminal), from now on.
    void SlowLog(std::chrono::milliseconds delay) { LogDelay = delay; }
    httplib::Client Client() const { return httplib::Client("127.0.0.1", Server.Port()); }
    // The log line is written after the reply is sent, so the client may be ahead of it.
    std::vector<std::string> LogLines(size_t expected) {
        for (int i = 0; i < 2000; ++i) {
            {
                std::lock_guard<std::mutex> guard(LogLock);
                if (Log.size() >= expected) return Log;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::lock_guard<std::mutex> guard(LogLock);
        return Log;
    }

private:
    std::mutex LogLock;
    std::vector<std::string> Log;
    std::atomic<std::chrono::milliseconds> LogDelay{std::chrono::milliseconds(0)};
    TScoreServer Server;
    std::thread Thread;
};
