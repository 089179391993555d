#include "shell/daily/DailyOnline.h"

#include <charconv>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "common/WesternText.h"
#include "shell/ServerAddress.h"

namespace {
std::string Base(std::string url) {
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

// The first line of an answer, without its line end.
std::string_view FirstLine(std::string_view body) {
    body = body.substr(0, body.find('\n'));
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    return body;
}

std::optional<int32_t> Positive(std::string_view digits) {
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (ec != std::errc() || end != digits.data() + digits.size() || v < 1) return std::nullopt;
    return v;
}
}  // namespace

std::string FormEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::string DailySubmitBody(const TDailySubmission& s) {
    return "date=" + FormEncode(s.Date) + "&version=" + FormEncode(s.Version) +
           "&name=" + FormEncode(WesternToUtf8(s.Name)) +
           "&hundredths=" + std::to_string(s.Hundredths) + "&log=" + FormEncode(s.Log);
}

TDailySubmitAnswer ReadSubmitAnswer(const THttpReply& reply) {
    TDailySubmitAnswer a;
    const std::string_view line = FirstLine(reply.Body);
    if (reply.Status == 200 && line.substr(0, 3) == "OK ") {
        const std::string_view rest = line.substr(3);
        const size_t space = rest.find(' ');
        if (space == std::string_view::npos) return a;
        const auto time = Positive(rest.substr(0, space));
        const auto place = Positive(rest.substr(space + 1));
        if (!time || !place) return a;
        a.Kind = TDailySubmitAnswer::TKind::Accepted;
        a.Hundredths = *time;
        a.Place = *place;
        return a;
    }
    if (reply.Status >= 400 && line.substr(0, 8) == "REFUSED ") {
        a.Kind = TDailySubmitAnswer::TKind::Refused;
        a.Message = WesternFromUtf8(line.substr(8));
    }
    return a;
}

std::string DailyTableUrl(const std::string& serverUrl, const std::string& date,
                          const std::string& name) {
    return Base(serverUrl) + "/daily/" + FormEncode(date) +
           ".json?name=" + FormEncode(WesternToUtf8(name));
}

TDailySubmitAnswer RunDailySubmit(THttpSession& http, const std::string& serverUrl,
                                  const TDailySubmission& s) {
    if (!ValidServerUrl(serverUrl)) return {};
    return ReadSubmitAnswer(http.Post(Base(serverUrl) + "/daily/submit", DailySubmitBody(s)));
}

TDailyTableAnswer RunDailyTable(THttpSession& http, const std::string& serverUrl,
                                const std::string& date, const std::string& name) {
    TDailyTableAnswer a;
    if (!ValidServerUrl(serverUrl)) return a;
    const THttpReply reply = http.Get(DailyTableUrl(serverUrl, date, name));
    if (!reply.Ok) return a;
    auto table = ParseDailyTable(reply.Body);
    // A table of another day is no answer to this question.
    if (!table || table->Date != date) return a;
    a.Reached = true;
    a.Table = std::move(*table);
    return a;
}

TDailyLeaderAnswer RunDailyLeader(THttpSession& http, const std::string& serverUrl,
                                  const std::string& date) {
    TDailyLeaderAnswer a;
    if (!ValidServerUrl(serverUrl)) return a;
    const THttpReply reply = http.Get(Base(serverUrl) + "/daily/" + FormEncode(date) + "/leader");
    if (reply.Status == 404) {
        a.Kind = TDailyLeaderAnswer::TKind::None;
        return a;
    }
    if (!reply.Ok) return a;
    auto leader = ParseDailyLeader(reply.Body);
    if (!leader || leader->Date != date) return a;
    a.Kind = TDailyLeaderAnswer::TKind::Found;
    a.Leader = std::move(*leader);
    return a;
}

template <typename TAnswer>
struct TDailyOnline::TJob {
    std::unique_ptr<THttpSession> Session;
    std::thread Worker;
    std::mutex Lock;
    std::condition_variable Ended;
    bool Finished = false;
    TAnswer Answer;
};

namespace {
template <typename TJobT, typename TRun>
std::shared_ptr<TJobT> StartJob(THttpClient* client, const THttpLimits& limits, TRun run) {
    auto job = std::make_shared<TJobT>();
    if (client != nullptr) job->Session = client->OpenSession(limits);
    if (!job->Session) {
        // No network at all: the answer is "unreachable" at once.
        job->Finished = true;
        return job;
    }
    // The worker holds its job, so a job given up on at quit stays valid.
    job->Worker = std::thread([job, run] {
        auto answer = run(*job->Session);
        std::lock_guard<std::mutex> guard(job->Lock);
        job->Answer = std::move(answer);
        job->Finished = true;
        job->Ended.notify_all();
    });
    return job;
}

template <typename TJobT>
bool Running(const std::shared_ptr<TJobT>& job) {
    if (!job) return false;
    std::lock_guard<std::mutex> guard(job->Lock);
    return !job->Finished;
}

template <typename TAnswer, typename TJobT>
std::optional<TAnswer> Take(std::shared_ptr<TJobT>& job) {
    if (!job) return std::nullopt;
    {
        std::lock_guard<std::mutex> guard(job->Lock);
        if (!job->Finished) return std::nullopt;
    }
    if (job->Worker.joinable()) job->Worker.join();
    TAnswer answer = std::move(job->Answer);
    job.reset();
    return answer;
}

template <typename TJobT>
void Stop(std::shared_ptr<TJobT>& job, std::chrono::steady_clock::time_point deadline) {
    if (!job) return;
    if (job->Session) job->Session->Cancel();
    std::unique_lock<std::mutex> lock(job->Lock);
    const bool ended = job->Ended.wait_until(lock, deadline, [&] { return job->Finished; });
    lock.unlock();
    if (job->Worker.joinable()) {
        if (ended) {
            job->Worker.join();
        } else {
            job->Worker.detach();
        }
    }
    job.reset();
}
}  // namespace

TDailyOnline::TDailyOnline() = default;

TDailyOnline::~TDailyOnline() {
    Shutdown();
}

bool TDailyOnline::Submit(const TDailySubmission& s) {
    // An answer not yet taken is dropped with the job: the caller asked again.
    if (SubmitRunning()) return false;
    if (SubmitJob && SubmitJob->Worker.joinable()) SubmitJob->Worker.join();
    SubmitJob = StartJob<TJob<TDailySubmitAnswer>>(
        Client.get(), Limits,
        [url = ServerUrl, s](THttpSession& http) { return RunDailySubmit(http, url, s); });
    return true;
}

bool TDailyOnline::RequestTable(const std::string& date, const std::string& name) {
    if (TableRunning()) return false;
    if (TableJob && TableJob->Worker.joinable()) TableJob->Worker.join();
    TableJob = StartJob<TJob<TDailyTableAnswer>>(Client.get(), Limits,
                                                 [url = ServerUrl, date, name](THttpSession& http) {
                                                     return RunDailyTable(http, url, date, name);
                                                 });
    return true;
}

bool TDailyOnline::RequestLeader(const std::string& date) {
    if (LeaderRunning()) return false;
    if (LeaderJob && LeaderJob->Worker.joinable()) LeaderJob->Worker.join();
    LeaderJob = StartJob<TJob<TDailyLeaderAnswer>>(
        Client.get(), Limits,
        [url = ServerUrl, date](THttpSession& http) { return RunDailyLeader(http, url, date); });
    return true;
}

bool TDailyOnline::LeaderRunning() const {
    return Running(LeaderJob);
}

std::optional<TDailyLeaderAnswer> TDailyOnline::TakeLeaderAnswer() {
    return Take<TDailyLeaderAnswer>(LeaderJob);
}

bool TDailyOnline::SubmitRunning() const {
    return Running(SubmitJob);
}

bool TDailyOnline::TableRunning() const {
    return Running(TableJob);
}

std::optional<TDailySubmitAnswer> TDailyOnline::TakeSubmitAnswer() {
    return Take<TDailySubmitAnswer>(SubmitJob);
}

std::optional<TDailyTableAnswer> TDailyOnline::TakeTableAnswer() {
    return Take<TDailyTableAnswer>(TableJob);
}

void TDailyOnline::Shutdown(std::chrono::milliseconds maxWait) {
    const auto deadline = std::chrono::steady_clock::now() + maxWait;
    Stop(SubmitJob, deadline);
    Stop(TableJob, deadline);
    Stop(LeaderJob, deadline);
}
