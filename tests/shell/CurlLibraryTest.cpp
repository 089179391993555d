// The game's libcurl, loaded by name when the first session opens, on every system the game is
// built for: a request to a closed loopback port goes through the library to the network and
// fails with libcurl's own error, not with a library that could not be loaded.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "shell/HttpClient.h"

TEST(CurlLibrary, TheGamesLibraryLoadsAtTheFirstSessionAndRunsARequest) {
    THttpLimits limits;
    limits.ConnectTimeout = std::chrono::seconds(5);
    limits.RequestTimeout = std::chrono::seconds(10);
    auto session = MakeCurlHttpClient()->OpenSession(limits);
    ASSERT_NE(session, nullptr);
    // Nothing listens on port 1.
    const THttpReply reply = session->Get("http://127.0.0.1:1/");
    EXPECT_FALSE(reply.Ok);
    EXPECT_FALSE(reply.Error.empty());
    EXPECT_EQ(reply.Error.find("unavailable"), std::string::npos) << reply.Error;
    EXPECT_EQ(reply.Error.find(kCurlLibraryName), std::string::npos) << reply.Error;
}
