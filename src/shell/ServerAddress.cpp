#include "shell/ServerAddress.h"

#include <cctype>
#include <fstream>

namespace {

constexpr size_t kMaxUrlLength = 2048;
constexpr size_t kMaxConfigBytes = 4096;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

// The part after "http://" or "https://", or nothing for any other scheme.
bool SplitScheme(std::string_view url, std::string_view& rest) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (StartsWithNoCase(url, scheme)) {
            rest = url.substr(scheme.size());
            return true;
        }
    }
    return false;
}

bool PrintableAscii(std::string_view text) {
    for (char c : text) {
        if (c <= ' ' || c >= 0x7F) return false;
    }
    return true;
}

bool ValidAddress(std::string_view url, bool allowQuery) {
    std::string_view rest;
    if (url.size() > kMaxUrlLength || !PrintableAscii(url) || !SplitScheme(url, rest)) {
        return false;
    }
    const size_t hostEnd = rest.find_first_of("/?#");
    const std::string_view host = rest.substr(0, hostEnd);
    // A user-info part ("user@host") hides where the request really goes.
    if (host.empty() || host.find('@') != std::string_view::npos) return false;
    if (host.front() == ':') return false;
    if (!allowQuery && rest.find_first_of("?#") != std::string_view::npos) return false;
    return true;
}

}  // namespace

std::string Trim(std::string_view text) {
    const char* space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(space);
    return std::string(text.substr(first, last - first + 1));
}

bool ValidServerUrl(std::string_view url) {
    return ValidAddress(url, false);
}

bool ValidWebAddress(std::string_view url) {
    return ValidAddress(url, true);
}

std::string ReadFirstLine(const std::string& path, size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string content(maxBytes + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    const auto got = static_cast<size_t>(in.gcount());
    if (got > maxBytes) return {};
    content.resize(got);
    const size_t end = content.find_first_of("\r\n");
    return Trim(std::string_view(content).substr(0, end));
}

std::string ResolveServerUrl(const std::string& configDir, const std::vector<std::string>& args,
                             const char* envValue) {
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--server") return Trim(args[i + 1]);
    }
    for (const std::string& a : args) {
        if (a.rfind("--server=", 0) == 0) return Trim(std::string_view(a).substr(9));
    }
    if (envValue != nullptr && envValue[0] != '\0') return Trim(envValue);
    if (!configDir.empty()) {
        std::string dir = configDir;
        if (dir.back() != '/') dir += '/';
        // An empty (or oversized) Server.cfg names no server, so the default stays.
        std::string line = ReadFirstLine(dir + kServerConfigFile, kMaxConfigBytes);
        if (!line.empty()) return line;
    }
    return kDefaultServerUrl;
}
