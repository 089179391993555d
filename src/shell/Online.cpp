#include "shell/Online.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "common/ScoreText.h"
#include "common/WesternText.h"
#include "platform/MessageBox.h"

namespace {

constexpr const char* kVersionScript = "/cgi/version.pl";
// More submissions than this in flight means the service is not answering: the next one is
// reported as unreachable instead of piling up threads.
constexpr size_t kMaxRunning = 4;

std::string ScriptUrl(std::string base) {
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base + kVersionScript;
}

}  // namespace

std::string VersionToken(std::string reply) {
    std::string field;
    for (int i = 0; i < 5; ++i) {
        const size_t bar = reply.find('|');
        if (bar == std::string::npos) {
            field.clear();
            continue;
        }
        field = reply.substr(0, bar);
        reply.erase(0, bar + 1);
    }
    return field;
}

bool RunSubmission(THttpSession& http, const std::string& serverUrl, const std::string& name,
                   int64_t score, const std::string& extra) {
    if (!ValidServerUrl(serverUrl)) return false;
    const std::string script = ScriptUrl(serverUrl);
    const THttpReply version = http.Get(script + "?version&prg=Velkaro");
    const std::string reply = version.Ok ? version.Body : std::string();
    if (reply.compare(0, 2, "OK") != 0) return false;
    // The game's texts are 8-bit; the service reads UTF-8.
    const std::string text =
        BuildScoreText(WesternToUtf8(name), score, VersionToken(reply), WesternToUtf8(extra));
    http.Get(script + "?hs&prg=Velkaro&inf=" + EncodeScoreText(text));
    return true;
}

struct TOnline::TJob {
    std::unique_ptr<THttpSession> Session;
    std::thread Worker;
    std::mutex Lock;
    std::condition_variable Ended;
    bool Finished = false;
    bool Reachable = true;
};

TOnline::TOnline(std::shared_ptr<THttpClient> client) : Client(std::move(client)) {}

TOnline::~TOnline() {
    Shutdown();
}

void TOnline::SubmitScore(const std::string& name, int64_t score, const std::string& extra) {
    auto job = std::make_shared<TJob>();
    const bool room = Jobs.size() < kMaxRunning;
    if (Client && room) {
        job->Session = Client->OpenSession({Settings.ConnectTimeout, Settings.RequestTimeout});
    }
    if (!job->Session) {
        job->Finished = true;
        job->Reachable = false;
        Jobs.push_back(job);
        return;
    }
    // The worker owns a reference to its job, so a job given up on at quit stays valid.
    job->Worker = std::thread([job, url = Settings.ServerUrl, name, score, extra] {
        const bool reachable = RunSubmission(*job->Session, url, name, score, extra);
        std::lock_guard<std::mutex> guard(job->Lock);
        job->Reachable = reachable;
        job->Finished = true;
        job->Ended.notify_all();
    });
    Jobs.push_back(std::move(job));
}

void TOnline::PollOnline() {
    int unreachable = 0;
    for (auto it = Jobs.begin(); it != Jobs.end();) {
        TJob& job = **it;
        bool finished, reachable;
        {
            std::lock_guard<std::mutex> guard(job.Lock);
            finished = job.Finished;
            reachable = job.Reachable;
        }
        if (!finished) {
            ++it;
            continue;
        }
        if (job.Worker.joinable()) job.Worker.join();
        it = Jobs.erase(it);
        if (!reachable) ++unreachable;
    }
    // Shown after the list is settled: the box is modal, and whatever runs while it is up may
    // start another submission.
    for (int i = 0; i < unreachable; ++i) {
        ShowMessageBox("Velkaro", kCantConnectText, TMsgButtons::Ok, TMsgIcon::Information);
    }
}

bool TOnline::Shutdown(std::chrono::milliseconds maxWait) {
    for (const auto& job : Jobs) {
        if (job->Session) job->Session->Cancel();
    }
    const auto deadline = std::chrono::steady_clock::now() + maxWait;
    bool allEnded = true;
    for (const auto& job : Jobs) {
        std::unique_lock<std::mutex> lock(job->Lock);
        const bool ended = job->Ended.wait_until(lock, deadline, [&] { return job->Finished; });
        lock.unlock();
        if (!job->Worker.joinable()) continue;
        if (ended) {
            job->Worker.join();
        } else {
            allEnded = false;
            job->Worker.detach();
        }
    }
    Jobs.clear();
    return allEnded;
}
