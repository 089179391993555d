// Who a request comes from, for the rate limit, the connection limit and the log. Directly
// connected, it is the socket's peer. Behind reverse proxies named as trusted, it is taken from
// X-Forwarded-For: the right-most address there that is not itself a trusted proxy (each proxy
// appends the address it was connected from, so everything left of that may be made up by the
// client). IPv6 clients are counted by their /64, which one subscriber usually gets whole.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An address or a network: "192.0.2.7", "10.0.0.0/8", "2001:db8::1", "2001:db8::/32". IPv4
// is kept as an IPv4-mapped IPv6 address (::ffff:a.b.c.d), so both families compare alike.
struct TIpNetwork {
    std::array<uint8_t, 16> Bytes{};
    int PrefixBits = 128;
    bool Contains(const std::array<uint8_t, 16>& address) const;
};

std::optional<std::array<uint8_t, 16>> ParseIpAddress(std::string_view text);
std::optional<TIpNetwork> ParseIpNetwork(std::string_view text);

class TClientAddresses {
public:
    TClientAddresses() = default;
    explicit TClientAddresses(std::vector<TIpNetwork> trustedProxies);

    bool IsTrustedProxy(std::string_view address) const;
    // The client's address: the peer itself, or (when the peer is a trusted proxy) the right-most
    // address of the X-Forwarded-For values that is not a trusted proxy. An entry that is not an
    // address ends the walk: the last address believed stands.
    std::string ClientOf(const std::string& peer,
                         const std::vector<std::string>& forwardedFor) const;

private:
    std::vector<TIpNetwork> Trusted;
};

// The key a client is counted by: an IPv4 address as it is, an IPv6 address's /64 network
// ("2001:db8:1:2::/64"); anything else as it is.
std::string ClientKey(std::string_view address);
