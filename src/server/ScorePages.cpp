#include "server/ScorePages.h"

#include <cstdio>

#include "server/PageLook.h"
#include "server/ScoreService.h"

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string JsonEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u < 0x20 || u == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", u);
            out += code;
        } else if (c == '<') {
            // Keeps the JSON safe to inline in a page.
            out += "\\u003c";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

namespace {

bool AnyNote(const std::vector<TScoreRow>& rows) {
    for (const TScoreRow& r : rows)
        if (!r.Extra.empty()) return true;
    return false;
}

}  // namespace

std::string ScoresTable(const std::vector<TScoreRow>& rows) {
    if (rows.empty()) return "<p>No scores yet.</p>\n";
    // Most games send no note: an empty column would only take room on a phone.
    const bool notes = AnyNote(rows);
    std::string out = "<table>\n<tr><th class=\"n\">#</th><th>Name</th><th class=\"n\">Score</th>";
    out += notes ? "<th>Note</th><th>Date</th></tr>\n" : "<th>Date</th></tr>\n";
    size_t rank = 0;
    for (const TScoreRow& r : rows) {
        out += "<tr><td class=\"n\">" + std::to_string(++rank) + "</td><td>" + HtmlEscape(r.Name) +
               "</td><td class=\"n\">" + std::to_string(r.Score) + "</td>";
        if (notes) out += "<td>" + HtmlEscape(r.Extra) + "</td>";
        out += "<td class=\"d\">" + DayText(r.Time) + "</td></tr>\n";
    }
    return out + "</table>\n";
}

std::string ScoresHtml(const std::vector<TScoreRow>& rows) {
    return PageTop("Velkaro world table") +
           "<section class=\"panel\"><h1>World table</h1>\n"
           "<p class=\"quiet\">World scores are as the games sent them; only daily race times "
           "are verified by replay.</p>\n" +
           ScoresTable(rows) + "</section>\n" + PageBottom();
}

std::string ScoresJson(const std::vector<TScoreRow>& rows) {
    std::string out = "[";
    size_t rank = 0;
    for (const TScoreRow& r : rows) {
        if (rank > 0) out += ",";
        out += "\n{\"rank\":" + std::to_string(++rank) + ",\"name\":\"" + JsonEscape(r.Name) +
               "\",\"score\":" + std::to_string(r.Score) + ",\"extra\":\"" + JsonEscape(r.Extra) +
               "\",\"time\":\"" + UtcTimeText(r.Time) + "\"}";
    }
    out += "\n]\n";
    return out;
}
