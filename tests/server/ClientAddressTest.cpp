// Who a request is counted as: addresses and networks as the --trusted-proxy option takes them,
// the client named by X-Forwarded-For behind trusted proxies (and only behind them), and IPv6
// clients keyed by their /64; then the rate limit of the real server keyed that way.
#include "server/ClientAddress.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>
#include <vector>

#include "server/RawHttp.h"
#include "server/RunningServer.h"
#include "server/ServerTestUtil.h"

namespace {
TClientAddresses Trusting(const std::vector<std::string>& networks) {
    std::vector<TIpNetwork> parsed;
    for (const std::string& n : networks) {
        const auto net = ParseIpNetwork(n);
        EXPECT_TRUE(net) << n;
        if (net) parsed.push_back(*net);
    }
    return TClientAddresses(parsed);
}
}  // namespace

TEST(ClientAddress, ParsesAddressesAndNetworks) {
    struct TCase {
        const char* Text;
        bool Valid;
        const char* Inside;   // an address the network holds
        const char* Outside;  // one it does not
    };
    const TCase cases[] = {
        {"192.0.2.7", true, "192.0.2.7", "192.0.2.8"},
        {"10.0.0.0/8", true, "10.200.1.1", "11.0.0.1"},
        {"10.9.9.9/8", true, "10.0.0.1", "9.255.255.255"},  // host bits are cleared
        {"0.0.0.0/0", true, "203.0.113.9", "2001:db8::1"},  // all IPv4, no IPv6
        {"2001:db8::/32", true, "2001:db8:ffff::1", "2001:db9::1"},
        {"::1", true, "::1", "::2"},
        {"::ffff:192.0.2.7", true, "192.0.2.7", "192.0.2.6"},
        {"10.0.0.0/33", false, "", ""},
        {"2001:db8::/129", false, "", ""},
        {"10.0.0.0/", false, "", ""},
        {"10.0.0.0/x", false, "", ""},
        {"10.0.0", false, "", ""},
        {"proxy.example", false, "", ""},
        {"", false, "", ""},
    };
    for (const TCase& c : cases) {
        const auto net = ParseIpNetwork(c.Text);
        ASSERT_EQ(net.has_value(), c.Valid) << c.Text;
        if (!net) continue;
        EXPECT_TRUE(net->Contains(*ParseIpAddress(c.Inside))) << c.Text << " " << c.Inside;
        EXPECT_FALSE(net->Contains(*ParseIpAddress(c.Outside))) << c.Text << " " << c.Outside;
    }
}

