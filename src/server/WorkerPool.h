// The threads that serve the score service's connections. cpp-httplib gives each connection a
// worker for as long as the client keeps it open, idle keep-alive time included, so a fixed
// pool lets a few kept-alive clients hold every worker while new connections wait behind them.
// This pool keeps `ready` workers and adds one whenever a connection would otherwise wait, up
// to `most`; an added worker leaves again after `linger` without work. Past `most`, new
// connections wait in order for a worker to come free.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

#include <httplib.h>

class TWorkerPool final : public httplib::TaskQueue {
public:
    TWorkerPool(size_t ready, size_t most, std::chrono::milliseconds linger);
    ~TWorkerPool() override;
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    void enqueue(std::function<void()> fn) override;
    // Runs the jobs still waiting, then joins every worker.
    void shutdown() override;

    size_t Workers() const;
    // Jobs that no worker has taken yet.
    size_t Waiting() const;

private:
    using TThreads = std::list<std::thread>;
    void Spawn();
    void Work(TThreads::iterator self);
    void JoinRetired(std::unique_lock<std::mutex>& lock);

    const size_t Ready, Most;
    const std::chrono::milliseconds Linger;
    mutable std::mutex Lock;
    std::condition_variable WorkArrived, WorkerLeft;
    std::deque<std::function<void()>> Jobs;
    TThreads Threads;
    // Workers that have left, still to be joined (a thread cannot join itself).
    std::vector<std::thread> Retired;
    size_t Idle = 0;
    bool Stopping = false;
};
