#include "server/HeadlessBrowser.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

// Quoted for /bin/sh: the arguments are ours, but URLs carry '&' and '?'.
std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Command(const THeadlessBrowser& b, const std::string& action, const std::string& url) {
    // --no-sandbox: test machines run as root, where the sandbox refuses to start. A fresh
    // profile folder per run keeps runs from sharing a cache. The virtual time budget lets
    // the stylesheet and a test's load handler finish before the DOM is taken.
    return "timeout 90 " + Quote(b.Program) +
           " --headless --no-sandbox --disable-gpu --no-first-run --hide-scrollbars"
           " --virtual-time-budget=5000 --user-data-dir=" +
           Quote(b.ProfileDir) + " --window-size=" + std::to_string(b.Width) + "," +
           std::to_string(b.Height) + " " + action + " " + Quote(url) + " 2>/dev/null";
}

}  // namespace

std::string FindChromium() {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string program = folder + "/chromium";
        if (!folder.empty() && ::access(program.c_str(), X_OK) == 0) return program;
    }
    return {};
}

std::optional<std::string> THeadlessBrowser::DumpDom(const std::string& url) const {
    FILE* pipe = ::popen(Command(*this, "--dump-dom", url).c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (status != 0 || out.empty()) return std::nullopt;
    return out;
}

bool THeadlessBrowser::Screenshot(const std::string& url, const std::string& pngPath) const {
    std::error_code ec;
    std::filesystem::remove(pngPath, ec);
    const int status = std::system(Command(*this, "--screenshot=" + Quote(pngPath), url).c_str());
    return status == 0 && std::filesystem::file_size(pngPath, ec) > 0;
}
