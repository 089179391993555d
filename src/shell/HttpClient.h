// The HTTP the online score submission and the daily race need, behind a small interface: the game
// uses libcurl (MakeCurlHttpClient), tests put scripted answers behind it. A session is one
// conversation with the service: its requests share cookies, and it can be cancelled from another
// thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

struct THttpLimits {
    std::chrono::milliseconds ConnectTimeout{5000};
    std::chrono::milliseconds RequestTimeout{15000};  // the whole request, connection included
    size_t MaxReplyBytes = 64 * 1024;
};

struct THttpReply {
    bool Ok = false;  // connected and answered with a 2xx status
    long Status = 0;
    std::string Body;
    std::string Error;  // why it failed, for the log
};

class THttpSession {
public:
    virtual ~THttpSession() = default;
    // A GET request; blocks the calling (worker) thread until answered, failed or cancelled.
    virtual THttpReply Get(const std::string& url) = 0;
    // A POST of a form-urlencoded body; the reply's Body holds the answer whatever its status
    // (the daily submission's refusals come with a 4xx). Sessions that cannot post fail.
    virtual THttpReply Post(const std::string& url, const std::string& formBody) {
        (void)url;
        (void)formBody;
        THttpReply reply;
        reply.Error = "this session cannot post";
        return reply;
    }
    // From any thread: the running request and every later one fail promptly.
    virtual void Cancel() = 0;
};

class THttpClient {
public:
    virtual ~THttpClient() = default;
    virtual std::unique_ptr<THttpSession> OpenSession(const THttpLimits& limits) = 0;
};

// The file libcurl is loaded from, the first time a session is opened.
#ifdef _WIN32
inline constexpr const char* kCurlLibraryName = "libcurl.dll";
#else
inline constexpr const char* kCurlLibraryName = "libcurl.so.4";
#endif

// libcurl: one easy handle per session, with the game's request headers. The library is loaded
// (and set up) when the first session is opened, not before; when it cannot be, every request
// fails with the reason in the reply's Error, as an unreachable service does.
std::shared_ptr<THttpClient> MakeCurlHttpClient(const std::string& libraryName = kCurlLibraryName);

// The user agent the game sends.
inline constexpr const char* kGameUserAgent = "Mozilla/3.0 (compatible; libcurl)";
