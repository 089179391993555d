// The game's web-page shortcut: a file "play.url" beside the program or in the config folder,
// either an Internet-shortcut file (a "URL=" line) or a file holding just the address. Only
// http and https addresses are opened; anything else does nothing, silently.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kWebPageFile = "play.url";
// A shortcut file is a few lines; anything bigger is not one.
inline constexpr size_t kMaxWebPageFileBytes = 4096;

// The address a shortcut file's content names, if it is an acceptable one.
std::optional<std::string> WebPageAddress(std::string_view content);
// The address of the first folder's "play.url" that holds an acceptable one.
std::optional<std::string> FindWebPage(const std::vector<std::string>& folders);
// Opens that address with the desktop's browser; returns whether one was opened.
bool OpenWebPage(const std::vector<std::string>& folders);
// A page of the score service at serverUrl: path ("/", "/daily") under its address.
std::string ServicePage(std::string_view serverUrl, std::string_view path);
