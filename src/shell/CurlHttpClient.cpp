// The libcurl session: the easy handle is driven through a multi handle so that Cancel can
// wake the worker at once (curl_multi_wakeup) instead of waiting for a progress callback.
// libcurl's functions come from the table LoadCurlLibrary fills at the first session; when the
// library could not be loaded, every request fails with the reason, as an unreachable service
// does.
#include <atomic>

#include "shell/CurlLibrary.h"
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
    TCurlSession(const TCurlLibrary& curl, const THttpLimits& limits)
        : Curl(curl), Api(curl.Api), Limits(limits) {
        if (!Curl.Ready) return;
        Easy = Api.EasyInit();
        Multi = Api.MultiInit();
        if (Easy == nullptr || Multi == nullptr) return;
        Headers = Api.SlistAppend(Headers, "Content-Type: text/html");
        Headers = Api.SlistAppend(Headers, "Accept: text/html, */*");
        PostHeaders =
            Api.SlistAppend(PostHeaders, "Content-Type: application/x-www-form-urlencoded");
        PostHeaders = Api.SlistAppend(PostHeaders, "Accept: text/plain, */*");
        Api.EasySetopt(Easy, CURLOPT_HTTPHEADER, Headers);
        Api.EasySetopt(Easy, CURLOPT_USERAGENT, kGameUserAgent);
        Api.EasySetopt(Easy, CURLOPT_HTTPGET, 1L);
        // An empty cookie file turns the cookie engine on: the handle keeps what the version
        // reply sets and sends it with the submission.
        Api.EasySetopt(Easy, CURLOPT_COOKIEFILE, "");
        Api.EasySetopt(Easy, CURLOPT_PROTOCOLS_STR, "http,https");
        Api.EasySetopt(Easy, CURLOPT_SSL_VERIFYPEER, 1L);
        Api.EasySetopt(Easy, CURLOPT_SSL_VERIFYHOST, 2L);
        // Worker threads must not get signals from the resolver's time-outs.
        Api.EasySetopt(Easy, CURLOPT_NOSIGNAL, 1L);
        Api.EasySetopt(Easy, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(Limits.ConnectTimeout.count()));
        Api.EasySetopt(Easy, CURLOPT_TIMEOUT_MS, static_cast<long>(Limits.RequestTimeout.count()));
        Api.EasySetopt(Easy, CURLOPT_WRITEFUNCTION, WriteBody);
    }

    ~TCurlSession() override {
        if (!Curl.Ready) return;
        Api.MultiCleanup(Multi);
        Api.EasyCleanup(Easy);
        Api.SlistFreeAll(Headers);
        Api.SlistFreeAll(PostHeaders);
    }
    TCurlSession(const TCurlSession&) = delete;
    TCurlSession& operator=(const TCurlSession&) = delete;

    THttpReply Get(const std::string& url) override { return Transfer(url, nullptr); }

    THttpReply Post(const std::string& url, const std::string& formBody) override {
        return Transfer(url, &formBody);
    }

    void Cancel() override {
        Cancelled = true;
        if (Multi != nullptr) Api.MultiWakeup(Multi);
    }

private:
    // One request: a GET, or a POST of formBody with the form's content type. The handle is
    // put back to GET with the game's headers afterwards, for the session's next request.
    THttpReply Transfer(const std::string& url, const std::string* formBody) {
        THttpReply reply;
        if (!Curl.Ready) {
            reply.Error = Curl.Error;
            return reply;
        }
        if (Easy == nullptr || Multi == nullptr) {
            reply.Error = "libcurl could not start";
            return reply;
        }
        if (Cancelled) {
            reply.Error = "cancelled";
            return reply;
        }
        TBodySink sink{&reply.Body, Limits.MaxReplyBytes};
        Api.EasySetopt(Easy, CURLOPT_WRITEDATA, &sink);
        if (Api.EasySetopt(Easy, CURLOPT_URL, url.c_str()) != CURLE_OK) {
            reply.Error = "bad address";
            return reply;
        }
        if (formBody != nullptr) {
            Api.EasySetopt(Easy, CURLOPT_HTTPHEADER, PostHeaders);
            Api.EasySetopt(Easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(formBody->size()));
            Api.EasySetopt(Easy, CURLOPT_POSTFIELDS, formBody->c_str());
        }
        const CURLcode code = Perform();
        Api.EasySetopt(Easy, CURLOPT_WRITEDATA, nullptr);
        if (formBody != nullptr) {
            Api.EasySetopt(Easy, CURLOPT_HTTPHEADER, Headers);
            Api.EasySetopt(Easy, CURLOPT_HTTPGET, 1L);
        }
        if (code != CURLE_OK) {
            reply.Error = Cancelled ? "cancelled" : Api.EasyStrerror(code);
            reply.Body.clear();
            return reply;
        }
        Api.EasyGetinfo(Easy, CURLINFO_RESPONSE_CODE, &reply.Status);
        reply.Ok = reply.Status >= 200 && reply.Status < 300;
        if (!reply.Ok) reply.Error = "HTTP status " + std::to_string(reply.Status);
        return reply;
    }

    // Runs the easy handle to completion; the time-outs are the easy handle's own.
    CURLcode Perform() {
        if (Api.MultiAddHandle(Multi, Easy) != CURLM_OK) return CURLE_FAILED_INIT;
        CURLcode result = CURLE_ABORTED_BY_CALLBACK;
        bool finished = false;
        while (!finished && !Cancelled) {
            int running = 0;
            if (Api.MultiPerform(Multi, &running) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            int queued = 0;
            while (CURLMsg* msg = Api.MultiInfoRead(Multi, &queued)) {
                if (msg->msg == CURLMSG_DONE && msg->easy_handle == Easy) {
                    result = msg->data.result;
                    finished = true;
                }
            }
            if (finished || running == 0) break;
            Api.MultiPoll(Multi, nullptr, 0, 1000, nullptr);
        }
        if (!finished && !Cancelled && result == CURLE_ABORTED_BY_CALLBACK) {
            result = CURLE_RECV_ERROR;
        }
        Api.MultiRemoveHandle(Multi, Easy);
        return result;
    }

    const TCurlLibrary& Curl;
    const TCurlApi& Api;
    THttpLimits Limits;
    CURL* Easy = nullptr;
    CURLM* Multi = nullptr;
    curl_slist* Headers = nullptr;
    curl_slist* PostHeaders = nullptr;
    std::atomic<bool> Cancelled{false};
};

class TCurlHttpClient final : public THttpClient {
public:
    explicit TCurlHttpClient(std::string libraryName) : LibraryName(std::move(libraryName)) {}

    std::unique_ptr<THttpSession> OpenSession(const THttpLimits& limits) override {
        return std::make_unique<TCurlSession>(LoadCurlLibrary(LibraryName), limits);
    }

private:
    std::string LibraryName;
};

}  // namespace

std::shared_ptr<THttpClient> MakeCurlHttpClient(const std::string& libraryName) {
    return std::make_shared<TCurlHttpClient>(libraryName);
}
