// The service's worker pool: it grows while every worker is busy, up to its most, lets the
// rest wait in order, shrinks back to the workers kept ready, and runs what is left when it
// shuts down.
#include "server/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Jobs that hold their worker until the gate opens.
class TGate {
public:
    std::function<void()> Job() {
        return [this] {
            ++Started;
            std::unique_lock<std::mutex> lock(Lock);
            Opened.wait(lock, [this] { return Open; });
            ++Finished;
        };
    }
    void Release() {
        std::lock_guard<std::mutex> guard(Lock);
        Open = true;
        Opened.notify_all();
    }
    std::atomic<int> Started{0}, Finished{0};

private:
    std::mutex Lock;
    std::condition_variable Opened;
    bool Open = false;
};

// Polls until the condition holds, for ten seconds at most.
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 2000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return condition();
}

}  // namespace

TEST(WorkerPool, GrowsWhileEveryWorkerIsBusyUpToItsMostThenJobsWait) {
    TWorkerPool pool(1, 3, 10s);
    EXPECT_EQ(pool.Workers(), 1u);
    TGate gate;
    for (int i = 0; i < 4; ++i) pool.enqueue(gate.Job());
    ASSERT_TRUE(Eventually([&] { return gate.Started == 3; }));
    EXPECT_EQ(pool.Workers(), 3u);
    EXPECT_EQ(pool.Waiting(), 1u);
    EXPECT_EQ(gate.Started, 3);
    gate.Release();
    EXPECT_TRUE(Eventually([&] { return gate.Finished == 4; }));
    EXPECT_EQ(pool.Waiting(), 0u);
}

TEST(WorkerPool, AddedWorkersLeaveAfterLingeringAndTheReadyOnesStay) {
    TWorkerPool pool(2, 4, 20ms);
    TGate gate;
    for (int i = 0; i < 4; ++i) pool.enqueue(gate.Job());
    ASSERT_TRUE(Eventually([&] { return gate.Started == 4; }));
    gate.Release();
    ASSERT_TRUE(Eventually([&] { return pool.Workers() == 2; }));
    // Well past the linger, the two kept ready are still there and take new work.
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(pool.Workers(), 2u);
    TGate later;
    later.Release();
    pool.enqueue(later.Job());
    EXPECT_TRUE(Eventually([&] { return later.Finished == 1; }));
}

TEST(WorkerPool, ShutdownRunsTheWaitingJobsAndJoinsEveryWorker) {
    TWorkerPool pool(1, 1, 10s);
    TGate gate;
    for (int i = 0; i < 3; ++i) pool.enqueue(gate.Job());
    ASSERT_TRUE(Eventually([&] { return gate.Started == 1; }));
    EXPECT_EQ(pool.Waiting(), 2u);
    gate.Release();
    pool.shutdown();
    EXPECT_EQ(gate.Finished, 3);
    EXPECT_EQ(pool.Workers(), 0u);
}
