// The daily race's conversation with the score service, on worker threads like the score
// submission: POST /daily/submit with the race's key log, GET /daily/DATE.json for the day's
// table and GET /daily/DATE/leader for the ghost of the day's fastest race. One request of each
// kind runs at a time; the frame loop polls for the answer, so a slow or silent service never holds
// up a frame.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "shell/daily/DailyTable.h"
#include "shell/HttpClient.h"

// What the game sends with a daily race.
struct TDailySubmission {
    std::string Date;  // "YYYY-MM-DD"
    std::string Version;
    std::string Name;  // the game's 8-bit text; sent as UTF-8
    int32_t Hundredths = 0;
    std::string Log;  // the encoded key log
};

struct TDailySubmitAnswer {
    enum class TKind { Accepted, Refused, Unreachable };
    TKind Kind = TKind::Unreachable;
    int32_t Hundredths = 0;  // the verified time (Accepted)
    int32_t Place = 0;       // the place in the day's table (Accepted)
    std::string Message;     // the service's words for the player (Refused)
};

struct TDailyTableAnswer {
    bool Reached = false;  // the service answered with a table
    TDailyTable Table;
};

struct TDailyLeaderAnswer {
    // Found: Leader holds the day's fastest race. None: the service has no time for the day
    // yet (a 404). Unreachable: no answer, or one that is not a leader of that day.
    enum class TKind { Found, None, Unreachable };
    TKind Kind = TKind::Unreachable;
    TDailyLeader Leader;
};

// application/x-www-form-urlencoded: letters, digits and "-._~" as they are, the rest as %XX.
std::string FormEncode(std::string_view text);
std::string DailySubmitBody(const TDailySubmission& s);
// Reads the service's one-line answer: "OK <hundredths> <place>" with a 200, "REFUSED
// <message>" with a 4xx or 5xx. Anything else (no answer, an answer in another form) is
// Unreachable: the game cannot tell what happened to the time.
TDailySubmitAnswer ReadSubmitAnswer(const THttpReply& reply);
// The table's address for a day and a player (the name encoded as a query value).
std::string DailyTableUrl(const std::string& serverUrl, const std::string& date,
                          const std::string& name);

// The two requests, on the calling thread.
TDailySubmitAnswer RunDailySubmit(THttpSession& http, const std::string& serverUrl,
                                  const TDailySubmission& s);
TDailyTableAnswer RunDailyTable(THttpSession& http, const std::string& serverUrl,
                                const std::string& date, const std::string& name);
TDailyLeaderAnswer RunDailyLeader(THttpSession& http, const std::string& serverUrl,
                                  const std::string& date);

class TDailyOnline {
public:
    TDailyOnline();
    // Cancels running requests and waits for them at most a second.
    ~TDailyOnline();
    TDailyOnline(const TDailyOnline&) = delete;
    TDailyOnline& operator=(const TDailyOnline&) = delete;

    void SetClient(std::shared_ptr<THttpClient> client) { Client = std::move(client); }
    void SetServer(std::string url, THttpLimits limits) {
        ServerUrl = std::move(url);
        Limits = limits;
    }

    // Starts a request and returns at once; false (and nothing started) while one of its
    // kind is still running.
    bool Submit(const TDailySubmission& s);
    bool RequestTable(const std::string& date, const std::string& name);
    bool RequestLeader(const std::string& date);
    bool SubmitRunning() const;
    bool TableRunning() const;
    bool LeaderRunning() const;
    // Main thread: the answer of a finished request, once.
    std::optional<TDailySubmitAnswer> TakeSubmitAnswer();
    std::optional<TDailyTableAnswer> TakeTableAnswer();
    std::optional<TDailyLeaderAnswer> TakeLeaderAnswer();
    // Cancels every request and waits for them at most maxWait.
    void Shutdown(std::chrono::milliseconds maxWait = std::chrono::seconds(1));

private:
    template <typename TAnswer>
    struct TJob;
    std::shared_ptr<THttpClient> Client;
    std::string ServerUrl;
    THttpLimits Limits;
    std::shared_ptr<TJob<TDailySubmitAnswer>> SubmitJob;
    std::shared_ptr<TJob<TDailyTableAnswer>> TableJob;
    std::shared_ptr<TJob<TDailyLeaderAnswer>> LeaderJob;
};
