#include "server/ClientAddress.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A forwarded entry may carry a port ("192.0.2.7:4711", "[2001:db8::1]:4711") or brackets.
std::string_view StripPort(std::string_view text) {
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        return close == std::string_view::npos ? text : text.substr(1, close - 1);
    }
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos)
        return text.substr(0, colon);
    return text;
}

bool IsMappedV4(const std::array<uint8_t, 16>& a) {
    for (int i = 0; i < 10; ++i)
        if (a[i] != 0) return false;
    return a[10] == 0xFF && a[11] == 0xFF;
}

}  // namespace

std::optional<std::array<uint8_t, 16>> ParseIpAddress(std::string_view text) {
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return std::nullopt;
    char buffer[INET6_ADDRSTRLEN] = {};
    std::memcpy(buffer, text.data(), text.size());
    std::array<uint8_t, 16> out{};
    in_addr v4{};
    if (inet_pton(AF_INET, buffer, &v4) == 1) {
        out[10] = out[11] = 0xFF;
        std::memcpy(out.data() + 12, &v4, 4);
        return out;
    }
    // A zone ("fe80::1%eth0") names the link, not another client.
    if (char* zone = std::strchr(buffer, '%')) *zone = '\0';
    if (inet_pton(AF_INET6, buffer, out.data()) == 1) return out;
    return std::nullopt;
}

std::optional<TIpNetwork> ParseIpNetwork(std::string_view text) {
    text = Trim(text);
    const size_t slash = text.find('/');
    const auto address = ParseIpAddress(text.substr(0, slash));
    if (!address) return std::nullopt;
    TIpNetwork net;
    net.Bytes = *address;
    const bool v4 = text.substr(0, slash).find(':') == std::string_view::npos;
    net.PrefixBits = 128;
    if (slash != std::string_view::npos) {
        const std::string_view bits = text.substr(slash + 1);
        if (bits.empty() || bits.size() > 3) return std::nullopt;
        int value = 0;
        for (char c : bits) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value > (v4 ? 32 : 128)) return std::nullopt;
        net.PrefixBits = v4 ? 96 + value : value;
    }
    // Host bits past the prefix are cleared, so "10.1.2.3/8" is 10.0.0.0/8.
    for (int bit = net.PrefixBits; bit < 128; ++bit)
        net.Bytes[static_cast<size_t>(bit / 8)] &= static_cast<uint8_t>(~(0x80u >> (bit % 8)));
    return net;
}

bool TIpNetwork::Contains(const std::array<uint8_t, 16>& address) const {
    for (int bit = 0; bit < PrefixBits; ++bit) {
        const auto byte = static_cast<size_t>(bit / 8);
        const auto mask = static_cast<uint8_t>(0x80u >> (bit % 8));
        if ((address[byte] & mask) != (Bytes[byte] & mask)) return false;
    }
    return true;
}

TClientAddresses::TClientAddresses(std::vector<TIpNetwork> trustedProxies)
    : Trusted(std::move(trustedProxies)) {}

bool TClientAddresses::IsTrustedProxy(std::string_view address) const {
    if (Trusted.empty()) return false;
    const auto parsed = ParseIpAddress(address);
    if (!parsed) return false;
    for (const TIpNetwork& net : Trusted)
        if (net.Contains(*parsed)) return true;
    return false;
}

std::string TClientAddresses::ClientOf(const std::string& peer,
                                       const std::vector<std::string>& forwardedFor) const {
    if (!IsTrustedProxy(peer)) return peer;
    std::string believed = peer;
    // Several headers read as one list, in order.
    for (auto header = forwardedFor.rbegin(); header != forwardedFor.rend(); ++header) {
        std::string_view list = *header;
        while (!list.empty()) {
            const size_t comma = list.rfind(',');
            const std::string_view entry =
                StripPort(Trim(comma == std::string_view::npos ? list : list.substr(comma + 1)));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(0, comma);
            if (!ParseIpAddress(entry)) return believed;
            believed = std::string(entry);
            if (!IsTrustedProxy(entry)) return believed;
        }
    }
    return believed;
}

std::string ClientKey(std::string_view address) {
    const auto parsed = ParseIpAddress(address);
    if (!parsed) return std::string(address);
    if (IsMappedV4(*parsed)) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, parsed->data() + 12, text, sizeof text);
        return text;
    }
    std::array<uint8_t, 16> network{};
    std::memcpy(network.data(), parsed->data(), 8);
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, network.data(), text, sizeof text);
    return std::string(text) + "/64";
}