TEST(ClientAddress, NamesTheRightMostAddressThatIsNotATrustedProxy) {
    const TClientAddresses proxies = Trusting({"10.0.0.0/8", "2001:db8:aa::/48"});
    struct TCase {
        const char* What;
        std::string Peer;
        std::vector<std::string> ForwardedFor;
        std::string Client;
    };
    const TCase cases[] = {
        {"no proxy: the peer", "203.0.113.5", {}, "203.0.113.5"},
        {"an untrusted peer's header is not believed",
         "203.0.113.5",
         {"198.51.100.1"},
         "203.0.113.5"},
        {"one proxy", "10.0.0.2", {"198.51.100.1"}, "198.51.100.1"},
        {"a made-up entry left of the real client",
         "10.0.0.2",
         {"1.2.3.4, 198.51.100.1"},
         "198.51.100.1"},
        {"two proxies", "10.0.0.2", {"198.51.100.1, 10.0.0.3"}, "198.51.100.1"},
        {"headers read as one list",
         "10.0.0.2",
         {"1.2.3.4", "198.51.100.1, 10.1.1.1"},
         "198.51.100.1"},
        {"the client in an earlier header",
         "10.0.0.2",
         {"198.51.100.1", "10.1.1.1"},
         "198.51.100.1"},
        {"spaces and a port", "10.0.0.2", {" 198.51.100.1:4711 ,10.0.0.3 "}, "198.51.100.1"},
        {"IPv6 client behind an IPv6 proxy",
         "2001:db8:aa::5",
         {"[2001:db8:1:2::9]:80"},
         "2001:db8:1:2::9"},
        {"every hop a proxy: the left-most", "10.0.0.2", {"10.0.0.9, 10.0.0.3"}, "10.0.0.9"},
        {"no header from a proxy: the proxy", "10.0.0.2", {}, "10.0.0.2"},
        {"garbage stops the walk at the last believed",
         "10.0.0.2",
         {"198.51.100.1, junk"},
         "10.0.0.2"},
        {"garbage left of the client changes nothing",
         "10.0.0.2",
         {"junk, 198.51.100.1"},
         "198.51.100.1"},
        {"an empty entry is garbage", "10.0.0.2", {"198.51.100.1,,10.0.0.3"}, "10.0.0.3"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(proxies.ClientOf(c.Peer, c.ForwardedFor), c.Client) << c.What;
    // Without trusted proxies the header is never believed.
    EXPECT_EQ(TClientAddresses().ClientOf("10.0.0.2", {"198.51.100.1"}), "10.0.0.2");
}

TEST(ClientAddress, KeysIpv6ClientsByTheirSlash64) {
    const std::pair<const char*, const char*> cases[] = {
        {"198.51.100.1", "198.51.100.1"},
        {"::ffff:198.51.100.1", "198.51.100.1"},
        {"2001:db8:1:2::9", "2001:db8:1:2::/64"},
        {"2001:db8:1:2:ffff:ffff:ffff:ffff", "2001:db8:1:2::/64"},
        {"2001:db8:1:3::9", "2001:db8:1:3::/64"},
        {"::1", "::/64"},
        {"not an address", "not an address"},
    };
    for (const auto& [address, key] : cases) EXPECT_EQ(ClientKey(address), key) << address;
}

// The server counts behind a trusted proxy each forwarded client in its own bucket, and the
// log names the client; a peer that is not trusted cannot pick its bucket with the header.
TEST(ClientAddress, TheRateLimitCountsForwardedClientsApart) {
    TServiceFixture f;
    TServerLimits limits;
    limits.RatePerSecond = 0.0001;  // no refill during the test: exactly the burst
    limits.RateBurst = 2;
    limits.TrustedProxies = {*ParseIpNetwork("127.0.0.1")};
    TRunningServer server(*f.Service, limits);
    const auto statuses = [&](const std::string& from, const std::string& forwardedFor) {
        TRawConnection client(server.Port(), from);
        std::vector<int> out;
        for (int i = 0; i < 3; ++i) {
            client.Send("GET /scores.json HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: " + forwardedFor +
                        "\r\n\r\n");
            const auto reply = client.Read();
            out.push_back(reply ? reply->Status : 0);
        }
        return out;
    };
    EXPECT_EQ(statuses("127.0.0.1", "198.51.100.1"), (std::vector<int>{200, 200, 429}));
    EXPECT_EQ(statuses("127.0.0.1", "198.51.100.2"), (std::vector<int>{200, 200, 429}));
    // Two addresses of one IPv6 /64 share a bucket.
    EXPECT_EQ(statuses("127.0.0.1", "2001:db8:1:2::1"), (std::vector<int>{200, 200, 429}));
    EXPECT_EQ(statuses("127.0.0.1", "2001:db8:1:2::2"), (std::vector<int>{429, 429, 429}));
    // Not a trusted proxy: its header names no one, and its own bucket runs dry.
    EXPECT_EQ(statuses("127.0.0.2", "198.51.100.3"), (std::vector<int>{200, 200, 429}));
    EXPECT_EQ(statuses("127.0.0.2", "198.51.100.4"), (std::vector<int>{429, 429, 429}));
    const auto log = server.LogLines(18);
    ASSERT_GE(log.size(), 18u);
    EXPECT_NE(log[0].find(" 198.51.100.1 GET /scores.json 200"), std::string::npos) << log[0];
}
