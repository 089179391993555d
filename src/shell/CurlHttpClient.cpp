// The libcurl session: the easy handle is driven through a multi handle so that Cancel can
// wake the worker at once (curl_multi_wakeup) instead of waiting for a progress callback.
#include <curl/curl.h>

#include <atomic>
#include <mutex>

#include "shell/HttpClient.h"

namespace {

struct TBodySink {
    std::string* Body;
    size_t Limit;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<TBodySink*>(user);
    const size_t bytes = size * count;
    // Returning less than was given makes libcurl fail the transfer.
    if (sink->Body->size() + bytes > sink->Limit) return 0;
    sink->Body->append(data, bytes);
    return bytes;
}

class TCurlSession final : public THttpSession {
public:
    explicit TCurlSession(const THttpLimits& limits) : Limits(limits) {
        Easy = curl_easy_init();
        Multi = curl_multi_init();
        if (Easy == nullptr || Multi == nullptr) return;
        Headers = curl_slist_append(Headers, "Content-Type: text/html");
        Headers = curl_slist_append(Headers, "Accept: text/html, */*");
        PostHeaders =
            curl_slist_append(PostHeaders, "Content-Type: application/x-www-form-urlencoded");
        PostHeaders = curl_slist_append(PostHeaders, "Accept: text/plain, */*");
        curl_easy_setopt(Easy, CURLOPT_HTTPHEADER, Headers);
        curl_easy_setopt(Easy, CURLOPT_USERAGENT, kGameUserAgent);
        curl_easy_setopt(Easy, CURLOPT_HTTPGET, 1L);
        // An empty cookie file turns the cookie engine on: the handle keeps what the version
        // reply sets and sends it with the submission.
        curl_easy_setopt(Easy, CURLOPT_COOKIEFILE, "");
        curl_easy_setopt(Easy, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(Easy, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(Easy, CURLOPT_SSL_VERIFYHOST, 2L);
        // Worker threads must not get signals from the resolver's time-outs.
        curl_easy_setopt(Easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(Easy, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(Limits.ConnectTimeout.count()));
        curl_easy_setopt(Easy, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(Limits.RequestTimeout.count()));
        curl_easy_setopt(Easy, CURLOPT_WRITEFUNCTION, WriteBody);
    }

    ~TCurlSession() override {
        curl_multi_cleanup(Multi);
        curl_easy_cleanup(Easy);
        curl_slist_free_all(Headers);
        curl_slist_free_all(PostHeaders);
    }
    TCurlSession(const TCurlSession&) = delete;
    TCurlSession& operator=(const TCurlSession&) = delete;

    THttpReply Get(const std::string& url) override { return Transfer(url, nullptr); }

    THttpReply Post(const std::string& url, const std::string& formBody) override {
        return Transfer(url, &formBody);
    }

    void Cancel() override {
        Cancelled = true;
        if (Multi != nullptr) curl_multi_wakeup(Multi);
    }

private:
    // One request: a GET, or a POST of formBody with the form's content type. The handle is
    // put back to GET with the game's headers afterwards, for the session's next request.
    THttpReply Transfer(const std::string& url, const std::string* formBody) {
        THttpReply reply;
        if (Easy == nullptr || Multi == nullptr) {
            reply.Error = "libcurl could not start";
            return reply;
        }
        if (Cancelled) {
            reply.Error = "cancelled";
            return reply;
        }
        TBodySink sink{&reply.Body, Limits.MaxReplyBytes};
        curl_easy_setopt(Easy, CURLOPT_WRITEDATA, &sink);
        if (curl_easy_setopt(Easy, CURLOPT_URL, url.c_str()) != CURLE_OK) {
            reply.Error = "bad address";
            return reply;
        }
        if (formBody != nullptr) {
            curl_easy_setopt(Easy, CURLOPT_HTTPHEADER, PostHeaders);
            curl_easy_setopt(Easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(formBody->size()));
            curl_easy_setopt(Easy, CURLOPT_POSTFIELDS, formBody->c_str());
        }
        const CURLcode code = Perform();
        curl_easy_setopt(Easy, CURLOPT_WRITEDATA, nullptr);
        if (formBody != nullptr) {
            curl_easy_setopt(Easy, CURLOPT_HTTPHEADER, Headers);
            curl_easy_setopt(Easy, CURLOPT_HTTPGET, 1L);
        }
        if (code != CURLE_OK) {
            reply.Error = Cancelled ? "cancelled" : curl_easy_strerror(code);
            reply.Body.clear();
            return reply;
        }
        curl_easy_getinfo(Easy, CURLINFO_RESPONSE_CODE, &reply.Status);
        reply.Ok = reply.Status >= 200 && reply.Status < 300;
        if (!reply.Ok) reply.Error = "HTTP status " + std::to_string(reply.Status);
        return reply;
    }

    // Runs the easy handle to completion; the time-outs are the easy handle's own.
    CURLcode Perform() {
        if (curl_multi_add_handle(Multi, Easy) != CURLM_OK) return CURLE_FAILED_INIT;
        CURLcode result = CURLE_ABORTED_BY_CALLBACK;
        bool finished = false;
        while (!finished && !Cancelled) {
            int running = 0;
            if (curl_multi_perform(Multi, &running) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(Multi, &queued)) {
                if (msg->msg == CURLMSG_DONE && msg->easy_handle == Easy) {
                    result = msg->data.result;
                    finished = true;
                }
            }
            if (finished || running == 0) break;
            curl_multi_poll(Multi, nullptr, 0, 1000, nullptr);
        }
        if (!finished && !Cancelled && result == CURLE_ABORTED_BY_CALLBACK) {
            result = CURLE_RECV_ERROR;
        }
        curl_multi_remove_handle(Multi, Easy);
        return result;
    }

    THttpLimits Limits;
    CURL* Easy = nullptr;
    CURLM* Multi = nullptr;
    curl_slist* Headers = nullptr;
    curl_slist* PostHeaders = nullptr;
    std::atomic<bool> Cancelled{false};
};

// Sets libcurl up once per process, at the first session rather than at start-up: its TLS
// library's set-up takes megabytes a game that never goes online does not need. Left set up
// until the process ends, as a worker given up on at quit may still be inside libcurl. The
// once flag keeps a second session waiting until it is done; nothing else in the process uses
// libcurl or its TLS library meanwhile.
void SetUpCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

class TCurlHttpClient final : public THttpClient {
public:
    std::unique_ptr<THttpSession> OpenSession(const THttpLimits& limits) override {
        SetUpCurl();
        return std::make_unique<TCurlSession>(limits);
    }
};

}  // namespace

std::shared_ptr<THttpClient> MakeCurlHttpClient() {
    return std::make_shared<TCurlHttpClient>();
}
