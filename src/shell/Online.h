// Online score submission. SubmitScore asks the service's version script for a token, then
// sends the encoded score text with it, on a worker thread: frames go on while it runs, and a
// slow or silent server costs nothing but the time-outs. The frame loop calls PollOnline every
// frame; when a version check has failed it shows "Can't connect to server!" once, on the
// main thread. Quitting waits for running submissions at most a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/HttpClient.h"
#include "shell/ServerAddress.h"

inline constexpr const char* kCantConnectText = "Can't connect to server!";

struct TOnlineSettings {
    std::string ServerUrl = kDefaultServerUrl;
    // The config folder (Server.cfg, a player's play.url); empty until one is known.
    std::string ConfigDir;
    std::chrono::milliseconds ConnectTimeout{5000};
    std::chrono::milliseconds RequestTimeout{15000};
};

// The token of a version reply: the fifth "|" field, taking fields from the front; a reply
// that runs out of "|" gives an empty token.
std::string VersionToken(std::string reply);

// The two requests of one submission, run on the calling thread. Returns false when the
// version check failed (no answer, an HTTP error, or a reply not starting with "OK"); the
// submission's own answer is not looked at.
bool RunSubmission(THttpSession& http, const std::string& serverUrl, const std::string& name,
                   int64_t score, const std::string& extra);

class TOnline {
public:
    explicit TOnline(std::shared_ptr<THttpClient> client);
    // Quits as FormDestroy would: waits at most a second for running submissions.
    ~TOnline();
    TOnline(const TOnline&) = delete;
    TOnline& operator=(const TOnline&) = delete;

    void Configure(TOnlineSettings settings) { Settings = std::move(settings); }
    const TOnlineSettings& Config() const { return Settings; }
    void SetClient(std::shared_ptr<THttpClient> client) { Client = std::move(client); }
    // The client the daily race's requests share.
    const std::shared_ptr<THttpClient>& HttpClient() const { return Client; }

    // Starts one submission and returns at once.
    void SubmitScore(const std::string& name, int64_t score, const std::string& extra);
    // Main thread, once a frame: reports failed version checks and reaps finished workers.
    void PollOnline();
    // Whether a submission is running or its result has not been polled yet.
    bool Busy() const { return !Jobs.empty(); }
    // Cancels running submissions and waits for them at most maxWait; a worker still inside
    // the network library then is left to end on its own. Returns whether all had ended.
    bool Shutdown(std::chrono::milliseconds maxWait = std::chrono::seconds(1));

private:
    struct TJob;
    std::shared_ptr<THttpClient> Client;
    TOnlineSettings Settings;
    std::vector<std::shared_ptr<TJob>> Jobs;
};
