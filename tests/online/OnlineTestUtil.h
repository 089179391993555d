// Shared pieces of the online tests: a scripted HTTP client, captured message boxes and
// opened addresses, a loopback server that accepts and never answers, and a wait that keeps
// a test from hanging when something never finishes.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/MessageBox.h"
#include "shell/HttpClient.h"

// The online tests talk to 127.0.0.1 only; a proxy from the environment must not take them
// anywhere else.
inline void ClearProxies() {
    for (const char* name :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"}) {
        unsetenv(name);
    }
}

// Polls until done() or a generous limit; the limit only stops a broken test from hanging.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Collects message boxes for as long as it lives, with the thread that showed each.
class TMessageCapture {
public:
    TMessageCapture() {
        Old = SetMessageHandler([this](const TMessage& m) {
            std::lock_guard<std::mutex> guard(Lock);
            Messages.push_back(m);
            Threads.push_back(std::this_thread::get_id());
        });
    }
    ~TMessageCapture() { SetMessageHandler(std::move(Old)); }
    TMessageCapture(const TMessageCapture&) = delete;
    TMessageCapture& operator=(const TMessageCapture&) = delete;
    size_t Count() {
        std::lock_guard<std::mutex> guard(Lock);
        return Messages.size();
    }
    // Boxes with this text only (a game run may report other things, such as a missing sound).
    size_t Count(const std::string& text) {
        std::lock_guard<std::mutex> guard(Lock);
        size_t n = 0;
        for (const TMessage& m : Messages) n += m.Text == text ? 1 : 0;
        return n;
    }
    std::vector<TMessage> All() {
        std::lock_guard<std::mutex> guard(Lock);
        return Messages;
    }
    std::vector<std::thread::id> ShownOn() {
        std::lock_guard<std::mutex> guard(Lock);
        return Threads;
    }

private:
    TMessageHandler Old;
    std::mutex Lock;
    std::vector<TMessage> Messages;
    std::vector<std::thread::id> Threads;
};

// An HTTP client whose answers a test scripts. A session's Get can be held at a gate until the
// test opens it; Cancel opens it too unless the test asked for a session that ignores Cancel.
class TScriptedHttp final : public THttpClient {
public:
    std::function<THttpReply(const std::string&)> Answer = [](const std::string&) {
        return THttpReply{};
    };
    bool HoldRequests = false;
    bool IgnoreCancel = false;

    std::unique_ptr<THttpSession> OpenSession(const THttpLimits& limits) override {
        std::lock_guard<std::mutex> guard(Lock);
        Limits.push_back(limits);
        return std::make_unique<TSession>(*this);
    }
    std::vector<std::string> Urls() {
        std::lock_guard<std::mutex> guard(Lock);
        return Requested;
    }
    std::vector<THttpLimits> SessionLimits() {
        std::lock_guard<std::mutex> guard(Lock);
        return Limits;
    }
    void Release() {
        std::lock_guard<std::mutex> guard(Lock);
        Released = true;
        Gate.notify_all();
    }
    int SessionsAlive() const { return Alive.load(); }
    int Waiting() const { return Held.load(); }

private:
    class TSession final : public THttpSession {
    public:
        explicit TSession(TScriptedHttp& owner) : Owner(owner) { ++Owner.Alive; }
        ~TSession() override { --Owner.Alive; }
        THttpReply Get(const std::string& url) override {
            std::unique_lock<std::mutex> lock(Owner.Lock);
            Owner.Requested.push_back(url);
            if (Owner.HoldRequests) {
                ++Owner.Held;
                Owner.Gate.wait(
                    lock, [&] { return Owner.Released || (Cancelled && !Owner.IgnoreCancel); });
                --Owner.Held;
            }
            if (Cancelled && !Owner.IgnoreCancel) return THttpReply{};
            const auto answer = Owner.Answer;
            lock.unlock();
            return answer(url);
        }
        void Cancel() override {
            std::lock_guard<std::mutex> guard(Owner.Lock);
            Cancelled = true;
            Owner.Gate.notify_all();
        }

    private:
        TScriptedHttp& Owner;
        bool Cancelled = false;
    };

    std::mutex Lock;
    std::condition_variable Gate;
    bool Released = false;
    std::vector<std::string> Requested;
    std::vector<THttpLimits> Limits;
    std::atomic<int> Alive{0}, Held{0};
};

inline THttpReply Answered(std::string body, long status = 200) {
    THttpReply r;
    r.Ok = status >= 200 && status < 300;
    r.Status = status;
    r.Body = std::move(body);
    return r;
}

// A loopback server that accepts connections and never answers, holding them open.
class TSilentServer {
public:
    TSilentServer();
    ~TSilentServer();
    TSilentServer(const TSilentServer&) = delete;
    TSilentServer& operator=(const TSilentServer&) = delete;
    int Port() const { return ListenPort; }
    int Accepted() const { return AcceptedCount.load(); }

private:
    int Listener = -1;
    int ListenPort = 0;
    std::atomic<bool> Stopping{false};
    std::atomic<int> AcceptedCount{0};
    std::vector<int> Connections;
    std::thread Acceptor;
};
