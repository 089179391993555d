// SubmitScore's two requests, the token it takes from the version reply, and the worker that
// keeps them off the frame thread; the HTTP side is scripted.
#include "shell/Online.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/ScoreText.h"
#include "common/TextCode.h"
#include "online/OnlineTestUtil.h"

namespace {

const std::string kBase = "http://127.0.0.1:8470";
const std::string kVersionUrl = kBase + "/cgi/version.pl?version&prg=Velkaro";
const std::string kSubmitPrefix = kBase + "/cgi/version.pl?hs&prg=Velkaro&inf=";

// The score text inside a submission address.
std::string SentText(const std::string& url) {
    EXPECT_EQ(url.rfind(kSubmitPrefix, 0), 0u) << url;
    return DecodeText(url.substr(kSubmitPrefix.size()));
}

bool RunOnce(TScriptedHttp& http, const std::string& base = kBase) {
    auto session = http.OpenSession({});
    return RunSubmission(*session, base, "Ann", 1200, "x");
}

}  // namespace

TEST(Online, TheTokenIsTheFifthBarField) {
    struct Case {
        const char* Reply;
        const char* Token;
    };
    for (const Case& c : {Case{"OK|1.0|time|motd|tok|", "tok"}, Case{"OK|1|2|3|tok|more|", "tok"},
                          Case{"OK|1|2|3|4|5|6", "4"}, Case{"OK", ""}, Case{"OK|1|2|3|", ""},
                          Case{"OK|1|2|3|tok", ""}, Case{"OK||||", ""}, Case{"", ""}}) {
        EXPECT_EQ(VersionToken(c.Reply), c.Token) << c.Reply;
    }
}

TEST(Online, VersionRequestThenTheEncodedScoreWithTheToken) {
    TScriptedHttp http;
    http.Answer = [](const std::string& url) {
        return Answered(url.find("version&") != std::string::npos ? "OK|1.0|t|m|abc123|" : "");
    };
    EXPECT_TRUE(RunOnce(http));
    const auto urls = http.Urls();
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[0], kVersionUrl);
    EXPECT_EQ(SentText(urls[1]), BuildScoreText("Ann", 1200, "abc123", "x"));
    EXPECT_EQ(SentText(urls[1]), "type=0|name=Ann|score=1200|key=V|p=abc123|add=x|z=");
    // A base address ending in "/" gives the same requests.
    TScriptedHttp slash;
    slash.Answer = http.Answer;
    EXPECT_TRUE(RunOnce(slash, kBase + "/"));
    EXPECT_EQ(slash.Urls(), urls);
}

TEST(Online, AnOkWithFewFieldsStillSendsTheScoreWithAnEmptyToken) {
    TScriptedHttp http;
    http.Answer = [](const std::string&) { return Answered("OK|1.0|"); };
    EXPECT_TRUE(RunOnce(http));
    const auto urls = http.Urls();
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(SentText(urls[1]), "type=0|name=Ann|score=1200|key=V|p=|add=x|z=0");
}

TEST(Online, NoOkMeansNoSubmission) {
    struct Case {
        const char* What;
        THttpReply Reply;
    };
    for (const Case& c :
         {Case{"refused", THttpReply{}}, Case{"no OK", Answered("ERR|x|")},
          Case{"lower case", Answered("ok|1|2|3|t|")}, Case{"empty body", Answered("")},
          Case{"OK with an HTTP error", Answered("OK|1|2|3|t|", 500)}}) {
        TScriptedHttp http;
        http.Answer = [&](const std::string&) { return c.Reply; };
        EXPECT_FALSE(RunOnce(http)) << c.What;
        EXPECT_EQ(http.Urls().size(), 1u) << c.What;
    }
}

TEST(Online, AMalformedServerAddressIsUnreachableWithoutARequest) {
    for (const std::string& base :
         {std::string(""), std::string("127.0.0.1:8470"), std::string("ftp://127.0.0.1/"),
          std::string("http://"), std::string("http://127.0.0.1:8470/?q"),
          std::string("http://127.0.0.1 :8470"), std::string("http://user@127.0.0.1/")}) {
        TScriptedHttp http;
        http.Answer = [](const std::string&) { return Answered("OK|1|2|3|t|"); };
        EXPECT_FALSE(RunOnce(http, base)) << base;
        EXPECT_TRUE(http.Urls().empty()) << base;
    }
}

