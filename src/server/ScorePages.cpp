#include "server/ScorePages.h"

#include <cstdio>

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

std::string ScoresHtml(const std::vector<TScoreRow>& rows) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<title>Velkaro world high scores</title>"
        "<style>body{font-family:sans-serif;margin:2em}td,th{padding:2px 12px}"
        "td.n{text-align:right}</style></head><body>\n"
        "<h1>Velkaro world high scores</h1>\n";
    if (rows.empty()) {
        page += "<p>No scores yet.</p>\n";
    } else {
        page +=
            "<table>\n<tr><th>#</th><th>Name</th><th>Score</th><th>Note</th><th>Date</th></tr>\n";
        size_t rank = 0;
        for (const TScoreRow& r : rows) {
            page += "<tr><td class=\"n\">" + std::to_string(++rank) + "</td><td>" +
                    HtmlEscape(r.Name) + "</td><td class=\"n\">" + std::to_string(r.Score) +
                    "</td><td>" + HtmlEscape(r.Extra) + "</td><td>" + UtcTimeText(r.Time) +
                    "</td></tr>\n";
        }
        page += "</table>\n";
    }
    page += "</body></html>\n";
    return page;
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
