#include "server/DailyRequest.h"

#include <charconv>
#include <map>

#include "server/ScoreRequest.h"

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

TDecodedDaily Refuse(std::string message) {
    TDecodedDaily d;
    d.Error = std::move(message);
    return d;
}

std::optional<int32_t> WholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}
}  // namespace

std::optional<std::string> FormDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out.push_back(' ');
        } else if (text[i] == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

TDecodedDaily DecodeDailySubmission(std::string_view body) {
    if (body.size() > kMaxDailyBodyBytes) return Refuse("The race log is too long.");
    std::map<std::string, std::string, std::less<>> fields;
    while (!body.empty()) {
        const size_t amp = body.find('&');
        const std::string_view pair = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view() : body.substr(amp + 1);
        if (pair.empty()) continue;
        const size_t eq = pair.find('=');
        const auto key = FormDecode(pair.substr(0, eq));
        const auto value =
            FormDecode(eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1));
        if (!key || !value) return Refuse("The submission is not well formed.");
        if (!fields.emplace(*key, *value).second)
            return Refuse("The submission names a field twice.");
    }
    for (const char* name : {"date", "version", "name", "hundredths", "log"})
        if (fields.find(name) == fields.end())
            return Refuse(std::string("The submission has no ") + name + ".");
    TDailySubmission s;
    const auto plan = ParseDailyDate(fields["date"]);
    if (!plan) return Refuse("The date is not a date of the daily race.");
    s.Plan = *plan;
    s.Version = fields["version"];
    if (s.Version.empty() || s.Version.size() > 32 || PrintableCharCount(s.Version) < 0)
        return Refuse("The game's version is missing.");
    s.Name = fields["name"];
    const int64_t nameChars = PrintableCharCount(s.Name);
    if (nameChars < 1 || nameChars > static_cast<int64_t>(kMaxNameChars))
        return Refuse("The name must have 1 to 12 characters.");
    const auto hundredths = WholeNumber(fields["hundredths"]);
    if (!hundredths || *hundredths < 1 || *hundredths > kMaxDailyHundredths)
        return Refuse("The time is not a race time.");
    s.Hundredths = *hundredths;
    s.Log = fields["log"];
    if (s.Log.empty()) return Refuse("The race log is empty.");
    TDecodedDaily d;
    d.Submission = std::move(s);
    return d;
}