TEST(Online, SubmitReturnsAtOnceAndTheMessageComesOnceFromThePoll) {
    TMessageCapture messages;
    auto http = std::make_shared<TScriptedHttp>();
    http->HoldRequests = true;
    http->Answer = [](const std::string&) { return THttpReply{}; };
    TOnline online(http);
    TOnlineSettings settings;
    settings.ConnectTimeout = std::chrono::milliseconds(1234);
    settings.RequestTimeout = std::chrono::milliseconds(5678);
    online.Configure(settings);

    online.SubmitScore("Ann", 5, "");
    ASSERT_TRUE(WaitFor([&] { return http->Waiting() == 1; }));
    // The version request is held: the frames go on and nothing is reported yet.
    for (int frame = 0; frame < 100; ++frame) online.PollOnline();
    EXPECT_TRUE(online.Busy());
    EXPECT_EQ(messages.Count(), 0u);

    http->Release();
    ASSERT_TRUE(WaitFor([&] {
        online.PollOnline();
        return !online.Busy();
    }));
    for (int frame = 0; frame < 100; ++frame) online.PollOnline();
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.All()[0].Text, "Can't connect to server!");
    EXPECT_EQ(messages.All()[0].Icon, TMsgIcon::Information);
    EXPECT_EQ(messages.ShownOn()[0], std::this_thread::get_id());
    ASSERT_EQ(http->SessionLimits().size(), 1u);
    EXPECT_EQ(http->SessionLimits()[0].ConnectTimeout.count(), 1234);
    EXPECT_EQ(http->SessionLimits()[0].RequestTimeout.count(), 5678);
}

TEST(Online, ASuccessfulSubmissionShowsNothingAndIgnoresTheSubmissionsAnswer) {
    TMessageCapture messages;
    auto http = std::make_shared<TScriptedHttp>();
    http->Answer = [](const std::string& url) {
        if (url.find("version&") != std::string::npos) return Answered("OK|1|2|3|t|");
        return THttpReply{};  // the submission failing is not reported
    };
    TOnline online(http);
    online.SubmitScore("Ann", 5, "");
    ASSERT_TRUE(WaitFor([&] {
        online.PollOnline();
        return !online.Busy();
    }));
    EXPECT_EQ(http->Urls().size(), 2u);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST(Online, QuittingCancelsRunningSubmissions) {
    TMessageCapture messages;
    auto http = std::make_shared<TScriptedHttp>();
    http->HoldRequests = true;
    TOnline online(http);
    online.SubmitScore("Ann", 5, "");
    online.SubmitScore("Bob", 6, "");
    ASSERT_TRUE(WaitFor([&] { return http->Waiting() == 2; }));
    // Cancelled requests end at once, well inside the wait.
    EXPECT_TRUE(online.Shutdown(std::chrono::seconds(10)));
    EXPECT_FALSE(online.Busy());
    EXPECT_EQ(http->SessionsAlive(), 0);
    // Quitting reports nothing.
    EXPECT_EQ(messages.Count(), 0u);
}

TEST(Online, QuittingLeavesAWorkerThatDoesNotEndInTime) {
    auto http = std::make_shared<TScriptedHttp>();
    http->HoldRequests = true;
    http->IgnoreCancel = true;
    {
        TOnline online(http);
        online.SubmitScore("Ann", 5, "");
        ASSERT_TRUE(WaitFor([&] { return http->Waiting() == 1; }));
        EXPECT_FALSE(online.Shutdown(std::chrono::milliseconds(20)));
        EXPECT_FALSE(online.Busy());
    }
    // The worker left behind still owns its session and ends cleanly once its request does.
    EXPECT_EQ(http->SessionsAlive(), 1);
    http->Release();
    EXPECT_TRUE(WaitFor([&] { return http->SessionsAlive() == 0; }));
}

TEST(Online, TooManySubmissionsInFlightAreReportedNotQueued) {
    TMessageCapture messages;
    auto http = std::make_shared<TScriptedHttp>();
    http->HoldRequests = true;
    TOnline online(http);
    for (int i = 0; i < 5; ++i) online.SubmitScore("Ann", i, "");
    ASSERT_TRUE(WaitFor([&] { return http->Waiting() == 4; }));
    online.PollOnline();
    EXPECT_EQ(messages.Count(), 1u);
    EXPECT_EQ(http->SessionLimits().size(), 4u);
    online.Shutdown();
}
