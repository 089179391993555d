#include "server/WorkerPool.h"

#include <algorithm>
#include <system_error>
#include <utility>

TWorkerPool::TWorkerPool(size_t ready, size_t most, std::chrono::milliseconds linger)
    : Ready(std::max<size_t>(1, ready)), Most(std::max(Ready, most)), Linger(linger) {
    std::lock_guard<std::mutex> guard(Lock);
    for (size_t i = 0; i < Ready; ++i) Spawn();
}

TWorkerPool::~TWorkerPool() {
    shutdown();
}

void TWorkerPool::enqueue(std::function<void()> fn) {
    std::unique_lock<std::mutex> lock(Lock);
    Jobs.push_back(std::move(fn));
    // A worker told of an earlier job counts as idle until it wakes, so compare with the queue.
    if (Jobs.size() > Idle && Threads.size() < Most) Spawn();
    WorkArrived.notify_one();
    JoinRetired(lock);
}

void TWorkerPool::shutdown() {
    std::unique_lock<std::mutex> lock(Lock);
    Stopping = true;
    WorkArrived.notify_all();
    WorkerLeft.wait(lock, [this] { return Threads.empty(); });
    JoinRetired(lock);
}

size_t TWorkerPool::Workers() const {
    std::lock_guard<std::mutex> guard(Lock);
    return Threads.size();
}

size_t TWorkerPool::Waiting() const {
    std::lock_guard<std::mutex> guard(Lock);
    return Jobs.size();
}

void TWorkerPool::Spawn() {
    const TThreads::iterator self = Threads.emplace(Threads.end());
    try {
        // The new thread takes the lock first thing, so it finds itself in Threads.
        *self = std::thread([this, self] { Work(self); });
    } catch (const std::system_error&) {
        // Out of threads: the job waits for one of the workers already there.
        Threads.erase(self);
    }
}

void TWorkerPool::Work(TThreads::iterator self) {
    std::unique_lock<std::mutex> lock(Lock);
    for (;;) {
        ++Idle;
        const bool woken =
            WorkArrived.wait_for(lock, Linger, [this] { return !Jobs.empty() || Stopping; });
        --Idle;
        if (!Jobs.empty()) {
            std::function<void()> job = std::move(Jobs.front());
            Jobs.pop_front();
            lock.unlock();
            job();
            job = nullptr;  // whatever the job holds goes before the lock is taken again
            lock.lock();
        } else if (Stopping || (!woken && Threads.size() > Ready)) {
            break;
        }
    }
    Retired.push_back(std::move(*self));
    Threads.erase(self);
    WorkerLeft.notify_all();
}

void TWorkerPool::JoinRetired(std::unique_lock<std::mutex>& lock) {
    std::vector<std::thread> retired;
    retired.swap(Retired);
    if (retired.empty()) return;
    lock.unlock();
    for (std::thread& t : retired) t.join();
    lock.lock();
}
