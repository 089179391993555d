// Where the score service is: a base URL from the command line (--server URL), the
// environment (VELKARO_SERVER), the one-line file Server.cfg in the config folder, or the
// reference service's default address, in that order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kDefaultServerUrl = "http://127.0.0.1:8470";
inline constexpr const char* kServerConfigFile = "Server.cfg";

// configDir may be empty (no config folder known: Server.cfg is not looked for); envValue may
// be null. A value that is present but malformed is returned as it is: it makes every
// submission fail as unreachable rather than quietly going elsewhere.
std::string ResolveServerUrl(const std::string& configDir, const std::vector<std::string>& args,
                             const char* envValue);

// An http or https address with a host and no query or fragment, printable ASCII only.
bool ValidServerUrl(std::string_view url);
// An http or https address with a host, printable ASCII only (queries allowed).
bool ValidWebAddress(std::string_view url);

// The first line of a small text file, trimmed; empty when missing, unreadable or too big.
std::string ReadFirstLine(const std::string& path, size_t maxBytes);
// Removes spaces, tabs and line ends at both ends.
std::string Trim(std::string_view text);
