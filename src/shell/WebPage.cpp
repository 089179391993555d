#include "shell/WebPage.h"

#include <cctype>

#include "platform/OpenUrl.h"
#include "shell/ServerAddress.h"

namespace {

bool IsUrlLine(std::string_view line) {
    constexpr std::string_view kKey = "url=";
    if (line.size() < kKey.size()) return false;
    for (size_t i = 0; i < kKey.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) != kKey[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> WebPageAddress(std::string_view content) {
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= content.size()) {
        const size_t end = content.find_first_of("\r\n", start);
        const std::string line =
            Trim(content.substr(start, end == std::string_view::npos ? end : end - start));
        if (!line.empty()) lines.push_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    std::string address;
    for (const std::string& line : lines) {
        if (IsUrlLine(line)) {
            address = Trim(std::string_view(line).substr(4));
            break;
        }
    }
    // Without a "URL=" line, the file must hold the address alone.
    if (address.empty() && lines.size() == 1) address = lines.front();
    if (!ValidWebAddress(address)) return std::nullopt;
    return address;
}

std::optional<std::string> FindWebPage(const std::vector<std::string>& folders) {
    for (std::string dir : folders) {
        if (dir.empty()) continue;
        if (dir.back() != '/') dir += '/';
        const auto content = ReadConfigText(dir + kWebPageFile, kMaxWebPageFileBytes);
        if (!content) continue;
        if (auto address = WebPageAddress(*content)) return address;
    }
    return std::nullopt;
}

bool OpenWebPage(const std::vector<std::string>& folders) {
    const auto address = FindWebPage(folders);
    if (!address) return false;
    OpenUrlInBrowser(*address);
    return true;
}

std::string ServicePage(std::string_view serverUrl, std::string_view path) {
    while (!serverUrl.empty() && serverUrl.back() == '/') serverUrl.remove_suffix(1);
    return std::string(serverUrl) + std::string(path);
}
