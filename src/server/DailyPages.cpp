#include "server/DailyPages.h"

#include <cstdio>

#include "server/ScorePages.h"

std::string RaceTimeText(int32_t hundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d.%02d", static_cast<int>(hundredths / 6000),
                  static_cast<int>(hundredths / 100 % 60), static_cast<int>(hundredths % 100));
    return text;
}

std::string DailyHtml(const std::string& date, const std::vector<TDailyRow>& rows) {
    const std::string title = "Velkaro daily race " + HtmlEscape(date);
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + title +
        "</title><style>body{font-family:sans-serif;margin:2em}td,th{padding:2px 12px}"
        "td.n{text-align:right}</style></head><body>\n<h1>" +
        title + "</h1>\n";
    if (rows.empty()) {
        page += "<p>No times yet.</p>\n";
    } else {
        page += "<table>\n<tr><th>#</th><th>Name</th><th>Time</th></tr>\n";
        for (const TDailyRow& r : rows)
            page += "<tr><td class=\"n\">" + std::to_string(r.Place) + "</td><td>" +
                    HtmlEscape(r.Name) + "</td><td class=\"n\">" + RaceTimeText(r.Hundredths) +
                    "</td></tr>\n";
        page += "</table>\n";
    }
    page += "</body></html>\n";
    return page;
}

std::string DailyJson(const std::string& date, const std::vector<TDailyRow>& rows,
                      const std::optional<TDailyRow>& own) {
    std::string out = "{\"date\":\"" + JsonEscape(date) + "\",\"entries\":[";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) out += ",";
        out += "{\"place\":" + std::to_string(rows[i].Place) + ",\"name\":\"" +
               JsonEscape(rows[i].Name) +
               "\",\"hundredths\":" + std::to_string(rows[i].Hundredths) + "}";
    }
    out += "]";
    if (own)
        out += ",\"own\":{\"place\":" + std::to_string(own->Place) +
               ",\"hundredths\":" + std::to_string(own->Hundredths) + "}";
    out += "}";
    return out;
}
